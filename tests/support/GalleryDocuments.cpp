#include "support/GalleryDocuments.h"

#include <sstream>

#include "support/TestPaths.h"

std::vector<std::string> GalleryDocumentNames()
{
    std::vector<std::string> names;
    const std::vector<uint8_t> list = ReadBuiltFile(L"tests\\gallery\\documents.txt");
    std::istringstream lines(std::string(list.begin(), list.end()));
    std::string line;
    while (std::getline(lines, line)) {
        line.erase(line.find_last_not_of("\r\n ") + 1);
        if (!line.empty())
            names.push_back(line);
    }
    return names;
}

std::vector<uint8_t> GalleryDocumentBytes(const std::string& name)
{
    return ReadBuiltFile(L"tests\\gallery\\" + std::wstring(name.begin(), name.end()) + L".bin");
}

std::vector<uint8_t> EmbeddedSceneBytes() { return ReadBuiltFile(L"resources\\scene\\EmbeddedScene.bin"); }
