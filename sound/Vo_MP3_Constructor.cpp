#include "sound/Vo_MP3_Constructor.h"

#include <windows.h>
#include <dshow.h>

#include "model/ClassReaderRegistration.h"
#include "model/TempFiles.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/Vo_TimeLineControl.h"

namespace {

const LONGLONG kUnitsPerSecond = 10000000;  // DirectShow's 100-nanosecond units

}  // namespace

Vo_MP3_Constructor::Vo_MP3_Constructor() = default;

Vo_MP3_Constructor::Vo_MP3_Constructor(const Vo_MP3_Constructor& other)
    : Vo_Sound_Ctrl(other), m_file(other.m_file)
{
}

Vo_MP3_Constructor::~Vo_MP3_Constructor()
{
    // The graph lets go of the copy before the copy goes.
    m_source.Reset();
    m_graph.Release();
    if (!m_tempPath.empty())
        DeleteFileW(m_tempPath.c_str());
}

void Vo_MP3_Constructor::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    stream.ReadDataBuffer(m_file);
    Vo_Sound_Ctrl::Load(stream);
}

bool Vo_MP3_Constructor::CreateGraph()
{
    // No window: the item's events reach nobody.
    return m_graph.Create(nullptr);
}

bool Vo_MP3_Constructor::RenderSourcePin(IBaseFilter* source) { return m_graph.RenderSourcePin(source); }

void Vo_MP3_Constructor::Prepare()
{
    const bool haveGraph = CreateGraph();
    if (m_tempPath.empty())
        m_tempPath = MakeOwnTempCopy(m_file.Name(), m_file.Data(), m_file.Size());
    if (haveGraph && !m_tempPath.empty())
        m_source.Assign(m_graph.AddFileSource(m_tempPath.c_str()));
    m_cannotRender = !RenderSourcePin(m_source.Get());

    LONGLONG duration = 0;
    if (!m_graph.Seeking() || FAILED(m_graph.Seeking()->GetDuration(&duration)) || duration < 0)
        duration = 0;
    // Whole seconds only, as hundredths.
    SetTimelineLength(static_cast<unsigned int>(duration / kUnitsPerSecond) * 100u);
    Stop();
}

void Vo_MP3_Constructor::Stop()
{
    m_graph.Stop();
    m_playing = false;
}

void Vo_MP3_Constructor::Update(float)
{
    // Nothing plays: the graph stays stopped, and asking it every frame would only cost time.
    if (m_cannotRender)
        return;
    const int state = Timeline().GetState();
    // Only the item runs and stops its graph, so it knows whether the graph is stopped without
    // asking: the graph's GetState takes the locks of its streaming threads, which cost a frame
    // a millisecond and more while the file plays.
    if (!m_playing) {
        if (state != 0)
            return;  // stopped, and not visible: it stays stopped
        // From its start again. The graph holds this file's chain since Prepare, so going back to
        // the start and running is enough; building the chain again would cost every restart
        // hundreds of DirectShow calls and the heap. A graph that will not run again leaves the
        // item silent rather than trying every frame.
        m_playing = m_graph.Rewind();
        m_cannotRender = !m_playing;
        ApplyVolume();
        ApplyBalance();
    }
    if (IMediaSeeking* seeking = m_graph.Seeking()) {
        LONGLONG current = 0;
        LONGLONG stop = 0;
        const bool ended = SUCCEEDED(seeking->GetPositions(&current, &stop)) && current >= stop;
        if (ended || state == 1)
            Stop();
    }
}

void Vo_MP3_Constructor::ApplyVolume()
{
    if (IBasicAudio* audio = m_graph.Audio())
        audio->put_Volume(VolumeLevel(ClampedVolume()));
}

void Vo_MP3_Constructor::ApplyBalance()
{
    if (IBasicAudio* audio = m_graph.Audio())
        audio->put_Balance(BalanceLevel(ClampedBalance()));
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_MP3_Constructor);
