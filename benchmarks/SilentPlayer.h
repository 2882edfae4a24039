#pragma once
#include "host/MusicPlayer.h"

// The benchmark plays no music; the scene host only needs somewhere to send the tracks.
class SilentPlayer : public MusicPlayer {
public:
    void PlayTrack(const wchar_t*) override {}
    void RewindTrack() override {}
};
