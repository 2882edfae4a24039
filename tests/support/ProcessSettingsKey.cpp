#include "ProcessSettingsKey.h"

#include <windows.h>

ProcessSettingsKey::ProcessSettingsKey(const wchar_t* stem)
    : m_root(std::wstring(L"Software\\") + stem + L" " + std::to_wstring(GetCurrentProcessId())),
      m_settings(m_root + L"\\Settings\\")
{
}
