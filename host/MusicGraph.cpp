#include "host/MusicGraph.h"

#include <windows.h>

// A global object: should the host not release it, its destructor still does before the process
// goes, while DirectShow's threads are alive (a graph left to the end crashed at exit under Wine).
AudioGraph MusicGraph;
int MusicVolume = 100;
int MusicMute = 0;

namespace {
const long kSilence = -10000;
}

long MusicVolumeLevel(int volume, bool mute)
{
    if (mute)
        return kSilence;
    // The volume scale spans 40 dB: volume 0 is quiet, not silent.
    return static_cast<long>((volume - 100) * 100 * 0.4);
}

int InitMusicGraph(HWND__* window) { return MusicGraph.Create(window) ? 1 : 0; }

bool PlayMusicFile(const wchar_t* path)
{
    IBaseFilter* source = MusicGraph.AddFileSource(path);
    if (RenderMusicSourcePin(source))
        return true;
    MusicGraph.Stop();
    return RenderMusicFile(path) != 0;
}

bool RenderMusicSourcePin(IBaseFilter* source) { return MusicGraph.RenderSourcePin(source); }

int RenderMusicFile(const wchar_t* path) { return MusicGraph.RenderFile(path) ? 1 : 0; }

void RewindMusic() { MusicGraph.Rewind(); }

void SetMusicVolume(bool mute) { MusicGraph.SetVolume(MusicVolumeLevel(MusicVolume, mute)); }

int GetMusicEvent() { return MusicGraph.GetEvent(); }

void ReleaseMusicGraph() { MusicGraph.Release(); }
