#include "benchmarks/SceneDocuments.h"

#include <windows.h>

#include <fstream>
#include <iterator>

#include "support/TestPaths.h"

namespace {

const int kSceneDocumentId = 107;

}  // namespace

std::wstring SceneDocuments::SaverPath()
{
    return UnixToWindowsPath(VO_BENCH_SAVER);
}

std::vector<uint8_t> SceneDocuments::Embedded()
{
    std::vector<uint8_t> bytes;
    // As a data file: the saver's resources without its code or its entry point.
    HMODULE saver = LoadLibraryExW(SaverPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!saver)
        return bytes;
    HRSRC found = FindResourceW(saver, MAKEINTRESOURCEW(kSceneDocumentId), L"QNT");
    const DWORD size = found ? SizeofResource(saver, found) : 0;
    HGLOBAL loaded = size ? LoadResource(saver, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (data) {
        const auto* first = static_cast<const uint8_t*>(data);
        bytes.assign(first, first + size);
    }
    FreeLibrary(saver);
    return bytes;
}

std::vector<uint8_t> SceneDocuments::Assembled(const std::string& name)
{
    const std::wstring path = UnixToWindowsPath(std::string(VO_BENCH_DOCUMENT_DIR) + "/" + name);
    std::ifstream in(std::string(path.begin(), path.end()), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
