// Every gallery document (tests/gallery/*.lst) played in the real saver: a copy of the built
// saver carries the document as its scene and shows it in its test window (/t). The document's
// first line says whether its class moves ("# gallery: moves") or stands still
// ("# gallery: still"); two views a second apart must agree with it, and neither may show the
// colour the layer clears to, which only shows where nothing was drawn. A still document's second
// line says where its class draws ("# gallery: draws LEFT TOP RIGHT BOTTOM" in pixels of the
// 1024 x 768 landscape, or "# gallery: draws nowhere"): there its view must differ from the bare
// base layer's, and everywhere else be the same.
//
// The documents are played before the first judgement, several at a time: the first alone
// where the saver opens its window, the others moved beside that place into as many
// non-overlapping places as the screen holds. Each test then judges one document's run.
#include "support/GalleryDocuments.h"
#include "support/ProcessRunner.h"
#include "support/SaverCopy.h"
#include "support/SaverWindows.h"
#include "support/ScreenChecks.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "model/ClassReaderRegistries.h"

namespace {

const wchar_t kDialogClass[] = L"#32770";
const unsigned kSceneTimeoutMs = 30000;
const unsigned kExitTimeoutMs = 30000;
// Views of the scene: the first a little after its first frame, the second a second later.
const unsigned kSettleMs = 500;
const unsigned kBetweenViewsMs = 1000;
// Changed pixels between the two views, as a share of the window.
const double kMovesAtLeast = 0.002;
const double kStillAtMost = 0.0005;
// Brightness levels between the darkest and brightest twentieth of a view that is not flat.
const int kSpreadAtLeast = 32;

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring GalleryFolder() { return BuiltProgramPath(L"tests\\gallery"); }

// The listing's first lines, without line ends; empty lines where the listing is shorter.
std::vector<std::string> FirstLinesOf(const std::string& name, size_t count)
{
    const std::wstring path = GalleryFolder() + L"\\" + Widen(name) + L".lst";
    std::ifstream in(std::string(path.begin(), path.end()));
    std::vector<std::string> lines(count);
    for (std::string& line : lines) {
        std::getline(in, line);
        line.erase(line.find_last_not_of("\r") + 1);
    }
    return lines;
}

std::string FirstLineOf(const std::string& name) { return FirstLinesOf(name, 1)[0]; }

enum class Motion { kMoves, kStill, kUndeclared };

Motion DeclaredMotion(const std::string& firstLine)
{
    if (firstLine == "# gallery: moves")
        return Motion::kMoves;
    if (firstLine == "# gallery: still")
        return Motion::kStill;
    return Motion::kUndeclared;
}

// The bare base layer: the landscape that every other document shows its class on.
const char kBaseLayerDocument[] = "Vo_2D_Light";
// The landscape's size in pixels; a document's drawing area is given in these.
const int kLandscapeWidth = 1024, kLandscapeHeight = 768;
// Changed pixels against the base layer's view: at least this share of the drawing area (far
// below what any class draws there, far above a view that shows the bare landscape), and at most
// the still share everywhere else. The area grows by a few window pixels before the outside is
// judged, for the filtered edges of what the class draws.
const double kDrawsAtLeast = 0.05;
const int kAreaMarginPixels = 3;

// Where a still document's class draws, from the listing's second line.
struct DrawingArea {
    enum Kind { kUndeclared, kNowhere, kRectangle } kind = kUndeclared;
    RECT landscape = {};  // in landscape pixels, for kRectangle
};

DrawingArea DeclaredDrawingArea(const std::string& secondLine)
{
    DrawingArea area;
    if (secondLine == "# gallery: draws nowhere") {
        area.kind = DrawingArea::kNowhere;
        return area;
    }
    long left, top, right, bottom;
    char rest;
    if (std::sscanf(secondLine.c_str(), "# gallery: draws %ld %ld %ld %ld %c", &left, &top, &right, &bottom,
                    &rest) == 4 &&
        0 <= left && left < right && right <= kLandscapeWidth && 0 <= top && top < bottom &&
        bottom <= kLandscapeHeight) {
        area.kind = DrawingArea::kRectangle;
        area.landscape = RECT{left, top, right, bottom};
    }
    return area;
}

// The landscape's rectangle in a view: the base layer stretches the landscape over the whole
// window.
RECT InView(const RECT& landscape, const ScreenPixels& view, int margin)
{
    return RECT{std::max(0L, landscape.left * view.width / kLandscapeWidth - margin),
                std::max(0L, landscape.top * view.height / kLandscapeHeight - margin),
                std::min<long>(view.width, (landscape.right * view.width + kLandscapeWidth - 1) / kLandscapeWidth + margin),
                std::min<long>(view.height, (landscape.bottom * view.height + kLandscapeHeight - 1) / kLandscapeHeight + margin)};
}

// What one run of the saver showed.
struct GalleryRun {
    std::string failure;  // the step the run did not get past; empty when it got through
    bool errorShown = false;
    ScreenPixels first, second;
    ProcessResult result;
};

bool DialogOpen(DWORD pid) { return !TopWindows(pid, kDialogClass).empty(); }

// Plays one saver copy in its test window, moved to topLeft when one is given, and reports the
// window's place on the screen as it opened. Returns once the window has closed; the process
// may still be ending, and runner.Wait gives its exit.
GalleryRun PlayOne(const std::wstring& program, const POINT* topLeft, RECT* openedAt,
                   ProcessRunner& runner)
{
    GalleryRun run;
    if (!runner.Start(program, L"/t")) {
        run.failure = "the saver did not start";
        return run;
    }
    const DWORD pid = runner.ProcessId();
    HWND window = WaitForTopWindow(pid, kSaverClass);
    if (!window) {
        run.failure = "the saver opened no test window";
        run.errorShown = DialogOpen(pid);
        return run;
    }
    if (openedAt)
        GetWindowRect(window, openedAt);
    if (topLeft)
        SetWindowPos(window, nullptr, topLeft->x, topLeft->y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    // The scene follows the splash; until the first frame the window may still be black.
    ScreenPixels view;
    const bool shown = WaitFor(
        [&] {
            view = CaptureClientArea(window);
            return !LooksLikeSplash(view) && !LooksBlack(view);
        },
        kSceneTimeoutMs);
    if (shown) {
        Sleep(kSettleMs);
        run.first = CaptureClientArea(window);
        Sleep(kBetweenViewsMs);
        run.second = CaptureClientArea(window);
        run.errorShown = ShowsErrorBox(run.first) || ShowsErrorBox(run.second);
    } else {
        run.failure = "no scene after the splash";
        run.first = view;
    }
    run.errorShown = run.errorShown || DialogOpen(pid);
    PostMessageW(window, WM_CLOSE, 0, 0);
    // The next saver may take this place once the window has gone.
    if (!WaitFor([&] { return !IsWindow(window); }, kExitTimeoutMs) && run.failure.empty())
        run.failure = "the test window did not close";
    return run;
}

// Places of the size of a window opened at openedAt that lie on the screen and keep clear of
// that place and of each other, from the bottom right corner on.
std::vector<POINT> PlacesBeside(const RECT& openedAt)
{
    const int width = openedAt.right - openedAt.left, height = openedAt.bottom - openedAt.top;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    std::vector<POINT> places;
    if (width <= 0 || height <= 0)
        return places;
    for (int y = screenHeight - height; y >= 0; y -= height)
        for (int x = screenWidth - width; x >= 0; x -= width) {
            const RECT place = {x, y, x + width, y + height};
            RECT overlap;
            if (!IntersectRect(&overlap, &place, &openedAt))
                places.push_back(POINT{x, y});
        }
    return places;
}

// Documents at a time at most; VO_GALLERY_PLAYERS sets fewer (1 plays one after the other).
size_t PlayersWanted(size_t places)
{
    wchar_t text[16] = {};
    if (GetEnvironmentVariableW(L"VO_GALLERY_PLAYERS", text, 16) > 0)
        return std::max<size_t>(1, std::min<size_t>(places, _wtoi(text)));
    return std::max<size_t>(1, places);
}

// The saver copies live in a folder of their own, beside a copy of the resource module.
std::wstring SaverFolder()
{
    wchar_t text[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"VO_GALLERY_SAVERS", text, MAX_PATH) > 0)
        return text;
    return GalleryFolder() + L"\\savers";
}

// Plays every document that this run's filter selects, once, on first use.
class GalleryPlays {
public:
    static const GalleryRun& Of(const std::string& name)
    {
        static GalleryPlays plays;
        return plays.m_runs[name];
    }

private:
    GalleryPlays()
    {
        std::vector<std::string> names;
        bool stillSelected = false, baseSelected = false;
        for (const std::string& name : GalleryDocumentNames())
            if (Selected(name)) {
                names.push_back(name);
                stillSelected = stillSelected || DeclaredMotion(FirstLineOf(name)) == Motion::kStill;
                baseSelected = baseSelected || name == kBaseLayerDocument;
            }
        // A still document's view is judged against the base layer's.
        if (stillSelected && !baseSelected)
            names.push_back(kBaseLayerDocument);
        if (names.empty())
            return;

        const ULONGLONG start = GetTickCount64();
        RECT openedAt = {};
        {
            Turn first;
            Play(names[0], nullptr, &openedAt, first);
            End(first);
        }
        const std::vector<POINT> places = PlacesBeside(openedAt);
        const size_t playerCount = std::min(PlayersWanted(places.size()), places.size());
        std::atomic<size_t> next{1};
        // A player takes the next document as soon as the window has closed, and waits for the
        // saver's exit after its next document has played.
        const auto player = [&](const POINT* place) {
            Turn ending;
            for (size_t i; (i = next++) < names.size();) {
                Turn turn;
                Play(names[i], place, nullptr, turn);
                End(ending);
                ending = std::move(turn);
            }
            End(ending);
        };
        std::vector<std::thread> players;
        for (size_t p = 0; p < playerCount; ++p)
            players.emplace_back(player, &places[p]);
        // Without a place beside the first, the rest play one after the other where it played.
        if (players.empty())
            player(nullptr);
        for (std::thread& p : players)
            p.join();
        std::printf("Played %zu gallery documents in %.1f s, %zu at a time after the first.\n",
                    names.size(), (GetTickCount64() - start) / 1000.0, std::max<size_t>(1, playerCount));
    }

    // One document's saver copy and process. The copy is made when the document's turn comes
    // and deleted once the saver has ended: each is as large as the saver.
    struct Turn {
        std::string name;
        std::wstring program;
        std::unique_ptr<ProcessRunner> runner;
    };

    void Play(const std::string& name, const POINT* place, RECT* openedAt, Turn& turn)
    {
        std::string why;
        const std::vector<uint8_t> document = GalleryDocumentBytes(name);
        turn.name = name;
        turn.program = MakeSaverCopyPlaying(document, SaverFolder(), Widen(name) + L".scr", &why);
        turn.runner = std::make_unique<ProcessRunner>();
        GalleryRun run;
        if (turn.program.empty())
            run.failure = "no saver copy: " + why;
        else
            run = PlayOne(turn.program, place, openedAt, *turn.runner);
        std::lock_guard<std::mutex> hold(m_lock);
        m_runs[name] = std::move(run);
    }

    void End(Turn& turn)
    {
        if (!turn.runner)
            return;
        ProcessResult result = turn.runner->Wait(kExitTimeoutMs);
        turn.runner.reset();
        if (!turn.program.empty())
            DeleteFileW(turn.program.c_str());
        std::lock_guard<std::mutex> hold(m_lock);
        m_runs[turn.name].result = std::move(result);
    }

    static bool Selected(const std::string& name)
    {
        const testing::UnitTest& tests = *testing::UnitTest::GetInstance();
        for (int s = 0; s < tests.total_test_suite_count(); ++s) {
            const testing::TestSuite& suite = *tests.GetTestSuite(s);
            for (int t = 0; t < suite.total_test_count(); ++t) {
                const testing::TestInfo& test = *suite.GetTestInfo(t);
                if (test.should_run() && test.value_param() &&
                    std::string(test.name()) == "PlaysInTheSaver/" + DocumentTestName(name))
                    return true;
            }
        }
        return false;
    }

    std::mutex m_lock;
    std::map<std::string, GalleryRun> m_runs;
};

std::string Percent(double share)
{
    std::ostringstream out;
    out << share * 100 << " %";
    return out.str();
}

// Where a person can look at what the saver showed: the test artifacts folder on a failure, and
// the folder VO_GALLERY_SHOTS names (scripts/gallery's contact sheet) always.
void KeepViews(const std::string& name, const GalleryRun& run, bool failed)
{
    if (failed) {
        SaveScreenPixels(run.first, TestArtifactsDir() + "\\gallery-" + name + "-1.bmp");
        SaveScreenPixels(run.second, TestArtifactsDir() + "\\gallery-" + name + "-2.bmp");
    }
    char shots[MAX_PATH] = {};
    if (GetEnvironmentVariableA("VO_GALLERY_SHOTS", shots, MAX_PATH) > 0 && !run.second.pixels.empty())
        SaveScreenPixels(run.second, std::string(shots) + "\\" + name + ".bmp");
}

// A still document's view against the base layer's: different where its class draws, the same
// everywhere else. Returns false when a check failed.
bool DrawsOnlyWhereDeclared(const std::string& name, const GalleryRun& run)
{
    const DrawingArea area = DeclaredDrawingArea(FirstLinesOf(name, 2)[1]);
    EXPECT_NE(area.kind, DrawingArea::kUndeclared)
        << name << ".lst must say on its second line where its class draws: \"# gallery: draws LEFT TOP "
           "RIGHT BOTTOM\" in landscape pixels, or \"# gallery: draws nowhere\"";
    if (area.kind == DrawingArea::kUndeclared)
        return false;
    const GalleryRun& base = GalleryPlays::Of(kBaseLayerDocument);
    EXPECT_FALSE(base.first.pixels.empty()) << "the base layer's document showed no view to compare with";
    if (!run.failure.empty() || base.first.pixels.empty())
        return false;
    if (base.first.width != run.first.width || base.first.height != run.first.height) {
        ADD_FAILURE() << "the view is " << run.first.width << " x " << run.first.height
                      << ", the base layer's " << base.first.width << " x " << base.first.height;
        return false;
    }
    bool good = true;
    RECT outside = {};  // nothing to leave out for a class that draws nowhere
    if (area.kind == DrawingArea::kRectangle) {
        const double inside = ChangedShare(base.first, run.first, InView(area.landscape, run.first, 0));
        EXPECT_GE(inside, kDrawsAtLeast) << "the class drew nothing where it says it draws: changed "
                                         << Percent(inside) << " against the base layer";
        good = inside >= kDrawsAtLeast;
        outside = InView(area.landscape, run.first, kAreaMarginPixels);
    }
    const double elsewhere = ChangedShareOutside(base.first, run.first, outside);
    std::printf("%s against the base layer: %s changed where the class draws, %s elsewhere\n", name.c_str(),
                area.kind == DrawingArea::kRectangle
                    ? Percent(ChangedShare(base.first, run.first, InView(area.landscape, run.first, 0))).c_str()
                    : "nothing",
                Percent(elsewhere).c_str());
    EXPECT_LT(elsewhere, kStillAtMost) << "the view differs from the base layer's where the class does not "
                                          "draw: changed " << Percent(elsewhere);
    if (!good || elsewhere >= kStillAtMost)
        SaveScreenPixels(base.first, TestArtifactsDir() + "\\gallery-" + name + "-base.bmp");
    return good && elsewhere < kStillAtMost;
}

class GalleryTest : public testing::TestWithParam<std::string> {};

TEST_P(GalleryTest, PlaysInTheSaver)
{
    const std::string& name = GetParam();
    const Motion motion = DeclaredMotion(FirstLineOf(name));
    ASSERT_NE(motion, Motion::kUndeclared)
        << name << ".lst must start with the line \"# gallery: moves\" or \"# gallery: still\"";

    const GalleryRun& run = GalleryPlays::Of(name);
    bool failed = !run.failure.empty() || run.errorShown;
    EXPECT_EQ(run.failure, "");
    EXPECT_FALSE(run.errorShown) << "the saver shows its error box";
    EXPECT_TRUE(run.result.started);
    EXPECT_FALSE(run.result.timedOut) << "the saver did not end after WM_CLOSE";
    EXPECT_EQ(run.result.exitCode, 0u) << run.result.output;
    failed = failed || run.result.timedOut || run.result.exitCode != 0;
    if (run.failure.empty()) {
        const int spread = BrightnessSpread(run.first);
        EXPECT_GE(spread, kSpreadAtLeast) << "the view is flat";
        const double changed = ChangedShare(run.first, run.second);
        if (motion == Motion::kMoves)
            EXPECT_GT(changed, kMovesAtLeast) << "declared moving, changed " << Percent(changed);
        else
            EXPECT_LT(changed, kStillAtMost) << "declared still, changed " << Percent(changed);
        failed = failed || spread < kSpreadAtLeast ||
                 (motion == Motion::kMoves ? changed <= kMovesAtLeast : changed >= kStillAtMost);
        for (const ScreenPixels* view : {&run.first, &run.second}) {
            POINT first;
            const int clearColour = ClearColourPixels(*view, &first);
            EXPECT_LE(clearColour, kStrayClearColourPixels)
                << "the clear colour shows in " << clearColour << " pixels of view "
                << (view == &run.first ? 1 : 2) << ", the first at (" << first.x << ", " << first.y << ")";
            failed = failed || clearColour > kStrayClearColourPixels;
        }
    }
    if (motion == Motion::kStill && name != kBaseLayerDocument)
        failed = !DrawsOnlyWhereDeclared(name, run) || failed;
    KeepViews(name, run, failed);
}

INSTANTIATE_TEST_SUITE_P(Gallery, GalleryTest, testing::ValuesIn(GalleryDocumentNames()), DocumentParamName);

TEST(GalleryListTest, TheBuildFoundTheGalleryDocuments)
{
    const std::vector<std::string> names = GalleryDocumentNames();
    EXPECT_FALSE(names.empty());
    for (const std::string& name : names)
        EXPECT_FALSE(GalleryDocumentBytes(name).empty()) << name;
}

// Every class that documents can name has its document <ClassName>.lst here; the slide container
// is aside, as every document holds one.
TEST(GalleryListTest, EveryRegisteredClassHasAGalleryDocument)
{
    const std::vector<std::string> names = GalleryDocumentNames();
    const std::set<std::string> documents(names.begin(), names.end());
    std::vector<std::string> classes;
    for (const auto& entry : GetLightReaderRegistry())
        classes.emplace_back(entry.first.begin(), entry.first.end());
    for (const auto& entry : GetConstructorReaderRegistry())
        classes.emplace_back(entry.first.begin(), entry.first.end());
    for (const auto& entry : GetSlideReaderRegistry())
        if (entry.first != L"Vo_SlideContainer")
            classes.emplace_back(entry.first.begin(), entry.first.end());
    // The program links every scene folder, so the registries hold every class: a program that
    // registered none would find nothing missing.
    ASSERT_GE(classes.size(), 40u) << "the registries hold too few classes";
    for (const std::string& name : classes)
        EXPECT_EQ(documents.count(name), 1u) << "the class " << name << " has no gallery document "
                                             << name << ".lst";
}

// Where the text first stands in a document, which stores strings as UTF-16; npos when nowhere.
size_t FindStoredText(const std::vector<uint8_t>& document, const std::string& text)
{
    std::vector<uint8_t> stored;
    for (char c : text) {
        stored.push_back(static_cast<uint8_t>(c));
        stored.push_back(0);
    }
    const auto at = std::search(document.begin(), document.end(), stored.begin(), stored.end());
    return at == document.end() ? std::string::npos : static_cast<size_t>(at - document.begin());
}

// The document up to the record of its resource store: the string's four bytes of length stand
// before the name. Empty when the store's record is not found.
std::vector<uint8_t> WithoutResourceStore(const std::vector<uint8_t>& document)
{
    const size_t at = FindStoredText(document, "Vo_DocResManager");
    if (at == std::string::npos || at < 4)
        return {};
    return std::vector<uint8_t>(document.begin(), document.begin() + (at - 4));
}

// The document with the first record name `from` replaced by `to` of the same length; empty when
// `from` is not found.
std::vector<uint8_t> WithClassRenamed(const std::vector<uint8_t>& document, const std::string& from,
                                      const std::string& to)
{
    const size_t at = FindStoredText(document, from);
    if (at == std::string::npos || from.size() != to.size())
        return {};
    std::vector<uint8_t> renamed = document;
    for (size_t i = 0; i < to.size(); ++i)
        renamed[at + 2 * i] = static_cast<uint8_t>(to[i]);
    return renamed;
}

// The check for the saver's error box, on the saver itself: a document that fails to load shows
// the box and the check sees it; the document whole shows the landscape and the check does not
// fire.
TEST(GalleryErrorBoxTest, TheCheckSeesTheBoxOfADocumentThatFailsToLoadOnly)
{
    const std::vector<uint8_t> whole = GalleryDocumentBytes(kBaseLayerDocument);
    ASSERT_GT(whole.size(), 1000u);
    struct Case {
        const char* name;
        std::vector<uint8_t> document;
        bool errorBox;
    };
    const Case cases[] = {
        {"whole", whole, false},
        {"cut in half", std::vector<uint8_t>(whole.begin(), whole.begin() + whole.size() / 2), true},
        {"cut before its resource store", WithoutResourceStore(whole), true},
        {"naming an unknown layer class", WithClassRenamed(whole, "Vo_2D_Light", "Vo_2D_Lamp!"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.document.empty());
        std::string why;
        const std::wstring program = MakeSaverCopyPlaying(c.document, SaverFolder(), L"ErrorBoxCase.scr", &why);
        ASSERT_FALSE(program.empty()) << "no saver copy: " << why;
        ProcessRunner runner;
        const GalleryRun run = PlayOne(program, nullptr, nullptr, runner);
        const ProcessResult result = runner.Wait(kExitTimeoutMs);
        DeleteFileW(program.c_str());
        ASSERT_FALSE(run.first.pixels.empty()) << "the saver showed no view: " << run.failure;
        const bool boxSeen = ShowsErrorBox(run.first);
        EXPECT_EQ(boxSeen, c.errorBox);
        if (boxSeen != c.errorBox)
            SaveScreenPixels(run.first, TestArtifactsDir() + "\\gallery-error-box-" + DocumentTestName(c.name) + ".bmp");
        if (!c.errorBox) {
            EXPECT_GE(BrightnessSpread(run.first), kSpreadAtLeast) << "the whole document showed no landscape";
        }
        EXPECT_FALSE(result.timedOut) << "the saver did not end after WM_CLOSE";
    }
}

}  // namespace
