#pragma once
#include <windows.h>

// An open registry key, closed when the holder goes. Reads leave the destination untouched when
// the key or value is missing, which is how callers keep their defaults; write failures are
// ignored by design of the settings.
class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Opens the key, creating it when missing (full access).
    bool Create(HKEY parent, const wchar_t* path);
    void Close();
    HKEY Handle() const { return m_key; }
    bool IsOpen() const { return m_key != nullptr; }

    bool ReadDword(const wchar_t* name, DWORD* value) const;
    bool ReadBinary(const wchar_t* name, void* data, DWORD size) const;
    void WriteDword(const wchar_t* name, DWORD value) const;
    void WriteBinary(const wchar_t* name, const void* data, DWORD size) const;

private:
    HKEY m_key = nullptr;
};
