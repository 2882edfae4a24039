#include "runtime/AudioGraph.h"

#include <windows.h>
#include <dshow.h>

#include <algorithm>

namespace {

const long kGraphEventMessage = 0x8000;  // WM_APP, as the host expects

std::vector<ComRef<IBaseFilter>> ListFilters(IGraphBuilder* builder)
{
    std::vector<ComRef<IBaseFilter>> filters;
    ComRef<IEnumFilters> enumerator;
    if (!builder || FAILED(builder->EnumFilters(enumerator.Receive())))
        return filters;
    IBaseFilter* filter = nullptr;
    while (enumerator->Next(1, &filter, nullptr) == S_OK) {
        filters.emplace_back();
        filters.back().Attach(filter);
        filter = nullptr;
    }
    return filters;
}

bool Contains(const std::vector<ComRef<IBaseFilter>>& filters, IBaseFilter* filter)
{
    return std::any_of(filters.begin(), filters.end(),
                       [filter](const ComRef<IBaseFilter>& f) { return f.Get() == filter; });
}

}  // namespace

AudioGraph::AudioGraph() = default;

AudioGraph::~AudioGraph() { Release(); }

bool AudioGraph::Create(HWND__* notifyWindow)
{
    // The filters of an earlier graph must not be taken out of the new one.
    Release();
    if (FAILED(CoInitialize(nullptr)))
        return false;
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC, IID_IGraphBuilder,
                                reinterpret_cast<void**>(m_builder.Receive()))))
        return false;
    if (FAILED(m_builder->QueryInterface(IID_IMediaControl,
                                         reinterpret_cast<void**>(m_control.Receive()))) ||
        FAILED(m_builder->QueryInterface(IID_IMediaSeeking,
                                         reinterpret_cast<void**>(m_seeking.Receive()))) ||
        FAILED(m_builder->QueryInterface(IID_IMediaEventEx,
                                         reinterpret_cast<void**>(m_events.Receive()))) ||
        FAILED(m_builder->QueryInterface(IID_IBasicAudio,
                                         reinterpret_cast<void**>(m_audio.Receive()))))
        return false;
    m_events->SetNotifyWindow(reinterpret_cast<OAHWND>(notifyWindow), kGraphEventMessage, 0);
    return true;
}

void AudioGraph::RemoveFileFilters()
{
    if (m_builder && !m_fileFilters.empty()) {
        // A running graph refuses to give up its filters.
        Stop();
        for (ComRef<IBaseFilter>& filter : m_fileFilters)
            m_builder->RemoveFilter(filter.Get());
    }
    m_fileFilters.clear();
}

IBaseFilter* AudioGraph::AddFileSource(const wchar_t* path)
{
    if (!m_builder)
        return nullptr;
    RemoveFileFilters();
    ComRef<IBaseFilter> source;
    if (FAILED(m_builder->AddSourceFilter(path, path, source.Receive())) || !source)
        return nullptr;
    m_fileFilters.push_back(source);
    return source.Get();
}

bool AudioGraph::RenderSourcePin(IBaseFilter* source)
{
    try {
        return ReconnectFromSource(source);
    } catch (...) {
        return false;
    }
}

bool AudioGraph::ReconnectFromSource(IBaseFilter* source)
{
    if (!source || !m_builder)
        return false;
    ComRef<IPin> output;
    if (FAILED(source->FindPin(L"Output", output.Receive())) || !output)
        return false;
    if (!m_control)
        return false;
    m_control->Stop();

    std::vector<ComRef<IBaseFilter>> filters = ListFilters(m_builder.Get());
    if (filters.empty())
        return false;
    // Out and back in: this breaks every connection, so the decoders and the renderer that the
    // graph already holds are free to take the new file.
    for (ComRef<IBaseFilter>& filter : filters) {
        m_builder->RemoveFilter(filter.Get());
        m_builder->AddFilter(filter.Get(), nullptr);
    }
    if (FAILED(m_builder->Render(output.Get())))
        return false;
    if (!m_seeking)
        return false;
    LONGLONG start = 0;
    m_seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr,
                            AM_SEEKING_NoPositioning);
    return SUCCEEDED(m_control->Run());
}

bool AudioGraph::RenderFile(const wchar_t* path)
{
    if (!m_builder)
        return false;
    RemoveFileFilters();
    std::vector<ComRef<IBaseFilter>> before = ListFilters(m_builder.Get());
    HRESULT rendered = m_builder->RenderFile(path, nullptr);
    // Whatever the builder added for this file, even when it failed half-way, goes with it.
    for (ComRef<IBaseFilter>& filter : ListFilters(m_builder.Get()))
        if (!Contains(before, filter.Get()))
            m_fileFilters.push_back(filter);
    // No audio device or no decoder for the file: silence, not an error.
    if (FAILED(rendered) || !m_control)
        return false;
    return SUCCEEDED(m_control->Run());
}

bool AudioGraph::Rewind()
{
    if (!m_control || !m_seeking)
        return false;
    LONGLONG start = 0;
    m_seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr,
                            AM_SEEKING_NoPositioning);
    return SUCCEEDED(m_control->Run());
}

void AudioGraph::Stop()
{
    if (m_control)
        m_control->Stop();
}

bool AudioGraph::SetVolume(long level)
{
    return m_audio && SUCCEEDED(m_audio->put_Volume(level));
}

int AudioGraph::GetEvent()
{
    if (!m_events)
        return -1;
    long code = 0;
    LONG_PTR first = 0;
    LONG_PTR second = 0;
    if (FAILED(m_events->GetEvent(&code, &first, &second, 0)))
        return -1;
    m_events->FreeEventParams(code, first, second);
    return static_cast<int>(code);
}

int AudioGraph::CountFilters() const { return static_cast<int>(ListFilters(m_builder.Get()).size()); }

void AudioGraph::Release()
{
    RemoveFileFilters();
    Stop();
    if (m_events)
        m_events->SetNotifyWindow(0, 0, 0);
    m_audio.Reset();
    m_events.Reset();
    m_seeking.Reset();
    m_control.Reset();
    m_builder.Reset();
}
