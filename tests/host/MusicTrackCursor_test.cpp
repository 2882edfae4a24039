#include "host/MusicTrackCursor.h"

#include "host/MusicPlayer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Writes down what the cursor asks for: a track name, or "rewind".
class RecordingPlayer : public MusicPlayer {
public:
    void PlayTrack(const wchar_t* path) override { calls.push_back(path); }
    void RewindTrack() override { calls.push_back(L"rewind"); }
    std::vector<std::wstring> calls;
};

const int kComplete = 1;
const int kClockChanged = 13;  // arrives right after Run
const int kUserAbort = 2;

struct Case {
    const char* name;
    std::vector<std::wstring> tracks;
    std::vector<int> events;
    std::vector<std::wstring> calls;
};

}  // namespace

TEST(MusicTrackCursorTest, PlaysTracksInOrderOnCompletionOnly)
{
    const Case cases[] = {
        {"no tracks: nothing plays, events change nothing", {}, {kComplete, kComplete}, {}},
        {"one track: every completion rewinds it",
         {L"a"},
         {kClockChanged, kComplete, kComplete},
         {L"a", L"rewind", L"rewind"}},
        {"three tracks wrap to the first after the last",
         {L"a", L"b", L"c"},
         {kComplete, kComplete, kComplete, kComplete, kComplete},
         {L"a", L"b", L"c", L"a", L"b", L"c"}},
        // Other events (clock changes, aborts, errors, the -1 of an empty queue) never switch.
        {"other events are ignored",
         {L"a", L"b"},
         {kClockChanged, kUserAbort, -1, 0, kComplete, kClockChanged},
         {L"a", L"b"}},
        // A track whose copy could not be written has no path; playing it would stop the music.
        {"tracks without a path are left out",
         {L"", L"a", L"", L"b", L""},
         {kComplete, kComplete, kComplete},
         {L"a", L"b", L"a", L"b"}},
        {"one track with a path among empty ones is rewound",
         {L"", L"a", L""},
         {kComplete, kComplete},
         {L"a", L"rewind", L"rewind"}},
        {"only empty paths: nothing plays", {L"", L""}, {kComplete}, {}},
    };
    for (const Case& c : cases) {
        RecordingPlayer player;
        MusicTrackCursor cursor;
        cursor.Start(c.tracks, player);
        for (int event : c.events)
            cursor.OnMusicEvent(event, player);
        EXPECT_EQ(player.calls, c.calls) << c.name;
    }
}
