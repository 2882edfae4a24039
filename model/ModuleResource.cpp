#include "model/ModuleResource.h"

#include <windows.h>

const wchar_t kPictureResourceType[] = L"QNT";

bool OpenResourceModule(const vo_string& name, ModuleHandle& module)
{
    module = nullptr;
    if (name.empty())
        return false;
    module = LoadLibraryExW(name.c_str(), nullptr,
                            LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    return module != nullptr;
}

bool LockModuleResource(ModuleHandle module, int32_t id, const wchar_t* type, const uint8_t*& bytes,
                        uint32_t& size)
{
    bytes = nullptr;
    size = 0;
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id & 0xFFFF), type);
    if (!info)
        return false;
    DWORD length = SizeofResource(module, info);
    HGLOBAL loaded = length ? LoadResource(module, info) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return false;
    bytes = static_cast<const uint8_t*>(data);
    size = length;
    return true;
}
