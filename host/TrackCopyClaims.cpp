#include "host/TrackCopyClaims.h"

#include <windows.h>

#include <map>

namespace {

struct HeldCopy {
    HANDLE handle = INVALID_HANDLE_VALUE;
    int users = 0;
};

// By path exactly as the extraction named it; every scene host of the process names a shared
// copy the same way.
std::map<std::wstring, HeldCopy>& Claims()
{
    static std::map<std::wstring, HeldCopy> claims;
    return claims;
}

}  // namespace

namespace TrackCopyClaims {

void Claim(const std::wstring& path)
{
    HeldCopy& claim = Claims()[path];
    if (claim.users++ == 0)
        claim.handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

void Release(const std::wstring& path)
{
    const auto entry = Claims().find(path);
    if (entry == Claims().end())
        return;
    if (--entry->second.users > 0)
        return;
    if (entry->second.handle != INVALID_HANDLE_VALUE)
        CloseHandle(entry->second.handle);
    Claims().erase(entry);
    DeleteFileW(path.c_str());
}

int Users(const std::wstring& path)
{
    const auto entry = Claims().find(path);
    return entry == Claims().end() ? 0 : entry->second.users;
}

}  // namespace TrackCopyClaims
