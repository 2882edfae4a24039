#include "sound/Vo_WAV_Constructor.h"

#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <algorithm>
#include <cstring>

#include "model/ClassReaderRegistration.h"
#include "model/DataBuffer.h"
#include "model/Vo_DocResManager.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/SoundDevice.h"
#include "runtime/Vo_TimeLineControl.h"
#include "sound/WaveData.h"

Vo_WAV_Constructor::Vo_WAV_Constructor() = default;

Vo_WAV_Constructor::Vo_WAV_Constructor(const Vo_WAV_Constructor& other)
    : Vo_Sound_Ctrl(other), m_file(other.m_file), m_buffer(other.m_buffer)
{
}

Vo_WAV_Constructor::~Vo_WAV_Constructor() = default;

void Vo_WAV_Constructor::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    ReadFileLink(stream, m_file);
    Vo_Sound_Ctrl::Load(stream);
}

void Vo_WAV_Constructor::GetPreviewInfo(ObjectPreviewInfo& info) const
{
    if (info.flag) {
        auto* self = const_cast<Vo_WAV_Constructor*>(this);
        if (!m_buffer)
            self->Prepare();
        self->Play(false);
    }
    Vo_Sound_Ctrl::GetPreviewInfo(info);
}

bool Vo_WAV_Constructor::LoadBuffer()
{
    if (!CurrentDocResManager || !SoundDevice)
        return false;
    const FileBlob* blob = CurrentDocResManager->GetFileBlob(m_file);
    if (!blob)
        return false;
    WaveData wave;
    if (!ParseWaveData(blob->Data(), blob->Size(), wave))
        return false;
    SetTimelineLength(wave.LengthInHundredths());
    return LoadBuffer(wave);
}

bool Vo_WAV_Constructor::LoadBuffer(const WaveData& wave)
{
    if (!SoundDevice || wave.samples.empty())
        return false;
    DSBUFFERDESC description = {};
    description.dwSize = sizeof(description);
    description.dwFlags = SoundBufferFlags | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME;
    description.dwBufferBytes = static_cast<DWORD>(wave.samples.size());
    description.lpwfxFormat =
        reinterpret_cast<WAVEFORMATEX*>(const_cast<uint8_t*>(wave.format.data()));
    ComRef<IDirectSoundBuffer> made;
    if (FAILED(SoundDevice->CreateSoundBuffer(&description, made.Receive(), nullptr)))
        return false;
    m_buffer.Reset();
    if (FAILED(made->QueryInterface(IID_IDirectSoundBuffer8,
                                    reinterpret_cast<void**>(m_buffer.Receive()))))
        return false;

    void* memory = nullptr;
    DWORD locked = 0;
    if (SUCCEEDED(m_buffer->Lock(0, 0, &memory, &locked, nullptr, nullptr, DSBLOCK_ENTIREBUFFER))) {
        // Only the bytes read: a lock larger than the data leaves the rest silent.
        const DWORD copied = std::min<DWORD>(locked, static_cast<DWORD>(wave.samples.size()));
        std::memcpy(memory, wave.samples.data(), copied);
        if (copied < locked)
            std::memset(static_cast<uint8_t*>(memory) + copied, 0, locked - copied);
        m_buffer->Unlock(memory, locked, nullptr, 0);
    }
    return true;
}

void Vo_WAV_Constructor::Prepare()
{
    if (!m_buffer)
        LoadBuffer();
    if (!m_buffer)
        return;
    // Hundredths of a decibel: volume 0 is 50 dB down, balance 0 and 100 the two sides.
    m_buffer->SetVolume((ClampedVolume() - 100) * 50);
    m_buffer->SetPan((ClampedBalance() - 50) * 100);
}

void Vo_WAV_Constructor::Play(bool looping)
{
    if (!m_buffer)
        return;
    if (SUCCEEDED(m_buffer->SetCurrentPosition(0)))
        m_buffer->Play(0, 0, looping ? DSBPLAY_LOOPING : 0);
}

void Vo_WAV_Constructor::Stop()
{
    if (m_buffer)
        m_buffer->Stop();
}

void Vo_WAV_Constructor::Update(float)
{
    if (!m_buffer)
        return;
    DWORD status = 0;
    if (FAILED(m_buffer->GetStatus(&status)))
        return;
    const int state = Timeline().GetState();
    if (status & DSBSTATUS_PLAYING) {
        // A sound playing once plays to its end whatever the timeline does.
        if (state == 1 && (status & DSBSTATUS_LOOPING))
            Stop();
    } else if (state == 0) {
        Play(Timeline().Mode().Value() == Vo_TimeLineControl::kAlwaysVisible);
    }
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_WAV_Constructor);
