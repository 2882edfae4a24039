#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Bytes placed at the very end of a committed page, followed by a PAGE_NOACCESS page: a read
// one byte past the end faults at once instead of reading whatever happens to follow.
class GuardPageBuffer {
public:
    explicit GuardPageBuffer(const std::vector<uint8_t>& bytes);
    GuardPageBuffer(const uint8_t* bytes, size_t size);
    ~GuardPageBuffer();
    GuardPageBuffer(const GuardPageBuffer&) = delete;
    GuardPageBuffer& operator=(const GuardPageBuffer&) = delete;

    const uint8_t* begin() const { return m_begin; }
    const uint8_t* end() const { return m_begin + m_size; }
    size_t size() const { return m_size; }

private:
    void* m_block = nullptr;
    uint8_t* m_begin = nullptr;
    size_t m_size = 0;
};
