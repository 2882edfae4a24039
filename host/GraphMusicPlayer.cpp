#include "host/GraphMusicPlayer.h"

#include "host/MusicGraph.h"
#include "host/SettingsValues.h"

void GraphMusicPlayer::PlayTrack(const wchar_t* path)
{
    PlayMusicFile(path);
    // Read before every track, so settings changed while the saver runs apply to the next one.
    ReadSoundVolume(&MusicVolume);
    ReadMuteSound(&MusicMute);
    SetMusicVolume(MusicMute != 0);
}

void GraphMusicPlayer::RewindTrack() { RewindMusic(); }
