#include "SaverAsDataFile.h"

#include "TestPaths.h"

SaverAsDataFile::SaverAsDataFile()
    : m_module(LoadLibraryExW(BuiltProgramPath(L"GlimmerSaver.scr").c_str(), nullptr,
                              LOAD_LIBRARY_AS_DATAFILE))
{
}

SaverAsDataFile::~SaverAsDataFile()
{
    if (m_module)
        FreeLibrary(m_module);
}

std::vector<uint8_t> SaverAsDataFile::ResourceBytes(int id, const wchar_t* type) const
{
    std::vector<uint8_t> bytes;
    if (!m_module)
        return bytes;
    HRSRC found = FindResourceW(m_module, MAKEINTRESOURCEW(id), type);
    HGLOBAL loaded = found ? LoadResource(m_module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (data) {
        const auto* begin = static_cast<const uint8_t*>(data);
        bytes.assign(begin, begin + SizeofResource(m_module, found));
    }
    return bytes;
}

std::wstring SaverAsDataFile::String(UINT id) const
{
    wchar_t text[512] = {};
    if (m_module)
        LoadStringW(m_module, id, text, 512);
    return text;
}
