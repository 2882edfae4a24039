#pragma once
#include <cstdint>

#include "model/vo_string.h"

// The identity of a linked file: its path and a 64-bit stamp (a resource id for module links, a
// counter value for anonymous links, a modification time for file links).
class FileLinkKey {
public:
    FileLinkKey() = default;
    FileLinkKey(const vo_string& path, int64_t stamp) : m_path(path), m_stamp(stamp) {}

    const vo_string& Path() const { return m_path; }
    int64_t Stamp() const { return m_stamp; }

    // Paths first, as sequences of 16-bit code units (case-sensitive, a proper prefix first), then
    // stamps as signed numbers. The resource store's maps rely on exactly this order.
    bool operator<(const FileLinkKey& other) const;
    bool operator==(const FileLinkKey& other) const;
    bool operator!=(const FileLinkKey& other) const { return !(*this == other); }

private:
    vo_string m_path;
    int64_t m_stamp = 0;
};
