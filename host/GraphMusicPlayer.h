#pragma once
// The music player of the scene hosts: the process-wide music graph, with the volume and mute
// settings read from the registry before every track.
#include "host/MusicPlayer.h"

class GraphMusicPlayer : public MusicPlayer {
public:
    void PlayTrack(const wchar_t* path) override;
    void RewindTrack() override;
};
