#include "host/SaverMode.h"

#include <windows.h>

namespace {

SaverMode ModeOfLetter(wchar_t letter)
{
    switch (letter) {
    case L'c': case L'C': return kModeConfig;
    case L'p': case L'P': return kModePreview;
    case L't': case L'T': return kModeTest;
    case L'a': case L'A': return kModePassword;
    case L'r': case L'R': return kModeNone;
    case L'n': case L'N': return kModeNoAction;
    default: return kModeFullScreen;
    }
}

// The decimal number at p, kept to its low 32 bits as it accumulates, so any count of digits
// is read without overflow.
uint32_t ReadLow32(const wchar_t* p)
{
    uint32_t value = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p)
        value = value * 10u + static_cast<uint32_t>(*p - L'0');
    return value;
}

}  // namespace

SaverMode ReadSaverMode(const wchar_t* commandLine, HWND__** parent)
{
    *parent = nullptr;
    if (!commandLine)
        return kModeConfig;

    const wchar_t* p = commandLine;
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"')
            ++p;
        if (*p == L'"')
            ++p;  // an unclosed quote simply ends with the line
    } else {
        while (*p && *p != L' ')
            ++p;
        if (!*p)
            return kModeConfig;  // a lone program name has no switch
        ++p;
    }

    while (*p && *p != L'/' && *p != L'-')
        ++p;
    if (!*p)
        return kModeConfig;
    ++p;

    const SaverMode mode = ModeOfLetter(*p);
    if (mode != kModeConfig && mode != kModePreview && mode != kModePassword)
        return mode;
    if (*p)
        ++p;
    while (*p && !(*p >= L'0' && *p <= L'9'))
        ++p;
    if (*p) {
        // Window handles carry 32 significant bits; the value is sign-extended like a handle
        // that passed through a 32-bit int.
        const int32_t low = static_cast<int32_t>(ReadLow32(p));
        *parent = reinterpret_cast<HWND>(static_cast<intptr_t>(low));
    }
    return mode;
}
