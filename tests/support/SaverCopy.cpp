#include "support/SaverCopy.h"

#include "support/TestPaths.h"

#include <windows.h>

namespace {

const wchar_t kSceneType[] = L"QNT";
const WORD kSceneId = 107;

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::string LastError(const char* what)
{
    return std::string(what) + " failed, error " + std::to_string(GetLastError());
}

// The languages the program's scene resource is stored under (the resource compiler's default
// language, as a rule).
std::vector<WORD> SceneLanguages(const std::wstring& program)
{
    std::vector<WORD> languages;
    HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return languages;
    EnumResourceLanguagesW(
        module, kSceneType, MAKEINTRESOURCEW(kSceneId),
        [](HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) -> BOOL {
            reinterpret_cast<std::vector<WORD>*>(found)->push_back(language);
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&languages));
    FreeLibrary(module);
    return languages;
}

}  // namespace

std::wstring MakeSaverCopyPlaying(const std::vector<uint8_t>& document, const std::wstring& folder,
                                  const std::wstring& programName, std::string* error)
{
    std::string ignored;
    std::string& why = error ? *error : ignored;
    if (document.empty()) {
        why = "the document is empty";
        return std::wstring();
    }
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring program = folder + L"\\" + programName;
    const std::wstring module = folder + L"\\common_res.dll";
    if (!CopyFileW(BuiltProgramPath(L"GlimmerSaver.scr").c_str(), program.c_str(), FALSE)) {
        why = LastError("copying the saver to ") + " " + Narrow(program);
        return std::wstring();
    }
    // Another copy's saver may hold the module open; the copy already there then serves.
    if (!CopyFileW(BuiltProgramPath(L"common_res.dll").c_str(), module.c_str(), FALSE) &&
        GetFileAttributesW(module.c_str()) == INVALID_FILE_ATTRIBUTES) {
        why = LastError("copying common_res.dll");
        return std::wstring();
    }

    const std::vector<WORD> languages = SceneLanguages(program);
    if (languages.empty()) {
        why = "the saver carries no \"QNT\" 107";
        return std::wstring();
    }
    HANDLE update = BeginUpdateResourceW(program.c_str(), FALSE);
    if (!update) {
        why = LastError("BeginUpdateResourceW");
        return std::wstring();
    }
    // The old scene goes under every language it had; the new one takes the first language.
    bool ok = true;
    for (WORD language : languages)
        ok = ok && UpdateResourceW(update, kSceneType, MAKEINTRESOURCEW(kSceneId), language,
                                   nullptr, 0);
    ok = ok && UpdateResourceW(update, kSceneType, MAKEINTRESOURCEW(kSceneId), languages.front(),
                               const_cast<uint8_t*>(document.data()),
                               static_cast<DWORD>(document.size()));
    if (!ok) {
        why = LastError("UpdateResourceW");
        EndUpdateResourceW(update, TRUE);
        return std::wstring();
    }
    if (!EndUpdateResourceW(update, FALSE)) {
        why = LastError("EndUpdateResourceW");
        return std::wstring();
    }
    return program;
}
