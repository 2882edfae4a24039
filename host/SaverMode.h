#pragma once
#include <cstdint>

// The run mode that the command line selects.
enum SaverMode : int {
    kModeConfig = 0,      // "c" or no switch: configuration dialog
    kModePreview = 1,     // "p": preview inside the parent window whose handle follows
    kModeFullScreen = 2,  // "s" and every unlisted letter: full-screen saver on every display
    kModeTest = 3,        // "t": test in an ordinary window
    kModePassword = 4,    // "a": change the screen-saver password
    kModeNone = 5,        // "r": ends at once
    kModeNoAction = 6,    // "n": ends at once without anything visible
};

struct HWND__;

// Reads the mode from a whole command line (program name first) and the parent window handle
// that "a", "c" and "p" may carry; the parent is null when there is none.
SaverMode ReadSaverMode(const wchar_t* commandLine, HWND__** parent);
