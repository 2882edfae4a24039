#include "runtime/SoundDevice.h"

#include "model/ComRef.h"

#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <cstdlib>

IDirectSound8* SoundDevice = nullptr;
IDirectSoundBuffer* PrimarySoundBuffer = nullptr;
unsigned long SoundBufferFlags = 0;

namespace {

void RegisterSoundDeviceRelease() { std::atexit(ReleaseSoundDevice); }
void RegisterPrimaryBufferRelease() { std::atexit(ReleasePrimarySoundBuffer); }

// atexit runs its routines last registered first. Both are registered by this one initialiser,
// so the order is fixed whatever order the linker gives the program's static initialisers: the
// buffer goes before the device that owns it.
struct SoundReleaseRegistration {
    SoundReleaseRegistration()
    {
        RegisterSoundDeviceRelease();
        RegisterPrimaryBufferRelease();
    }
};
const SoundReleaseRegistration s_soundReleaseRegistration;

}  // namespace

bool CreateDirectSound(HWND__* window)
{
    if (SoundDevice)
        return true;
    SoundBufferFlags = DSBCAPS_STICKYFOCUS;
    IDirectSound8* device = nullptr;
    // Without an audio device (Wine with no sound server) this fails: the program stays silent.
    if (FAILED(DirectSoundCreate8(nullptr, &device, nullptr)))
        return false;
    SoundDevice = device;
    // A failure here keeps the device, so later calls answer true without a primary buffer.
    if (FAILED(SoundDevice->SetCooperativeLevel(window, DSSCL_NORMAL)))
        return false;

    ReleasePrimarySoundBuffer();
    DSBUFFERDESC description = {};
    description.dwSize = sizeof(description);
    description.dwFlags = SoundBufferFlags | DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRLVOLUME;
    if (FAILED(SoundDevice->CreateSoundBuffer(&description, &PrimarySoundBuffer, nullptr))) {
        PrimarySoundBuffer = nullptr;
        return false;
    }
    return SUCCEEDED(PrimarySoundBuffer->Play(0, 0, DSBPLAY_LOOPING));
}

long PrimarySoundVolumeLevel(int volume, bool mute)
{
    if (mute)
        return DSBVOLUME_MIN;
    return (volume - 100) * 50;
}

void ReleasePrimarySoundBuffer() { ReleaseInterface(PrimarySoundBuffer); }

void ReleaseSoundDevice() { ReleaseInterface(SoundDevice); }
