#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

// A read-only view of archive bytes held in memory: the cursor (next unread byte) and the end.
// It does not own the bytes; a module's resource stays loaded for the life of the process.
// Every take is bounded by the end: the first one that does not fit marks the buffer failed,
// and a failed buffer hands out nothing more, so a truncated or damaged archive can never make
// a reader touch memory past its last byte.
class ResourceBuffer {
public:
    ResourceBuffer() = default;
    // A view of bytes the caller keeps alive (a document held elsewhere in memory).
    ResourceBuffer(const uint8_t* begin, const uint8_t* end);

    // Views the "QNT" resource of this id in the module (null: the program itself). A missing or
    // empty resource returns false and leaves the buffer as it was.
    bool OpenModuleResource(HMODULE module, int resourceId);

    bool IsOpen() const { return m_cursor != nullptr; }
    bool Failed() const { return m_failed; }
    const uint8_t* Cursor() const { return m_cursor; }
    const uint8_t* End() const { return m_end; }
    size_t Remaining() const { return m_failed ? 0 : static_cast<size_t>(m_end - m_cursor); }

    // Returns the next count bytes and moves the cursor past them, or, when fewer remain (or the
    // buffer was never opened, or has failed), marks the buffer failed and returns null.
    const uint8_t* Take(size_t count);
    // For readers that measure a value in place (a wide string) before taking it.
    void Fail() { m_failed = true; }

private:
    const uint8_t* m_cursor = nullptr;
    const uint8_t* m_end = nullptr;
    bool m_failed = false;
};
