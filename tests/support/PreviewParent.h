#pragma once
#include <windows.h>

#include <string>

#include "support/ProcessRunner.h"

// The stand-in for the display control panel, whose window a preview is given: the helper
// program tests/preview_parent.exe started and its window found (Window() is null when either
// failed). Its window closes on WM_APP, which ends a preview inside it; when this goes, the window
// is closed if it is still open and the program waited for.
class PreviewParent {
public:
    PreviewParent();
    ~PreviewParent();

    HWND Window() const { return m_window; }
    // The command line of a preview in this window.
    std::wstring PreviewMode() const;

private:
    ProcessRunner m_program;
    HWND m_window = nullptr;
};
