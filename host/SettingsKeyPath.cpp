#include "host/SettingsKeyPath.h"

const wchar_t kSettingsKeyText[] = L"Software\\Quellmark\\Glimmerkit Maker\\Screensaver\\";

wchar_t SettingsKeyPath[260] = {};
