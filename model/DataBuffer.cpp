#include "model/DataBuffer.h"

#include <windows.h>

#include "model/ModuleResource.h"

void DataBuffer::SetName(const vo_string& name)
{
    if (name == m_name)
        return;
    // A buffer renamed to another file no longer holds that file's bytes (a music track written
    // to the temporary folder keeps only its new path).
    m_data.clear();
    m_data.shrink_to_fit();
    m_name = name;
}

void DataBuffer::SetData(uint32_t size, const uint8_t* bytes)
{
    if (size == 0 || !bytes) {
        m_data.clear();
        m_data.shrink_to_fit();
        return;
    }
    m_data.assign(bytes, bytes + size);
}

FileBlob::FileBlob(int32_t resourceId, const vo_string& moduleName)
    : m_resourceId(resourceId), m_moduleName(moduleName)
{
}

bool FileBlob::LoadFromModule()
{
    // The module is mapped as a data file, as the store maps it, so none of its code runs; it
    // stays mapped for the life of the process, since textures and meshes made from its
    // resources are cached by id. A name that does not open gives a null handle, and a null
    // handle makes FindResourceW search the program itself.
    ModuleHandle module = nullptr;
    OpenResourceModule(m_moduleName, module);
    // MAKEINTRESOURCEW(0) is a null name pointer, which names no resource.
    const WORD id = static_cast<WORD>(m_resourceId);
    if (id == 0)
        return false;
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), L"QNT");
    if (!info)
        return false;
    const DWORD size = SizeofResource(module, info);
    HGLOBAL handle = LoadResource(module, info);
    if (!handle)
        return false;
    const auto* bytes = static_cast<const uint8_t*>(LockResource(handle));
    if (!bytes)
        return false;
    SetData(size, bytes);
    return true;
}
