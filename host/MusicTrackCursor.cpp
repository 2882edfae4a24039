#include "host/MusicTrackCursor.h"

#include "host/MusicPlayer.h"

namespace {
const int kTrackComplete = 1;  // EC_COMPLETE
}

void MusicTrackCursor::Start(std::vector<std::wstring> tracks, MusicPlayer& player)
{
    // A track without a path (its copy could not be written) cannot play; handing the graph an
    // empty path would only take apart the chain of the track that plays.
    m_tracks.clear();
    for (std::wstring& track : tracks)
        if (!track.empty())
            m_tracks.push_back(std::move(track));
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
