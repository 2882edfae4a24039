#pragma once
#include <cstdint>

#include "model/FileLinkKey.h"
#include "model/MediaParam.h"
#include "model/vo_string.h"

class FileBlob;
class Vo_IOF_Virtual;

// Process-wide counter from which links to embedded files without a resource id take their
// stamps, so that two embedded files of the same name get distinct keys. Starts at 0 and is
// never reset, so links of different documents or render units never share a stamp.
extern int32_t AnonymousLinkCounter;

// A parameter that names a file by path and stamp; the pair is the key under which the resource
// store keeps the file's bytes and the device objects made from them. The link never opens a file.
// Constructing or filling a link tells no control.
class Vo_FileLink3 : public MediaParam {
public:
    Vo_FileLink3() = default;
    // A module link such as (62, "common_res.dll"); the stamp is sign-extended.
    Vo_FileLink3(int32_t stamp, const vo_string& path);
    explicit Vo_FileLink3(const FileLinkKey& key);
    // A module resource (id not 0) links as (module name, id); any other blob takes its name and
    // the next anonymous stamp.
    explicit Vo_FileLink3(const FileBlob& blob);
    Vo_FileLink3(const Vo_FileLink3& other) = default;
    Vo_FileLink3& operator=(const Vo_FileLink3& other) = default;

    vo_string GetPath() const { return m_key.Path(); }
    // The text from the last "." of the whole path to its end, A-Z lowered; empty without a dot.
    vo_string GetExtension() const;
    const FileLinkKey& GetKey() const { return m_key; }

    // Sets path and stamp without telling the controls (how records fill a link).
    void Assign(const vo_string& path, int64_t stamp) { m_key = FileLinkKey(path, stamp); }

private:
    FileLinkKey m_key;
};

// Reads a link's record (path string, then 8-byte stamp) into the link without telling its
// controls; an empty stored path gives an empty path. A stream that fails on the way leaves the
// link as it was.
void ReadFileLink(Vo_IOF_Virtual& stream, Vo_FileLink3& link);
