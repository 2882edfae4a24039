#include "host/OpenInBrowser.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {

bool ReadBrowserCommand(std::wstring& command)
{
    const wchar_t kCommandKey[] = L"http\\shell\\open\\command";
    // Taken as stored, like a plain value query: expanding would refuse the size query.
    const DWORD kStrings = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
    // The size is asked first so that a command of any length fits; RegGetValueW opens and
    // closes the key itself and makes sure the text ends.
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_CLASSES_ROOT, kCommandKey, nullptr, kStrings, nullptr, nullptr,
                     &bytes) != ERROR_SUCCESS)
        return false;
    std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, 0);
    bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CLASSES_ROOT, kCommandKey, nullptr, kStrings, nullptr, text.data(),
                     &bytes) != ERROR_SUCCESS)
        return false;
    command = text.data();
    return !command.empty();
}

std::wstring CommandForAddress(const std::wstring& command, const wchar_t* address)
{
    const std::wstring kPlaceholder = L"\"%1\"";
    size_t at = command.find(kPlaceholder);
    if (at == std::wstring::npos)
        return command + L" " + address;
    // The address takes the place of %1 inside its quotes, so it stays one argument.
    return command.substr(0, at + 1) + address + command.substr(at + kPlaceholder.size() - 1);
}

}  // namespace

bool OpenInBrowser(const wchar_t* address)
{
    std::wstring command;
    if (!address || !ReadBrowserCommand(command))
        return false;
    std::wstring line = CommandForAddress(command, address);
    // CreateProcessW may write into its command line: it gets a private, writable copy.
    std::vector<wchar_t> writable(line.begin(), line.end());
    writable.push_back(0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
