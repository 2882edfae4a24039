// The saver playing the scene it carries: the splash first, then the lake landscape in which only
// the water moves, and nowhere the colour the layer clears to.
#include "support/ProcessRunner.h"
#include "support/SavedRegistryValue.h"
#include "support/SaverWindows.h"
#include "support/ScreenChecks.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {


std::wstring Saver() { return BuiltProgramPath(L"GlimmerSaver.scr"); }

int Red(uint32_t p) { return (p >> 16) & 0xFF; }
int Blue(uint32_t p) { return p & 0xFF; }

// A part of the landscape picture (1024 x 768 pixels), which the saver stretches over its area.
struct PictureRegion {
    const char* name;
    int left, top, right, bottom;
};

// Where the brushes and the lake move the picture, and parts well away from all of them.
const PictureRegion kMoving[] = {
    {"waterfall", 792, 260, 842, 540},
    {"pool", 700, 552, 900, 580},
    {"lake", 0, 660, 1024, 760},
};
const PictureRegion kStill[] = {
    {"sky", 0, 0, 700, 200},
    {"hills and meadow", 0, 330, 400, 600},
    {"cliff", 880, 160, 1024, 480},
};

RECT OnScreen(const PictureRegion& region, const ScreenPixels& shot)
{
    return RECT{region.left * shot.width / 1024, region.top * shot.height / 768,
                region.right * shot.width / 1024, region.bottom * shot.height / 768};
}

// The landscape: a blue sky over the top of the area.
bool LooksLikeScene(const ScreenPixels& shot)
{
    int blue = 0, total = 0;
    for (int y = 0; y < shot.height / 8; ++y)
        for (int x = 0; x < shot.width / 2; ++x, ++total)
            blue += Blue(shot.At(x, y)) > Red(shot.At(x, y)) + 40;
    return total && blue > total * 3 / 4;
}

struct SceneStart {
    bool splashSeen = false;
    bool sceneSeen = false;
};

// Watches the area from the window's first frame until the scene shows.
template <class Capture>
SceneStart WatchSceneStart(Capture capture)
{
    SceneStart start;
    start.sceneSeen = WaitFor([&] {
        const ScreenPixels shot = capture();
        start.splashSeen = start.splashSeen || LooksLikeSplash(shot);
        return LooksLikeScene(shot);
    });
    return start;
}

std::string Describe(const char* name, const RECT& r, double share)
{
    std::ostringstream out;
    out << name << " (" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom
        << "): " << share * 100 << " % changed";
    return out.str();
}

// The colour the layer clears to shows nowhere in a view, beyond a stray few pixels.
bool ExpectNoClearColour(const ScreenPixels& view, const char* which)
{
    POINT first;
    const int clearColour = ClearColourPixels(view, &first);
    EXPECT_LE(clearColour, kStrayClearColourPixels)
        << which << ": the clear colour shows in " << clearColour << " pixels, the first at ("
        << first.x << ", " << first.y << ")";
    return clearColour <= kStrayClearColourPixels;
}

// Two views of the playing scene a second apart: the water moves, the land does not, and the
// colour the layer clears to shows in neither.
template <class Capture>
void ExpectOnlyTheWaterMoves(Capture capture, const char* artifact)
{
    // Past the slide's fade-in.
    Sleep(2000);
    const ScreenPixels first = capture();
    Sleep(1000);
    const ScreenPixels second = capture();
    ASSERT_EQ(first.pixels.size(), second.pixels.size());
    bool fine = ExpectNoClearColour(first, "first view");
    fine = ExpectNoClearColour(second, "second view") && fine;
    for (const PictureRegion& region : kMoving) {
        const RECT r = OnScreen(region, first);
        const double share = ChangedShare(first, second, r);
        EXPECT_GT(share, 0.02) << Describe(region.name, r, share);
        fine = fine && share > 0.02;
    }
    for (const PictureRegion& region : kStill) {
        const RECT r = OnScreen(region, first);
        const double share = ChangedShare(first, second, r);
        EXPECT_LT(share, 0.002) << Describe(region.name, r, share);
        fine = fine && share < 0.002;
    }
    if (!fine)
        TakeScreenshot(TestArtifactsDir() + "\\" + artifact);
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::string ReadFile(const std::string& path)
{
    std::string text;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, n);
    std::fclose(file);
    return text;
}

// Lines of Wine's debug output in which Direct3D or D3DX report an error or a warning (a failed
// call, an effect parameter or technique that is not there).
std::vector<std::string> Direct3DComplaints(const std::string& output)
{
    std::vector<std::string> found;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        // D3DX notes the shader count of every effect it reads, a field it does not use.
        if (line.find("skip_u32_unknown") != std::string::npos)
            continue;
        if (line.find("err:") != std::string::npos || line.find("warn:d3dx") != std::string::npos)
            found.push_back(line);
    }
    return found;
}

}  // namespace

TEST(EmbeddedSceneTest, FullScreenShowsTheSplashThenTheLakeWithMovingWater)
{
    ProcessRunner runner;
    ASSERT_TRUE(runner.Start(Saver(), L"/s"));
    HWND window = WaitForTopWindow(runner.ProcessId(), kSaverClass);
    ASSERT_NE(window, nullptr);

    const SceneStart start = WatchSceneStart([] { return CaptureScreen(); });
    EXPECT_TRUE(start.splashSeen);
    ASSERT_TRUE(start.sceneSeen);
    ExpectOnlyTheWaterMoves([] { return CaptureScreen(); }, "embedded-scene-full-screen.png");

    // The picture of the saver in the README comes from here (scripts/screenshot).
    TakeScreenshot(TestArtifactsDir() + "\\embedded-scene.png");

    PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
    ProcessResult r = runner.Wait(kRunTimeoutMs);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
}

TEST(EmbeddedSceneTest, TestWindowShowsTheSplashThenTheLakeWithMovingWater)
{
    ProcessRunner runner;
    ASSERT_TRUE(runner.Start(Saver(), L"/t"));
    HWND window = WaitForTopWindow(runner.ProcessId(), kSaverClass);
    ASSERT_NE(window, nullptr);
    const auto client = [window] { return CaptureClientArea(window); };

    const SceneStart start = WatchSceneStart(client);
    EXPECT_TRUE(start.splashSeen);
    ASSERT_TRUE(start.sceneSeen);
    ExpectOnlyTheWaterMoves(client, "embedded-scene-test-window.png");

    PostMessageW(window, WM_CLOSE, 0, 0);
    ProcessResult r = runner.Wait(kRunTimeoutMs);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
}

TEST(EmbeddedSceneTest, TestWindowInFitShowsTheLakeBetweenBordersWithoutClearColour)
{
    // The landscape is 4:3 and the test window wider: the stored Fit position leaves margins at
    // the sides, which the camera's border picture fills.
    SavedRegistryValue picturePosition(HKEY_CURRENT_USER, kSaverSettingsKey, L"\"PicPos\"");
    ASSERT_TRUE(picturePosition.SetDword(1));

    ProcessRunner runner;
    ASSERT_TRUE(runner.Start(Saver(), L"/t"));
    HWND window = WaitForTopWindow(runner.ProcessId(), kSaverClass);
    ASSERT_NE(window, nullptr);
    const auto client = [window] { return CaptureClientArea(window); };
    ASSERT_TRUE(WatchSceneStart(client).sceneSeen);
    // Past the slide's fade-in, two views a second apart.
    Sleep(2000);
    const ScreenPixels first = client();
    Sleep(1000);
    const ScreenPixels second = client();
    bool fine = ExpectNoClearColour(first, "first view");
    fine = ExpectNoClearColour(second, "second view") && fine;
    // The margins hold the document's border picture, dark, not the landscape's sky.
    const int margin = (first.width - first.height * 1024 / 768) / 2;
    ASSERT_GT(margin, 4) << first.width << " x " << first.height;
    for (const RECT& r : {RECT{0, 0, margin - 1, first.height},
                          RECT{first.width - margin + 1, 0, first.width, first.height}}) {
        int light = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const uint32_t p = first.At(x, y);
                light += Red(p) > 48 || ((p >> 8) & 0xFF) > 48 || Blue(p) > 48;
            }
        EXPECT_EQ(light, 0) << "margin (" << r.left << "," << r.top << ")-(" << r.right << ","
                            << r.bottom << ")";
        fine = fine && light == 0;
    }
    if (!fine)
        SaveScreenPixels(first, TestArtifactsDir() + "\\embedded-scene-fit.bmp");

    PostMessageW(window, WM_CLOSE, 0, 0);
    ProcessResult r = runner.Wait(kRunTimeoutMs);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
}

TEST(EmbeddedSceneTest, PlaysWithoutDirect3DOrEffectComplaints)
{
    // Wine's debug channels are read from the host environment when a program starts, which a
    // Windows program cannot set for its children: the host shell starts the saver instead, and
    // keeps what Direct3D and D3DX say about it.
    const std::string log = TestArtifactsDir() + "\\embedded-scene-debug.log";
    const std::string command = "WINEDEBUG=err+all,warn+d3dx,warn+d3d9 wine '" +
                                HostPath(Narrow(Saver())) + "' /t 2>&1 >/dev/null | grep -a d3d; true";
    bool finished = false;
    std::thread shell([&] { finished = RunHostCommand(command, log, 120000); });

    HWND window = nullptr;
    const bool started = WaitFor([&] { return (window = FindWindowW(kSaverClass, nullptr)) != nullptr; });
    bool sceneSeen = false;
    if (started) {
        sceneSeen = WaitFor([&] { return LooksLikeScene(CaptureClientArea(window)); });
        // A few seconds of play, so that every draw of the scene has run many times.
        Sleep(3000);
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    shell.join();
    ASSERT_TRUE(started);
    EXPECT_TRUE(sceneSeen);
    ASSERT_TRUE(finished);
    const std::vector<std::string> complaints = Direct3DComplaints(ReadFile(log));
    EXPECT_TRUE(complaints.empty()) << complaints.size() << " complaints, the first: "
                                    << complaints.front();
}
