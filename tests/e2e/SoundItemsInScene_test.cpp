// The sound items' gallery documents played in the real saver: what the sound server hears while
// the scene shows, and what the run leaves in the temporary folder.
#include "support/ProcessRunner.h"
#include "support/SaverCopy.h"
#include "support/SaverWindows.h"
#include "support/SinkRecording.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// The scene starts after the splash; its sounds start with its first frames.
const DWORD kSceneStartMs = 4000;

// The temporary copies that MP3 items of the stored name "hum.mp3" make ("hum~<pid>-<n>.mp3").
std::vector<std::wstring> HumCopies()
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    std::vector<std::wstring> found;
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW((std::wstring(folder) + L"hum~*.mp3").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return found;
    do
        found.push_back(data.cFileName);
    while (FindNextFileW(search, &data));
    FindClose(search);
    return found;
}

// The copies of `copies` that one process made ("hum~<pid in hex>-<n>.mp3") and that were not
// there before it started: a saver that was killed leaves its copies behind, and Wine gives its
// process ids to later processes again.
std::vector<std::wstring> CopiesMadeBy(DWORD processId, const std::vector<std::wstring>& copies,
                                       const std::vector<std::wstring>& before)
{
    wchar_t prefix[32] = {};
    swprintf(prefix, 32, L"hum~%lx-", static_cast<unsigned long>(processId));
    std::vector<std::wstring> made;
    for (const std::wstring& copy : copies)
        if (copy.rfind(prefix, 0) == 0 && std::find(before.begin(), before.end(), copy) == before.end())
            made.push_back(copy);
    return made;
}

struct SoundCase {
    const wchar_t* document;
    double tone;
};

class SoundItemsInSceneTest : public ::testing::TestWithParam<SoundCase> {};

}  // namespace

TEST_P(SoundItemsInSceneTest, TheItemIsHeardWhileTheSceneShowsAndLeavesNothingBehind)
{
    const SoundCase& c = GetParam();
    const std::vector<uint8_t> document =
        ReadBuiltFile(std::wstring(L"tests\\gallery\\") + c.document + L".bin");
    ASSERT_FALSE(document.empty());
    std::string why;
    const std::wstring program = MakeSaverCopyPlaying(
        document, BuiltProgramPath(L"tests\\sound-items"), std::wstring(c.document) + L".scr", &why);
    ASSERT_FALSE(program.empty()) << why;

    const std::vector<std::wstring> before = HumCopies();
    ProcessRunner saver;
    ASSERT_TRUE(saver.Start(program, L"/t"));
    HWND window = WaitForTopWindow(saver.ProcessId(), kSaverClass);
    ASSERT_NE(window, nullptr);
    Sleep(kSceneStartMs);
    const std::vector<int16_t> samples = RecordSink(3.0);
    ASSERT_GT(samples.size(), static_cast<size_t>(kSampleRate / 2));
    EXPECT_TRUE(HoldsTone(samples, c.tone)) << "rms " << Rms(samples);
    const size_t copiesWhilePlaying = CopiesMadeBy(saver.ProcessId(), HumCopies(), before).size();

    PostMessageW(window, WM_CLOSE, 0, 0);
    const ProcessResult r = saver.Wait(kRunTimeoutMs);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    if (c.tone == 330.0) {
        EXPECT_EQ(copiesWhilePlaying, 1u) << "the MP3 item plays a copy of its own";
    }
    EXPECT_TRUE(CopiesMadeBy(saver.ProcessId(), HumCopies(), before).empty())
        << "the copy goes with the item at the end";
}

INSTANTIATE_TEST_SUITE_P(GalleryDocuments, SoundItemsInSceneTest,
                         ::testing::Values(SoundCase{L"Vo_WAV_Constructor", 880.0},
                                           SoundCase{L"Vo_MP3_Constructor", 330.0}),
                         [](const ::testing::TestParamInfo<SoundCase>& info) {
                             const std::wstring name = info.param.document;
                             return std::string(name.begin(), name.end());
                         });
