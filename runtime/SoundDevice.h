#pragma once
// The process-wide DirectSound device and its primary buffer. The host makes them once, with its
// main window; sound items make their buffers on SoundDevice. Both stay none when the machine
// has no audio device: every user checks them first and stays silent.

struct IDirectSound8;
struct IDirectSoundBuffer;
struct HWND__;

extern IDirectSound8* SoundDevice;
extern IDirectSoundBuffer* PrimarySoundBuffer;
// Flags that every sound buffer description of the program includes (set when the device is made).
extern unsigned long SoundBufferFlags;

// Makes the device and the primary buffer (playing, looping); only the first call in the process
// does anything once the device exists. Returns false on the first step that fails.
bool CreateDirectSound(HWND__* window);

// The primary buffer's volume in hundredths of a decibel for a volume of 0 to 100.
long PrimarySoundVolumeLevel(int volume, bool mute);

// Release and clear; run at process exit, the primary buffer before the device.
void ReleasePrimarySoundBuffer();
void ReleaseSoundDevice();
