#include "model/FileLinkKey.h"

static_assert(sizeof(wchar_t) == 2 && static_cast<wchar_t>(-1) > 0,
              "paths must order as unsigned 16-bit code units");

bool FileLinkKey::operator<(const FileLinkKey& other) const
{
    // std::wstring compares through wchar_t, an unsigned 16-bit code unit on this platform.
    const int byPath = m_path.compare(other.m_path);
    if (byPath != 0)
        return byPath < 0;
    return m_stamp < other.m_stamp;
}

bool FileLinkKey::operator==(const FileLinkKey& other) const
{
    return m_stamp == other.m_stamp && m_path == other.m_path;
}
