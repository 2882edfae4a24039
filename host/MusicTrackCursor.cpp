#include "host/MusicTrackCursor.h"

#include "host/MusicPlayer.h"

namespace {
const int kTrackComplete = 1;  // EC_COMPLETE
}

void MusicTrackCursor::Start(std::vector<std::wstring> tracks, MusicPlayer& player)
{
    m_tracks = std::move(tracks);
    m_next = 0;
    PlayAtCursor(player);
}

void MusicTrackCursor::OnMusicEvent(int eventCode, MusicPlayer& player)
{
    if (eventCode != kTrackComplete)
        return;
    if (m_next >= m_tracks.size()) {
        // One track: play it again without taking its chain apart.
        if (m_tracks.size() == 1) {
            player.RewindTrack();
            return;
        }
        m_next = 0;
    }
    PlayAtCursor(player);
}

void MusicTrackCursor::PlayAtCursor(MusicPlayer& player)
{
    if (m_next >= m_tracks.size())
        return;
    player.PlayTrack(m_tracks[m_next].c_str());
    ++m_next;
}
