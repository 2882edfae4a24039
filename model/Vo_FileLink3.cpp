#include "model/Vo_FileLink3.h"

#include "model/DataBuffer.h"
#include "model/Vo_IOF_Virtual.h"

int32_t AnonymousLinkCounter = 0;

static int32_t TakeAnonymousStamp()
{
    const int32_t stamp = AnonymousLinkCounter;
    // Wraps instead of overflowing a signed value; two billion links never happen in one run.
    AnonymousLinkCounter = static_cast<int32_t>(static_cast<uint32_t>(stamp) + 1u);
    return stamp;
}

Vo_FileLink3::Vo_FileLink3(int32_t stamp, const vo_string& path) : m_key(path, stamp) {}

Vo_FileLink3::Vo_FileLink3(const FileLinkKey& key) : m_key(key) {}

Vo_FileLink3::Vo_FileLink3(const FileBlob& blob)
{
    if (blob.ResourceId() != 0) {
        // Module resource ids are zero-extended.
        m_key = FileLinkKey(blob.ModuleName(), static_cast<uint32_t>(blob.ResourceId()));
        return;
    }
    m_key = FileLinkKey(blob.Name(), TakeAnonymousStamp());
}

vo_string Vo_FileLink3::GetExtension() const
{
    const vo_string& path = m_key.Path();
    const size_t dot = path.rfind(L'.');
    if (dot == vo_string::npos)
        return vo_string();
    vo_string extension = path.substr(dot);
    // Only A-Z are lowered: the comparison with ".dll" must not depend on the user's locale.
    for (wchar_t& unit : extension)
        if (unit >= L'A' && unit <= L'Z')
            unit = static_cast<wchar_t>(unit - L'A' + L'a');
    return extension;
}

void ReadFileLink(Vo_IOF_Virtual& stream, Vo_FileLink3& link)
{
    vo_string path;
    int64_t stamp = 0;
    stream.ReadString(path);
    stream.ReadInt64(stamp);
    if (stream.Failed())
        return;
    link.Assign(path, stamp);
}
