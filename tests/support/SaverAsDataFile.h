#pragma once
// The built saver GlimmerSaver.scr mapped as a data file, for tests of its resources: none of its
// code runs. The mapping goes with the object.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class SaverAsDataFile {
public:
    SaverAsDataFile();
    ~SaverAsDataFile();
    SaverAsDataFile(const SaverAsDataFile&) = delete;
    SaverAsDataFile& operator=(const SaverAsDataFile&) = delete;

    // Null when the saver could not be mapped.
    HMODULE Module() const { return m_module; }
    // A copy of a resource's bytes; empty when it is missing.
    std::vector<uint8_t> ResourceBytes(int id, const wchar_t* type) const;
    // An entry of the string table; empty when it is missing.
    std::wstring String(UINT id) const;

private:
    HMODULE m_module = nullptr;
};
