#pragma once
// Which string-table text the display-settings dialog shows for a display: the rendering line
// under the adapter name and the longer explanation behind its Help button.

// What the display's adapter offers and what the user turned off.
struct DisplayAbilities {
    bool hardwarePresent;
    bool hardwareUsable;
    bool hardwareDisabled;
    bool softwarePresent;
    bool softwareUsable;
};

// The rendering text (2210 to 2212); hasAdapter is false for a display no adapter drives.
int RenderingTextId(bool hasAdapter, const DisplayAbilities& abilities);

// The help text (2200 to 2209); usable is false for a display without a monitor handle or
// without an adapter.
int HelpTextId(bool hasMonitorAndAdapter, const DisplayAbilities& abilities);

// True when the saver can draw on the display at all with what is allowed.
bool CanRender(const DisplayAbilities& abilities);
