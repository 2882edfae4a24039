#pragma once
// What the track order needs from the music: the scene host hands it the process-wide graph,
// the tests a recording fake.
class MusicPlayer {
public:
    virtual ~MusicPlayer() = default;
    // Plays the file from its start with the stored volume and mute settings.
    virtual void PlayTrack(const wchar_t* path) = 0;
    virtual void RewindTrack() = 0;
};
