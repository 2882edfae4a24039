#include "benchmarks/SaverEndBenchmark.h"

#include <windows.h>

#include <string>
#include <vector>

#include "benchmarks/FigureLog.h"
#include "benchmarks/FrameClock.h"
#include "benchmarks/SceneDocuments.h"
#include "support/ProcessRunner.h"
#include "support/SaverWindows.h"

namespace {

struct Ending {
    const char* figure;
    const wchar_t* mode;
    UINT message;
    WPARAM wParam;
};

// Starts the saver, lets it play for a few seconds, asks it to end and waits for its process.
void MeasureEnd(const Ending& ending)
{
    ProcessRunner saver;
    if (!saver.Start(SceneDocuments::SaverPath(), ending.mode)) {
        FigureLog::Note(std::string(ending.figure) + ": the saver did not start");
        return;
    }
    const HWND window = WaitForTopWindow(saver.ProcessId(), L"D3DSaverWndClass");
    if (!window) {
        FigureLog::Note(std::string(ending.figure) + ": the saver showed no window");
        saver.Kill();
        return;
    }
    Sleep(3000);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, saver.ProcessId());
    const double asked = FrameClock::WallSeconds();
    PostMessageW(window, ending.message, ending.wParam, 0);
    const bool ended = process && WaitForSingleObject(process, 30000) == WAIT_OBJECT_0;
    const double took = FrameClock::WallSeconds() - asked;
    if (process)
        CloseHandle(process);
    if (!ended) {
        FigureLog::Note(std::string(ending.figure) + ": the saver did not end within 30 s");
        saver.Kill();
        return;
    }
    FigureLog::Figure(ending.figure, took * 1000.0, "ms");
}

}  // namespace

void SaverEndBenchmark::Run()
{
    const Ending endings[] = {
        {"end.test_window.time", L"/t", WM_CLOSE, 0},
        {"end.full_screen.time", L"/s", WM_KEYDOWN, VK_SPACE},
    };
    for (const Ending& ending : endings)
        MeasureEnd(ending);
}
