#pragma once
// The order in which a scene's music tracks play: the first when the scene starts, the next one
// on each completion, wrapping to the first after the last; a single track is rewound.
#include <string>
#include <vector>

class MusicPlayer;

class MusicTrackCursor {
public:
    // Takes the track paths (after their extraction), leaving out empty ones, and plays the
    // first, if any.
    void Start(std::vector<std::wstring> tracks, MusicPlayer& player);
    // A music event; only completion (code 1) moves on.
    void OnMusicEvent(int eventCode, MusicPlayer& player);

    // The index of the track that plays next; equal to the count after the last.
    size_t Position() const { return m_next; }

private:
    void PlayAtCursor(MusicPlayer& player);

    std::vector<std::wstring> m_tracks;
    size_t m_next = 0;
};
