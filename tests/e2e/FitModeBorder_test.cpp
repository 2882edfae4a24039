// The stored Fit position leaves margins beside a picture whose aspect differs from the window's;
// the camera's border picture fills them. Documents that leave the border picture at its default,
// played in copies of the real saver, must show the resource module's border picture there, and
// the colour the layer clears to must show nowhere.
#include "support/ProcessRunner.h"
#include "support/SavedRegistryValue.h"
#include "support/SaverCopy.h"
#include "support/SaverWindows.h"
#include "support/ScreenChecks.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

namespace {

const DWORD kFit = 1;

int Red(uint32_t p) { return (p >> 16) & 0xFF; }
int Green(uint32_t p) { return (p >> 8) & 0xFF; }
int Blue(uint32_t p) { return p & 0xFF; }

// A range of levels per channel, 0..255.
struct ColourRange {
    int low[3];
    int high[3];

    bool Holds(uint32_t p) const
    {
        const int levels[3] = {Red(p), Green(p), Blue(p)};
        for (int c = 0; c < 3; ++c)
            if (levels[c] < low[c] || levels[c] > high[c])
                return false;
        return true;
    }
};

// The levels a channel takes when the picture tool shades it between low and high (0..1 of full
// scale), widened by a few levels for filtering and the screen's rounding.
ColourRange Shaded(const float low[3], const float high[3])
{
    const int slack = 3;
    ColourRange range;
    for (int c = 0; c < 3; ++c) {
        range.low[c] = static_cast<int>(std::floor(low[c] * 255.0f)) - slack;
        range.high[c] = static_cast<int>(std::ceil(high[c] * 255.0f)) + slack;
    }
    return range;
}

// The module's border picture (6) as the picture tool shades it: almost black brown whose bands
// run from red 0.08, green 0.06, blue 0.05 to red 0.14, green 0.10, blue 0.07.
ColourRange BorderPictureColours()
{
    const float darkest[3] = {0.08f, 0.06f, 0.05f};
    const float lightest[3] = {0.14f, 0.10f, 0.07f};
    return Shaded(darkest, lightest);
}

// The module's layer picture (5) at its top edge: the picture tool's evening sky starts there at
// red 0.16, green 0.26, blue 0.58 and lightens only further down.
ColourRange DefaultPictureSkyColours()
{
    const float sky[3] = {0.16f, 0.26f, 0.58f};
    const float lower[3] = {0.18f, 0.28f, 0.58f};
    return Shaded(sky, lower);
}

ColourRange RedPictureColours()
{
    const float red[3] = {0.9f, 0.0f, 0.0f};
    const float full[3] = {1.0f, 0.1f, 0.1f};
    return Shaded(red, full);
}

struct BorderCase {
    const char* document;  // tests/e2e/documents/<document>.lst
    int pictureWidth, pictureHeight;
    // What the top rows of the picture show, in the picture's left half.
    ColourRange (*pictureTop)();
};

const BorderCase kCases[] = {
    // A version-1 layer: the default picture and the default border, both from the module.
    {"FitBorderDefaults", 800, 600, DefaultPictureSkyColours},
    // A version-1 camera: an embedded picture, the border left at its default.
    {"FitBorderCameraVersion1", 8, 8, RedPictureColours},
    // The border linked to the module by id, as the authoring tool writes it, not embedded.
    {"FitBorderModuleLink", 8, 8, RedPictureColours},
};

void PrintTo(const BorderCase& c, std::ostream* out) { *out << c.document; }

// The pixels of a rectangle outside a range, and the first of them.
struct Outside {
    int count = 0;
    int total = 0;
    POINT first = {-1, -1};
    uint32_t firstColour = 0;
};

Outside PixelsOutside(const ScreenPixels& shot, const RECT& r, const ColourRange& range)
{
    Outside found;
    for (int y = std::max(0L, r.top); y < std::min<long>(r.bottom, shot.height); ++y)
        for (int x = std::max(0L, r.left); x < std::min<long>(r.right, shot.width); ++x) {
            ++found.total;
            const uint32_t p = shot.At(x, y);
            if (range.Holds(p))
                continue;
            if (found.count++ == 0) {
                found.first = POINT{x, y};
                found.firstColour = p;
            }
        }
    return found;
}

std::string Describe(const char* what, const Outside& found)
{
    char text[200];
    std::snprintf(text, sizeof(text), "%s: %d of %d pixels outside the colours, the first at (%ld, %ld) %06X",
                  what, found.count, found.total, found.first.x, found.first.y, found.firstColour);
    return text;
}

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

class FitModeBorderTest : public testing::TestWithParam<BorderCase> {
protected:
    void SetUp() override { ASSERT_TRUE(m_picturePosition.SetDword(kFit)); }

    SavedRegistryValue m_picturePosition{HKEY_CURRENT_USER, kSaverSettingsKey, L"\"PicPos\""};
};

TEST_P(FitModeBorderTest, MarginsShowTheModulesBorderPictureAndNoClearColour)
{
    const BorderCase& c = GetParam();
    const std::vector<uint8_t> document = AssembledTestDocument(Widen(c.document) + L".bin");
    ASSERT_FALSE(document.empty()) << c.document;
    std::string why;
    const std::wstring program = MakeSaverCopyPlaying(
        document, BuiltProgramPath(L"tests\\e2e\\savers"), Widen(c.document) + L".scr", &why);
    ASSERT_FALSE(program.empty()) << why;

    ProcessRunner runner;
    ASSERT_TRUE(runner.Start(program, L"/t"));
    HWND window = WaitForTopWindow(runner.ProcessId(), kSaverClass);
    ASSERT_NE(window, nullptr);

    // The fitted picture fills the window's height, centred; the margins lie left and right.
    RECT client = {};
    GetClientRect(window, &client);
    const int width = client.right, height = client.bottom;
    ASSERT_GT(width * c.pictureHeight, height * c.pictureWidth)
        << "the window must be wider than the picture for margins at the sides";
    const int fittedWidth = height * c.pictureWidth / c.pictureHeight;
    const int left = (width - fittedWidth) / 2, right = left + fittedWidth;
    // A pixel of slack where the picture meets each margin.
    const RECT pictureTop = {left + 2, 2, left + fittedWidth / 2, 8};
    const RECT margins[] = {{0, 0, left - 1, height}, {right + 1, 0, width, height}};

    // The scene follows the splash; the picture's top rows tell that it shows.
    ScreenPixels shot;
    const bool shown = WaitFor([&] {
        shot = CaptureClientArea(window);
        return !LooksLikeSplash(shot) && PixelsOutside(shot, pictureTop, c.pictureTop()).count == 0;
    });
    EXPECT_TRUE(shown) << Describe("top of the picture", PixelsOutside(shot, pictureTop, c.pictureTop()));
    if (shown) {
        // A frame later every part of the frame has been drawn.
        Sleep(500);
        shot = CaptureClientArea(window);
        ASSERT_EQ(shot.width, width);
        ASSERT_EQ(shot.height, height);
        bool fine = true;
        for (const RECT& margin : margins) {
            const Outside outside = PixelsOutside(shot, margin, BorderPictureColours());
            EXPECT_GT(outside.total, 0);
            EXPECT_EQ(outside.count, 0) << Describe("margin", outside);
            fine = fine && outside.total > 0 && outside.count == 0;
        }
        POINT first;
        const int clearColour = ClearColourPixels(shot, &first);
        EXPECT_EQ(clearColour, 0) << "the clear colour shows, first at (" << first.x << ", " << first.y << ")";
        if (!fine || clearColour != 0)
            SaveScreenPixels(shot, TestArtifactsDir() + "\\fit-border-" + c.document + ".bmp");
    }

    PostMessageW(window, WM_CLOSE, 0, 0);
    const ProcessResult r = runner.Wait(kRunTimeoutMs);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    DeleteFileW(program.c_str());
}

std::string CaseName(const testing::TestParamInfo<BorderCase>& info) { return info.param.document; }

INSTANTIATE_TEST_SUITE_P(Documents, FitModeBorderTest, testing::ValuesIn(kCases), CaseName);

}  // namespace
