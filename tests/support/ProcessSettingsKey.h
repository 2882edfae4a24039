#pragma once
#include <string>

// Settings keys of the test process's own under HKEY_CURRENT_USER: ctest runs the tests of one
// file in parallel processes, which must neither read each other's stored settings nor delete
// them in their clean-up.
class ProcessSettingsKey {
public:
    // The root is "Software\<stem> <process id>".
    explicit ProcessSettingsKey(const wchar_t* stem);

    // The tree that a test deletes to leave nothing behind.
    const wchar_t* Root() const { return m_root.c_str(); }
    // "<root>\Settings\", with the trailing backslash the saver's settings key path has.
    const wchar_t* Settings() const { return m_settings.c_str(); }

private:
    std::wstring m_root;
    std::wstring m_settings;
};
