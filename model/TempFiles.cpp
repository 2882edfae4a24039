#include "model/TempFiles.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "model/FileHandle.h"
#include "model/FileNameParts.h"

// Asked for its length first, so a long folder path is never cut.
vo_string GetTempFolder()
{
    const DWORD needed = GetTempPathW(0, nullptr);
    if (needed == 0)
        return vo_string();
    std::vector<wchar_t> text(needed + 1);
    const DWORD length = GetTempPathW(static_cast<DWORD>(text.size()), text.data());
    if (length == 0 || length >= text.size())
        return vo_string();
    vo_string folder(text.data(), length);
    if (folder.back() != L'\\' && folder.back() != L'/')
        folder += L'\\';
    return folder;
}

vo_string GetTempFileNameOf(const vo_string& path)
{
    vo_string separated = L"\\" + path;
    std::replace(separated.begin(), separated.end(), L'/', L'\\');
    return GetSafeTempFileName(separated);
}

namespace {

// Writes the bytes into a file made with the given disposition; a failed write removes the file.
bool WriteFileAs(const vo_string& path, const uint8_t* bytes, uint32_t size, DWORD disposition)
{
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return false;
    bool written = true;
    uint32_t done = 0;
    while (written && done < size) {
        DWORD wrote = 0;
        written = WriteFile(file.Get(), bytes + done, size - done, &wrote, nullptr) && wrote > 0;
        done += wrote;
    }
    written = file.Close() && written;
    if (!written)
        DeleteFileW(path.c_str());
    return written;
}

bool AlreadyExists()
{
    const DWORD error = GetLastError();
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

}  // namespace

bool WriteWholeFile(const vo_string& path, const uint8_t* bytes, uint32_t size)
{
    return WriteFileAs(path, bytes, size, CREATE_ALWAYS);
}

vo_string MakeOwnTempCopy(const vo_string& storedPath, const uint8_t* bytes, uint32_t size)
{
    const vo_string name = GetTempFileNameOf(storedPath);
    const vo_string folder = GetTempFolder();
    if (name.empty() || folder.empty())
        return vo_string();
    const size_t dot = name.rfind(L'.');
    const vo_string stem = dot == vo_string::npos ? name : name.substr(0, dot);
    const vo_string extension = dot == vo_string::npos ? vo_string() : name.substr(dot);

    static unsigned s_lastNumber = 0;
    const int kAttempts = 100;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        wchar_t mark[32];
        swprintf(mark, 32, L"~%lx-%u", GetCurrentProcessId(), ++s_lastNumber);
        const vo_string path = folder + stem + mark + extension;
        // Made only when no file of that name exists: a name in use is never taken over.
        const bool made = bytes && size > 0
                              ? WriteFileAs(path, bytes, size, CREATE_NEW)
                              : CopyFileW(storedPath.c_str(), path.c_str(), TRUE) != FALSE;
        if (made)
            return path;
        if (!AlreadyExists())
            return vo_string();
    }
    return vo_string();
}
