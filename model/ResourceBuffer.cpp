#include "model/ResourceBuffer.h"

ResourceBuffer::ResourceBuffer(const uint8_t* begin, const uint8_t* end) : m_cursor(begin), m_end(end)
{
    if (!begin || end < begin) {
        m_cursor = nullptr;
        m_end = nullptr;
    }
}

bool ResourceBuffer::OpenModuleResource(HMODULE module, int resourceId)
{
    // MAKEINTRESOURCEW(0) is a null name pointer, which names no resource.
    const WORD id = static_cast<WORD>(resourceId);
    if (id == 0)
        return false;
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), L"QNT");
    if (!info)
        return false;
    const DWORD size = SizeofResource(module, info);
    if (size == 0)
        return false;
    HGLOBAL handle = LoadResource(module, info);
    if (!handle)
        return false;
    const auto* bytes = static_cast<const uint8_t*>(LockResource(handle));
    if (!bytes)
        return false;
    m_cursor = bytes;
    m_end = bytes + size;
    m_failed = false;
    return true;
}

const uint8_t* ResourceBuffer::Take(size_t count)
{
    if (m_failed || !m_cursor || count > static_cast<size_t>(m_end - m_cursor)) {
        m_failed = true;
        return nullptr;
    }
    const uint8_t* bytes = m_cursor;
    m_cursor += count;
    return bytes;
}
