#include "host/RegistryKey.h"

#include <cstring>

RegistryKey::~RegistryKey() { Close(); }

bool RegistryKey::Create(HKEY parent, const wchar_t* path)
{
    Close();
    if (!parent)
        return false;
    HKEY key = nullptr;
    if (RegCreateKeyExW(parent, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    m_key = key;
    return true;
}

void RegistryKey::Close()
{
    if (m_key)
        RegCloseKey(m_key);
    m_key = nullptr;
}

bool RegistryKey::ReadDword(const wchar_t* name, DWORD* value) const
{
    return ReadBinary(name, value, sizeof(DWORD));
}

bool RegistryKey::ReadBinary(const wchar_t* name, void* data, DWORD size) const
{
    if (!m_key)
        return false;
    // Read into a scratch copy so that a value of another size never leaves half a result.
    unsigned char buffer[64];
    if (size > sizeof(buffer))
        return false;
    DWORD got = size;
    if (RegQueryValueExW(m_key, name, nullptr, nullptr, buffer, &got) != ERROR_SUCCESS)
        return false;
    std::memcpy(data, buffer, got < size ? got : size);
    return true;
}

void RegistryKey::WriteDword(const wchar_t* name, DWORD value) const
{
    if (m_key)
        RegSetValueExW(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof(value));
}

void RegistryKey::WriteBinary(const wchar_t* name, const void* data, DWORD size) const
{
    if (m_key)
        RegSetValueExW(m_key, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
}
