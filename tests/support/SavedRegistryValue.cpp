#include "SavedRegistryValue.h"

SavedRegistryValue::SavedRegistryValue(HKEY root, const wchar_t* path, const wchar_t* name)
    : m_root(root), m_path(path), m_name(name ? name : L""), m_hasName(name != nullptr)
{
    DWORD size = 0;
    m_present = RegGetValueW(root, path, Name(), RRF_RT_ANY | RRF_NOEXPAND, &m_type, nullptr,
                             &size) == ERROR_SUCCESS;
    m_bytes.resize(size);
    if (m_present)
        RegGetValueW(root, path, Name(), RRF_RT_ANY | RRF_NOEXPAND, &m_type, m_bytes.data(),
                     &size);
}

SavedRegistryValue::~SavedRegistryValue()
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(m_root, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    if (m_present)
        RegSetValueExW(key, Name(), 0, m_type, m_bytes.data(), static_cast<DWORD>(m_bytes.size()));
    else
        RegDeleteValueW(key, Name());
    RegCloseKey(key);
}

bool SavedRegistryValue::SetDword(DWORD value) const
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(m_root, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const LONG written = RegSetValueExW(key, Name(), 0, REG_DWORD,
                                        reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(key);
    return written == ERROR_SUCCESS;
}
