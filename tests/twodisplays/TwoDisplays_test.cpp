// The saver on a machine with two displays: this program runs in the two-display Wine world
// (scripts/lib/run-on-two-displays), where the X server shows a 1280 x 1024 display with a
// 1024 x 768 one to its right, and Direct3D has an adapter for each.
#include "support/DecodedPicture.h"
#include "support/PreviewParent.h"
#include "support/ProcessRunner.h"
#include "support/SavedRegistryValue.h"
#include "support/SaverWindows.h"
#include "support/ScreenChecks.h"
#include "support/SinkRecording.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <d3d9.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace {

// The splash, then the scene: the lake's water moves from the first scene frames on.
const DWORD kSceneStartMs = 5000;

std::wstring Saver() { return BuiltProgramPath(L"GlimmerSaver.scr"); }

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM list)
{
    reinterpret_cast<std::vector<RECT>*>(list)->push_back(*rect);
    return TRUE;
}

// The displays, left to right.
std::vector<RECT> Displays()
{
    std::vector<RECT> displays;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&displays));
    std::sort(displays.begin(), displays.end(), [](const RECT& a, const RECT& b) { return a.left < b.left; });
    return displays;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string SizeOf(const RECT& r)
{
    return std::to_string(r.right - r.left) + " x " + std::to_string(r.bottom - r.top);
}

std::string Describe(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// The per-screen values of display n (1-based) that a test sets, put back afterwards.
class StoredScreenValue {
public:
    StoredScreenValue(int display, const wchar_t* name, DWORD value)
        : m_path(std::wstring(kSaverSettingsKey) + L"Screen " + std::to_wstring(display)),
          m_saved(new SavedRegistryValue(HKEY_CURRENT_USER, m_path.c_str(), name))
    {
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
        RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
        RegCloseKey(key);
    }

private:
    std::wstring m_path;
    std::unique_ptr<SavedRegistryValue> m_saved;
};

// The full-screen saver with its windows found: one per display that plays, by the display it
// covers.
class FullScreenRun {
public:
    FullScreenRun()
    {
        EXPECT_TRUE(m_saver.Start(Saver(), L"/s"));
        WaitForTopWindow(m_saver.ProcessId(), kSaverClass);
        WaitFor([&] { return TopWindows(m_saver.ProcessId(), kSaverClass).size() >= 2; }, 10000);
        m_windows = TopWindows(m_saver.ProcessId(), kSaverClass);
        Sleep(kSceneStartMs);
    }
    ~FullScreenRun()
    {
        if (m_saver.Running())
            m_saver.Kill();
    }

    const std::vector<HWND>& Windows() const { return m_windows; }

    ProcessResult EndWithAKey()
    {
        PostMessageW(m_windows.empty() ? nullptr : m_windows.front(), WM_KEYDOWN, VK_SPACE, 0);
        return m_saver.Wait(kRunTimeoutMs);
    }

private:
    ProcessRunner m_saver;
    std::vector<HWND> m_windows;
};

// Two views of a display a second apart: the lake's water moves, so a playing scene changes.
struct DisplayViews {
    ScreenPixels first, second;
};

bool Plays(const DisplayViews& views)
{
    return BrightnessSpread(views.second) >= 32 && ChangedShare(views.first, views.second) > 0.002 &&
           !ShowsErrorBox(views.second);
}

// Views of the display once it plays, or the last ones taken when it has not played within a
// minute (a loaded machine takes its time over the splash and the scene start).
DisplayViews ViewsOf(const RECT& display)
{
    DisplayViews views;
    const ULONGLONG until = GetTickCount64() + 60000;
    do {
        views.first = CaptureScreenRect(display);
        Sleep(1000);
        views.second = CaptureScreenRect(display);
    } while (!Plays(views) && GetTickCount64() < until);
    return views;
}

void ExpectPlaying(const DisplayViews& views, const std::string& what)
{
    EXPECT_GE(BrightnessSpread(views.second), 32) << what << " shows one colour";
    EXPECT_GT(ChangedShare(views.first, views.second), 0.002) << what << " stands still";
    EXPECT_FALSE(ShowsErrorBox(views.second)) << what;
}

// Dialog 201's controls.
const int kTabs = 2000;
const int kAdapterName = 2002;
const int kShowNothing = 2008;
const int kModeList = 2011;

DWORD StoredValueOfScreen(int display, const wchar_t* name)
{
    const std::wstring path = std::wstring(kSaverSettingsKey) + L"Screen " + std::to_wstring(display);
    DWORD value = 0xFFFFFFFF;
    DWORD size = sizeof(value);
    RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}


// The landscape the embedded scene shows (1024 x 768), as the build's picture tool made it.
const DecodedPicture& Landscape()
{
    static const DecodedPicture picture = DecodePicture(ReadBuiltFile(L"resources\\scene\\lake-landscape.png"));
    return picture;
}

// Where a point of a display shows a point of the picture: picture = (screen - offset) / scale.
struct Placement {
    double scaleX, scaleY, offsetX, offsetY;
    const char* name;
};

// Fill: the picture scaled evenly, about its centre, until it covers the display.
Placement FillPlacement(int width, int height, const char* name)
{
    const DecodedPicture& picture = Landscape();
    const double scale = std::max(double(width) / picture.width, double(height) / picture.height);
    return {scale, scale, width / 2.0 - picture.width / 2.0 * scale, height / 2.0 - picture.height / 2.0 * scale,
            name};
}

// Stretch: the picture over the whole display, its aspect not kept.
Placement StretchPlacement(int width, int height, const char* name)
{
    const DecodedPicture& picture = Landscape();
    return {double(width) / picture.width, double(height) / picture.height, 0.0, 0.0, name};
}

// Parts of the landscape where nothing moves (no water, no brush), in picture pixels.
const RECT kStillParts[] = {{0, 0, 700, 200}, {0, 330, 400, 600}, {880, 160, 1024, 480}};

bool InStillPart(double x, double y)
{
    const double margin = 4;
    for (const RECT& r : kStillParts)
        if (x >= r.left + margin && x < r.right - margin && y >= r.top + margin && y < r.bottom - margin)
            return true;
    return false;
}

int ChannelDistance(uint32_t a, uint32_t b)
{
    int most = 0;
    for (int shift = 0; shift <= 16; shift += 8)
        most = std::max(most, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return most;
}

// The points of a display's view where the picture, placed as expected, shows an edge in a
// still part (sky to hill, a cloud's rim, the cliff's ledges, tufts of the meadow): there a
// placement that is off by a few pixels shows another colour. Edges across the rows tell where
// the picture lies sideways, edges across the columns where it lies up and down.
struct EdgePoints {
    std::vector<POINT> acrossRows, acrossColumns;
};

EdgePoints FindEdgePoints(const ScreenPixels& view, const Placement& expected)
{
    const int kEdge = 30;  // levels between points 4 picture pixels apart
    const DecodedPicture& picture = Landscape();
    EdgePoints points;
    for (int y = 0; y < view.height; ++y)
        for (int x = 0; x < view.width; ++x) {
            const double px = (x + 0.5 - expected.offsetX) / expected.scaleX;
            const double py = (y + 0.5 - expected.offsetY) / expected.scaleY;
            if (!InStillPart(px, py))
                continue;
            if (ChannelDistance(picture.Sample(px - 2, py), picture.Sample(px + 2, py)) >= kEdge)
                points.acrossRows.push_back({x, y});
            if (ChannelDistance(picture.Sample(px, py - 2), picture.Sample(px, py + 2)) >= kEdge)
                points.acrossColumns.push_back({x, y});
        }
    return points;
}

// The share of the points at which the view shows the picture placed so, within a little
// filtering: the colour of the picture at the point or a pixel beside it.
double MatchShare(const ScreenPixels& view, const std::vector<POINT>& points, const Placement& placement)
{
    const DecodedPicture& picture = Landscape();
    int matched = 0;
    for (const POINT& p : points) {
        const double px = (p.x + 0.5 - placement.offsetX) / placement.scaleX;
        const double py = (p.y + 0.5 - placement.offsetY) / placement.scaleY;
        const uint32_t shown = view.At(p.x, p.y) & 0xFFFFFF;
        const double beside[][2] = {{0, 0}, {-1, 0}, {1, 0}, {0, -1}, {0, 1}};
        for (const auto& d : beside)
            if (ChannelDistance(shown, picture.Sample(px + d[0], py + d[1])) <= 20) {
                ++matched;
                break;
            }
    }
    return points.empty() ? 0.0 : double(matched) / points.size();
}

// The view shows the landscape placed as expected, sideways and up and down, and not as any of
// the other placements would put it.
void ExpectPlacedSo(const ScreenPixels& view, const Placement& expected, const std::vector<Placement>& others,
                    const std::string& what)
{
    const EdgePoints points = FindEdgePoints(view, expected);
    ASSERT_GE(points.acrossRows.size(), 100u) << what << ": too few upright edges of the picture to compare";
    ASSERT_GE(points.acrossColumns.size(), 100u) << what << ": too few level edges of the picture to compare";
    const double sideways = MatchShare(view, points.acrossRows, expected);
    const double upDown = MatchShare(view, points.acrossColumns, expected);
    EXPECT_GE(sideways, 0.85) << what << " does not show the picture placed sideways by " << expected.name;
    EXPECT_GE(upDown, 0.85) << what << " does not show the picture placed up and down by " << expected.name;
    for (const Placement& other : others) {
        const double otherSideways = MatchShare(view, points.acrossRows, other);
        const double otherUpDown = MatchShare(view, points.acrossColumns, other);
        EXPECT_LE(std::min(otherSideways, otherUpDown), 0.6)
            << what << " shows the picture as " << other.name << " would place it too (" << otherSideways
            << " sideways, " << otherUpDown << " up and down): the check tells nothing";
    }
}
}  // namespace

TEST(TwoDisplaysTest, TheWorldHasTwoDisplaysAndTwoAdapters)
{
    const std::vector<RECT> displays = Displays();
    ASSERT_EQ(displays.size(), 2u);
    EXPECT_EQ(displays[0].right - displays[0].left, 1280);
    EXPECT_EQ(displays[1].right - displays[1].left, 1024);
    EXPECT_EQ(displays[1].bottom - displays[1].top, 768);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    EXPECT_EQ(d3d->GetAdapterCount(), 2u);
    d3d->Release();
}

TEST(TwoDisplaysTest, FullScreenPlaysTheSceneOnEachDisplayAtItsSizeAndEndsOnAKey)
{
    const std::vector<RECT> displays = Displays();
    ASSERT_EQ(displays.size(), 2u);
    FullScreenRun run;
    ASSERT_EQ(run.Windows().size(), 2u);
    for (const RECT& display : displays) {
        bool covered = false;
        for (HWND window : run.Windows()) {
            RECT r;
            GetWindowRect(window, &r);
            covered = covered || SameRect(r, display);
        }
        EXPECT_TRUE(covered) << "no saver window covers the display at " << Describe(display);
    }
    for (size_t d = 0; d < displays.size(); ++d) {
        const DisplayViews views = ViewsOf(displays[d]);
        ExpectPlaying(views, "display " + std::to_string(d + 1));
        if (HasFailure())
            SaveScreenPixels(views.second, TestArtifactsDir() + "\\two-displays-" + std::to_string(d + 1) + ".bmp");
    }
    const ProcessResult r = run.EndWithAKey();
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
}

TEST(TwoDisplaysTest, ADisplayLeftBlackStaysBlackWhileTheOtherPlays)
{
    const std::vector<RECT> displays = Displays();
    ASSERT_EQ(displays.size(), 2u);
    StoredScreenValue leaveBlack(2, L"Leave Black", 1);
    FullScreenRun run;
    const DisplayViews first = ViewsOf(displays[0]);
    ExpectPlaying(first, "the playing display");
    const ScreenPixels second = CaptureScreenRect(displays[1]);
    EXPECT_TRUE(LooksBlack(second)) << "the display left black shows something";
    if (HasFailure()) {
        SaveScreenPixels(first.second, TestArtifactsDir() + "\\leave-black-1.bmp");
        SaveScreenPixels(second, TestArtifactsDir() + "\\leave-black-2.bmp");
    }
    const ProcessResult r = run.EndWithAKey();
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
}

TEST(TwoDisplaysTest, AStoredModeTheSecondAdapterLacksFallsBackToItsDesktopMode)
{
    const std::vector<RECT> displays = Displays();
    ASSERT_EQ(displays.size(), 2u);
    StoredScreenValue width(2, L"Width", 1234);
    StoredScreenValue height(2, L"Height", 567);
    StoredScreenValue format(2, L"Format", D3DFMT_X8R8G8B8);
    FullScreenRun run;
    ASSERT_EQ(run.Windows().size(), 2u);
    bool secondCovered = false;
    for (HWND window : run.Windows()) {
        RECT r;
        GetWindowRect(window, &r);
        secondCovered = secondCovered || SameRect(r, displays[1]);
    }
    EXPECT_TRUE(secondCovered) << "the second display is not played at its own size";
    ExpectPlaying(ViewsOf(displays[1]), "the second display");
    const ProcessResult r = run.EndWithAKey();
    EXPECT_EQ(r.exitCode, 0u) << r.output;
}

// The display dialog of the configuration lists both displays on tabs; the second display's mode
// and usage chosen there are stored under its own values, and the next full-screen run honours
// them.
TEST(TwoDisplaysTest, DisplayDialogStoresTheSecondDisplaysChoicesAndTheSaverHonoursThem)
{
    const std::vector<RECT> displays = Displays();
    ASSERT_EQ(displays.size(), 2u);
    const std::wstring screen2 = std::wstring(kSaverSettingsKey) + L"Screen 2";
    const std::wstring screen1 = std::wstring(kSaverSettingsKey) + L"Screen 1";
    RegDeleteTreeW(HKEY_CURRENT_USER, screen1.c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, screen2.c_str());
    {
        ProcessRunner configuration;
        ASSERT_TRUE(configuration.Start(Saver(), L"/c"));
        HWND config = WaitForDialog(configuration.ProcessId(), L"");
        ASSERT_NE(config, nullptr);
        PostMessageW(config, WM_COMMAND, 1006, 0);
        HWND dialog = WaitForDialog(configuration.ProcessId(), L"Display Settings");
        ASSERT_NE(dialog, nullptr);
        HWND tabs = GetDlgItem(dialog, kTabs);
        ASSERT_NE(tabs, nullptr);
        EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 2);

        DISPLAY_DEVICEW first = {}, second = {};
        first.cb = second.cb = sizeof(DISPLAY_DEVICEW);
        ASSERT_TRUE(EnumDisplayDevicesW(nullptr, 0, &first, 0));
        ASSERT_TRUE(EnumDisplayDevicesW(nullptr, 1, &second, 0));
        EXPECT_EQ(TextOf(GetDlgItem(dialog, kAdapterName)), first.DeviceString);

        // The second tab: the tab control tells the dialog itself.
        SendMessageW(tabs, TCM_SETCURFOCUS, 1, 0);
        EXPECT_TRUE(WaitFor([&] { return SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == 1; }, 5000));
        EXPECT_EQ(TextOf(GetDlgItem(dialog, kAdapterName)), second.DeviceString);
        HWND modes = GetDlgItem(dialog, kModeList);
        const std::wstring wanted = L"1024 by 768, 32 bit color";
        bool chosen = false;
        const int count = static_cast<int>(SendMessageW(modes, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count && !chosen; ++i) {
            SendMessageW(modes, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            if (AskedText(modes) == wanted) {
                SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kModeList, CBN_SELCHANGE),
                             reinterpret_cast<LPARAM>(modes));
                chosen = true;
            }
        }
        EXPECT_TRUE(chosen) << "the second display's modes lack " << std::string(wanted.begin(), wanted.end());
        SendMessageW(GetDlgItem(dialog, kShowNothing), BM_CLICK, 0, 0);

        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(dialog); }));
        PostMessageW(config, WM_COMMAND, IDOK, 0);
        const ProcessResult r = configuration.Wait(kRunTimeoutMs);
        EXPECT_FALSE(r.timedOut);
        EXPECT_EQ(r.exitCode, 0u) << r.output;
    }
    EXPECT_EQ(StoredValueOfScreen(2, L"Leave Black"), 1u);
    EXPECT_EQ(StoredValueOfScreen(2, L"Width"), 1024u);
    EXPECT_EQ(StoredValueOfScreen(2, L"Height"), 768u);
    EXPECT_EQ(StoredValueOfScreen(1, L"Leave Black"), 0u);

    {
        FullScreenRun run;
        ExpectPlaying(ViewsOf(displays[0]), "the first display");
        EXPECT_TRUE(LooksBlack(CaptureScreenRect(displays[1]))) << "the second display was set to show nothing";
        const ProcessResult r = run.EndWithAKey();
        EXPECT_EQ(r.exitCode, 0u) << r.output;
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, screen1.c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, screen2.c_str());
}

// The test window stays one window of 600 x 400 on the first display, whatever the number of
// displays.
TEST(TwoDisplaysTest, TestWindowStaysASingleWindow)
{
    ProcessRunner saver;
    ASSERT_TRUE(saver.Start(Saver(), L"/t"));
    HWND window = WaitForTopWindow(saver.ProcessId(), kSaverClass);
    ASSERT_NE(window, nullptr);
    Sleep(2000);
    EXPECT_EQ(TopWindows(saver.ProcessId(), kSaverClass).size(), 1u);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 600);
    EXPECT_EQ(client.bottom, 400);
    PostMessageW(window, WM_CLOSE, 0, 0);
    const ProcessResult r = saver.Wait(kRunTimeoutMs);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
}

// The preview stays one child window filling its parent, whatever the number of displays: no
// saver window of its own on either display.
TEST(TwoDisplaysTest, PreviewStaysOneChildOfItsParent)
{
    PreviewParent parentProgram;
    const HWND parent = parentProgram.Window();
    ASSERT_NE(parent, nullptr);

    ProcessRunner saver;
    ASSERT_TRUE(saver.Start(Saver(), parentProgram.PreviewMode()));
    HWND child = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (child = FindWindowExW(parent, nullptr, kSaverClass, nullptr)) != nullptr; }));
    Sleep(2000);
    EXPECT_EQ(WindowProcess(child), saver.ProcessId());
    EXPECT_EQ(FindWindowExW(parent, child, kSaverClass, nullptr), nullptr) << "a second preview window";
    EXPECT_TRUE(TopWindows(saver.ProcessId(), kSaverClass).empty()) << "a saver window outside the parent";
    RECT parentClient, childClient;
    GetClientRect(parent, &parentClient);
    GetClientRect(child, &childClient);
    EXPECT_EQ(childClient.right, parentClient.right);
    EXPECT_EQ(childClient.bottom, parentClient.bottom);

    PostMessageW(parent, WM_APP, 0, 0);
    const ProcessResult r = saver.Wait(kRunTimeoutMs);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
}

// The saver with a scene of two music tracks (a low 440 Hz and a high 660 Hz tone, taking turns)
// plays its music once on two displays: both tracks are heard in turn, and the temporary copies
// of the tracks are gone after the end.
TEST(TwoDisplaysTest, MusicPlaysWhileBothScenesRunAndItsCopiesGoAtTheEnd)
{
    ProcessRunner saver;
    ASSERT_TRUE(saver.Start(BuiltProgramPath(L"GlimmerSaverScene.scr"), L"/s"));
    ASSERT_NE(WaitForTopWindow(saver.ProcessId(), kSaverClass), nullptr);
    WaitFor([&] { return TopWindows(saver.ProcessId(), kSaverClass).size() >= 2; }, 10000);
    const std::vector<HWND> windows = TopWindows(saver.ProcessId(), kSaverClass);
    EXPECT_EQ(windows.size(), 2u);
    Sleep(kSceneStartMs);
    const std::vector<int16_t> samples = RecordSink(4.0);
    ASSERT_GT(samples.size(), static_cast<size_t>(kSampleRate));
    EXPECT_TRUE(HoldsTone(samples, 440.0)) << "the low track is not heard; rms " << Rms(samples);
    EXPECT_TRUE(HoldsTone(samples, 660.0)) << "the high track is not heard; rms " << Rms(samples);

    PostMessageW(windows.empty() ? nullptr : windows.front(), WM_KEYDOWN, VK_SPACE, 0);
    const ProcessResult r = saver.Wait(kRunTimeoutMs);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((std::wstring(folder) + L"glimmer_e2e_*").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "a track copy is left behind";
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
}

// Each display shows the landscape placed for its own size by the stored Fill position: the first
// (1280 x 1024, less wide for its height than the 4:3 picture) shows it scaled by 4/3 with a
// sixteenth of its width cut off at each side; the second (1024 x 768) shows it pixel for pixel.
TEST(TwoDisplaysTest, EachDisplayShowsThePicturePlacedForItsOwnSize)
{
    const std::vector<RECT> displays = Displays();
    ASSERT_EQ(displays.size(), 2u);
    ASSERT_EQ(Landscape().width, 1024u) << "the landscape picture did not decode";
    ASSERT_EQ(Landscape().height, 768u);
    SavedRegistryValue position(HKEY_CURRENT_USER, kSaverSettingsKey, L"\"PicPos\"");
    ASSERT_TRUE(position.SetDword(2));  // Fill
    FullScreenRun run;
    ASSERT_EQ(run.Windows().size(), 2u);
    for (size_t d = 0; d < displays.size(); ++d) {
        const RECT& own = displays[d];
        const RECT& other = displays[1 - d];
        const int width = own.right - own.left, height = own.bottom - own.top;
        const std::string what = "display " + std::to_string(d + 1);
        const DisplayViews views = ViewsOf(own);
        ExpectPlaying(views, what);
        std::vector<Placement> others = {
            FillPlacement(other.right - other.left, other.bottom - other.top, "Fill at the other display's size")};
        // Only a display whose aspect differs from the picture's tells Fill from Stretch.
        if (width * 3 != height * 4)
            others.push_back(StretchPlacement(width, height, "Stretch"));
        ExpectPlacedSo(views.second, FillPlacement(width, height, "Fill at its own size"), others, what);
        if (HasFailure())
            SaveScreenPixels(views.second, TestArtifactsDir() + "\\placed-" + std::to_string(d + 1) + ".bmp");
    }
    const ProcessResult r = run.EndWithAKey();
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
}

namespace {

// The levels of a tone: the RMS of each 46 ms block that is that tone alone (a block across a
// change of track holds less of it), in the order they were recorded.
std::vector<double> ToneLevels(const std::vector<int16_t>& samples, double frequency)
{
    const size_t n = 2048;
    std::vector<double> levels;
    for (size_t start = 0; start + n <= samples.size(); start += n) {
        const int16_t* block = samples.data() + start;
        const double rms = Rms(std::vector<int16_t>(block, block + n));
        if (rms >= 300.0 && ToneShare(block, n, frequency) > 0.9)
            levels.push_back(rms);
    }
    return levels;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct MusicLevels {
    std::vector<double> low, high;
};

// The levels of the two tracks' tones (440 and 660 Hz) while the scene saver runs in the mode,
// once its scenes have started.
MusicLevels RecordMusicOf(const wchar_t* mode, size_t windows)
{
    MusicLevels levels;
    ProcessRunner saver;
    EXPECT_TRUE(saver.Start(BuiltProgramPath(L"GlimmerSaverScene.scr"), mode));
    EXPECT_NE(WaitForTopWindow(saver.ProcessId(), kSaverClass), nullptr);
    WaitFor([&] { return TopWindows(saver.ProcessId(), kSaverClass).size() >= windows; }, 10000);
    const std::vector<HWND> found = TopWindows(saver.ProcessId(), kSaverClass);
    EXPECT_EQ(found.size(), windows);
    Sleep(kSceneStartMs);
    const std::vector<int16_t> samples = RecordSink(4.0);
    EXPECT_GT(samples.size(), static_cast<size_t>(kSampleRate));
    levels.low = ToneLevels(samples, 440.0);
    levels.high = ToneLevels(samples, 660.0);
    if (windows == 1)
        PostMessageW(found.empty() ? nullptr : found.front(), WM_CLOSE, 0, 0);
    else
        PostMessageW(found.empty() ? nullptr : found.front(), WM_KEYDOWN, VK_SPACE, 0);
    const ProcessResult r = saver.Wait(kRunTimeoutMs);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    return levels;
}

double Decibels(double level, double reference) { return 20.0 * std::log10(std::max(level, 1e-6) / reference); }

// Every block of the tone lies within a small step of the reference level.
void ExpectEveryBlockAt(const std::vector<double>& levels, double reference, const char* tone)
{
    ASSERT_FALSE(levels.empty()) << "the " << tone << " track is not heard with two displays";
    for (double level : levels)
        EXPECT_NEAR(Decibels(level, reference), 0.0, 0.5) << "the " << tone << " track: " << level << " against "
                                                          << reference;
}

}  // namespace

// The music is heard once, not once per display: every block of each tone comes out at the level
// at which the test window, which plays the scene once, gives it; one source plays each instance
// of a track at the same level, to a tenth of a decibel. A second graph playing the same tracks
// would add a copy of each tone: 6 dB louder in step, otherwise louder or quieter by the phase
// between the copies, which differs between the tones and from one start of a track to the next.
// The volume keeps two copies below full scale, so that a doubled tone is not clipped back to
// one's level.
TEST(TwoDisplaysTest, MusicIsHeardOnceNotOncePerDisplay)
{
    SavedRegistryValue volume(HKEY_CURRENT_USER, kSaverSettingsKey, L"\"SoundVolume\"");
    SavedRegistryValue mute(HKEY_CURRENT_USER, kSaverSettingsKey, L"\"MuteSound\"");
    ASSERT_TRUE(volume.SetDword(80));
    ASSERT_TRUE(mute.SetDword(0));
    const MusicLevels once = RecordMusicOf(L"/t", 1);
    const double low = Median(once.low), high = Median(once.high);
    ASSERT_GT(low, 300.0) << "the test window's music: the low track is not heard";
    ASSERT_GT(high, 300.0) << "the test window's music: the high track is not heard";
    const MusicLevels both = RecordMusicOf(L"/s", 2);
    ExpectEveryBlockAt(both.low, low, "low");
    ExpectEveryBlockAt(both.high, high, "high");
}

namespace {

DISPLAY_DEVICEW DisplayDevice(DWORD number)
{
    DISPLAY_DEVICEW device = {};
    device.cb = sizeof(device);
    EnumDisplayDevicesW(nullptr, number, &device, 0);
    return device;
}

// The entries of a drop-down list of another process, each asked of the list.
std::vector<std::wstring> ListEntries(HWND list)
{
    std::vector<std::wstring> entries;
    const int count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const int length = static_cast<int>(SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0));
        std::wstring text(length > 0 ? static_cast<size_t>(length) : 0u, L'\0');
        if (length > 0)
            SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
        entries.push_back(text);
    }
    return entries;
}

}  // namespace

// The second display offers two modes, its desktop's 1024 x 768 and 800 x 600. Chosen in the
// display dialog, 800 x 600 is stored as the second display's mode, and the next full-screen run
// switches that display to it and shows the picture placed for 800 x 600 there; the end of the
// run gives the display its desktop mode back.
TEST(TwoDisplaysTest, DisplayDialogChoosesTheSecondDisplaysOtherModeAndTheNextRunUsesIt)
{
    const std::vector<RECT> displays = Displays();
    ASSERT_EQ(displays.size(), 2u);
    ASSERT_EQ(Landscape().width, 1024u) << "the landscape picture did not decode";
    ASSERT_EQ(SizeOf(displays[1]), "1024 x 768");
    const DISPLAY_DEVICEW second = DisplayDevice(1);
    const std::wstring screen1 = std::wstring(kSaverSettingsKey) + L"Screen 1";
    const std::wstring screen2 = std::wstring(kSaverSettingsKey) + L"Screen 2";
    RegDeleteTreeW(HKEY_CURRENT_USER, screen1.c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, screen2.c_str());
    SavedRegistryValue position(HKEY_CURRENT_USER, kSaverSettingsKey, L"\"PicPos\"");
    ASSERT_TRUE(position.SetDword(2));  // Fill
    {
        ProcessRunner configuration;
        ASSERT_TRUE(configuration.Start(Saver(), L"/c"));
        HWND config = WaitForDialog(configuration.ProcessId(), L"");
        ASSERT_NE(config, nullptr);
        PostMessageW(config, WM_COMMAND, 1006, 0);
        HWND dialog = WaitForDialog(configuration.ProcessId(), L"Display Settings");
        ASSERT_NE(dialog, nullptr);
        HWND tabs = GetDlgItem(dialog, kTabs);
        ASSERT_NE(tabs, nullptr);
        SendMessageW(tabs, TCM_SETCURFOCUS, 1, 0);
        EXPECT_TRUE(WaitFor([&] { return SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == 1; }, 5000));
        EXPECT_EQ(TextOf(GetDlgItem(dialog, kAdapterName)), second.DeviceString);
        HWND modes = GetDlgItem(dialog, kModeList);
        const std::vector<std::wstring> entries = ListEntries(modes);
        ASSERT_FALSE(entries.empty());
        EXPECT_EQ(entries.front(), L"Automatic");
        EXPECT_NE(std::find(entries.begin(), entries.end(), L"1024 by 768, 32 bit color"), entries.end())
            << "the second display's desktop mode is not offered";
        const auto chosen = std::find(entries.begin(), entries.end(), L"800 by 600, 32 bit color");
        ASSERT_NE(chosen, entries.end());
        SendMessageW(modes, CB_SETCURSEL, static_cast<WPARAM>(chosen - entries.begin()), 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kModeList, CBN_SELCHANGE), reinterpret_cast<LPARAM>(modes));
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(dialog); }));
        PostMessageW(config, WM_COMMAND, IDOK, 0);
        const ProcessResult r = configuration.Wait(kRunTimeoutMs);
        EXPECT_FALSE(r.timedOut);
        EXPECT_EQ(r.exitCode, 0u) << r.output;
    }
    EXPECT_EQ(StoredValueOfScreen(2, L"Width"), 800u);
    EXPECT_EQ(StoredValueOfScreen(2, L"Height"), 600u);
    EXPECT_EQ(StoredValueOfScreen(2, L"Format"), static_cast<DWORD>(D3DFMT_X8R8G8B8));
    EXPECT_EQ(StoredValueOfScreen(2, L"Leave Black"), 0u);
    EXPECT_EQ(StoredValueOfScreen(1, L"Width"), 0u) << "the first display's mode stays automatic";

    {
        FullScreenRun run;
        const std::vector<RECT> during = Displays();
        ASSERT_EQ(during.size(), 2u);
        EXPECT_EQ(SizeOf(during[0]), "1280 x 1024");
        ASSERT_EQ(SizeOf(during[1]), "800 x 600") << "the second display is not in the chosen mode";
        bool covered = false;
        for (HWND window : run.Windows()) {
            RECT r;
            GetWindowRect(window, &r);
            covered = covered || SameRect(r, during[1]);
        }
        EXPECT_TRUE(covered) << "no saver window covers the second display at " << Describe(during[1]);
        const DisplayViews views = ViewsOf(during[1]);
        ExpectPlaying(views, "the second display in 800 x 600");
        ExpectPlacedSo(views.second, FillPlacement(800, 600, "Fill at 800 x 600"),
                       {FillPlacement(1024, 768, "Fill at the desktop's 1024 x 768")}, "the second display");
        if (HasFailure())
            SaveScreenPixels(views.second, TestArtifactsDir() + "\\second-display-800x600.bmp");
        const ProcessResult r = run.EndWithAKey();
        EXPECT_EQ(r.exitCode, 0u) << r.output;
    }
    // The tests after this one need the desktop mode back.
    EXPECT_TRUE(WaitFor([] { return Displays().size() == 2 && SizeOf(Displays()[1]) == "1024 x 768"; }, 10000))
        << "the second display did not get its desktop mode back";
    RegDeleteTreeW(HKEY_CURRENT_USER, screen1.c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, screen2.c_str());
}
