#include "GuardPageBuffer.h"

#include <windows.h>

#include <cstring>
#include <stdexcept>

GuardPageBuffer::GuardPageBuffer(const std::vector<uint8_t>& bytes)
    : GuardPageBuffer(bytes.data(), bytes.size())
{
}

GuardPageBuffer::GuardPageBuffer(const uint8_t* bytes, size_t size) : m_size(size)
{
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    const size_t page = info.dwPageSize;
    const size_t dataPages = (size + page - 1) / page;
    const size_t total = (dataPages + 1) * page;
    m_block = VirtualAlloc(nullptr, total, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!m_block)
        throw std::runtime_error("VirtualAlloc failed");
    uint8_t* guard = static_cast<uint8_t*>(m_block) + dataPages * page;
    DWORD old = 0;
    if (!VirtualProtect(guard, page, PAGE_NOACCESS, &old))
        throw std::runtime_error("VirtualProtect failed");
    m_begin = guard - size;
    if (size)
        std::memcpy(m_begin, bytes, size);
}

GuardPageBuffer::~GuardPageBuffer()
{
    if (m_block)
        VirtualFree(m_block, 0, MEM_RELEASE);
}
