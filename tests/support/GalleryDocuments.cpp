#include "support/GalleryDocuments.h"

#include <cctype>
#include <sstream>

#include "support/TestPaths.h"

namespace {

const char kEmbeddedSceneName[] = "EmbeddedScene";

}  // namespace

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

std::vector<std::string> GalleryDocumentNamesAndEmbeddedScene()
{
    std::vector<std::string> names = GalleryDocumentNames();
    names.push_back(kEmbeddedSceneName);
    return names;
}

std::vector<uint8_t> DocumentBytes(const std::string& name)
{
    return name == kEmbeddedSceneName ? EmbeddedSceneBytes() : GalleryDocumentBytes(name);
}

std::string DocumentTestName(const std::string& document)
{
    std::string name = document;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}

std::string DocumentParamName(const testing::TestParamInfo<std::string>& info) { return DocumentTestName(info.param); }
