#include "OwnTempFolder.h"

#include <windows.h>

#include <vector>

namespace {

bool ReadVariable(const wchar_t* name, std::wstring& value)
{
    const DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
    if (needed == 0)
        return false;
    std::vector<wchar_t> text(needed);
    const DWORD length = GetEnvironmentVariableW(name, text.data(), needed);
    value.assign(text.data(), length);
    return true;
}

// The folder's files and subfolders, then the folder.
void RemoveFolder(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolder(folder + name + L"\\");
            else
                DeleteFileW((folder + name).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

OwnTempFolder::OwnTempFolder(const wchar_t* prefix)
    : m_saved{{L"TMP", false, {}}, {L"TEMP", false, {}}}
{
    for (SavedVariable& saved : m_saved)
        saved.present = ReadVariable(saved.name, saved.value);

    wchar_t shared[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, shared);
    if (length == 0 || length > MAX_PATH)
        return;
    m_path = std::wstring(shared) + prefix + L"-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    // A folder that a killed test process of the same id left behind is used as it is.
    m_made = CreateDirectoryW(m_path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
    if (!m_made)
        return;
    for (const SavedVariable& saved : m_saved)
        SetEnvironmentVariableW(saved.name, m_path.c_str());
}

OwnTempFolder::~OwnTempFolder()
{
    if (!m_made)
        return;
    for (const SavedVariable& saved : m_saved)
        SetEnvironmentVariableW(saved.name, saved.present ? saved.value.c_str() : nullptr);
    RemoveFolder(m_path);
}
