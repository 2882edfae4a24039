#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The key under HKEY_CURRENT_USER that the saver keeps its settings in, with the trailing
// backslash the saver writes it with; each display's values are in its subkey "Screen <n>".
const wchar_t kSaverSettingsKey[] = L"Software\\Quellmark\\Glimmerkit Maker\\Screensaver\\";

// Saves a registry value's bytes and puts them back (or removes the value) when it goes, so that
// a test may change settings that the programs under test read from fixed keys.
class SavedRegistryValue {
public:
    // A null name is the key's default value.
    SavedRegistryValue(HKEY root, const wchar_t* path, const wchar_t* name);
    ~SavedRegistryValue();
    SavedRegistryValue(const SavedRegistryValue&) = delete;
    SavedRegistryValue& operator=(const SavedRegistryValue&) = delete;

    const wchar_t* Name() const { return m_hasName ? m_name.c_str() : nullptr; }
    // Stores a DWORD under the value's name for the test (the key is made when missing); false
    // when it could not be written.
    bool SetDword(DWORD value) const;

private:
    HKEY m_root;
    std::wstring m_path;
    std::wstring m_name;
    bool m_hasName;
    bool m_present = false;
    DWORD m_type = 0;
    std::vector<BYTE> m_bytes;
};
