// Stands in for a registered program (a browser) in the host tests:
//   command_recorder OUTPUT ARG...   writes each ARG on a line of OUTPUT (UTF-8), then ends.
// The file is written under a temporary name and renamed, so a reader never sees half of it.
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    std::wstring partial = std::wstring(argv[1]) + L".partial";
    FILE* file = _wfopen(partial.c_str(), L"wb");
    if (!file)
        return 3;
    for (int i = 2; i < argc; ++i) {
        char utf8[8192];
        int n = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, utf8, sizeof(utf8), nullptr, nullptr);
        if (n > 0)
            std::fprintf(file, "%s\n", utf8);
    }
    std::fclose(file);
    return MoveFileExW(partial.c_str(), argv[1], MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}
