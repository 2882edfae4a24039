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

namespace {

std::vector<uint8_t> ReadFileBytes(const std::string& unixPath)
{
    const std::wstring path = UnixToWindowsPath(unixPath);
    std::ifstream in(std::string(path.begin(), path.end()), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

std::vector<uint8_t> SceneDocuments::Assembled(const std::string& name)
{
    return ReadFileBytes(std::string(VO_BENCH_DOCUMENT_DIR) + "/" + name);
}

std::vector<SceneDocuments::Named> SceneDocuments::Gallery()
{
    std::vector<Named> documents;
    const std::wstring list = UnixToWindowsPath(std::string(VO_BENCH_GALLERY_DIR) + "/documents.txt");
    std::ifstream in(std::string(list.begin(), list.end()));
    std::string name;
    while (std::getline(in, name)) {
        name.erase(name.find_last_not_of("\r\n ") + 1);
        if (!name.empty())
            documents.push_back(Named{name, ReadFileBytes(std::string(VO_BENCH_GALLERY_DIR) + "/" + name + ".bin")});
    }
    return documents;
}
