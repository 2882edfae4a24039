#pragma once

// The per-user settings key under HKEY_CURRENT_USER, with its trailing backslash.
extern const wchar_t kSettingsKeyText[];

// The settings key path that the dialogs and the scene read; set by the application object.
extern wchar_t SettingsKeyPath[260];
