#pragma once
#include <cstdint>
#include <vector>

#include "model/vo_string.h"

// A named byte buffer: for a file embedded in a document, the file's path or name and its bytes.
class DataBuffer {
public:
    DataBuffer() = default;
    virtual ~DataBuffer() = default;
    DataBuffer(const DataBuffer&) = default;
    DataBuffer& operator=(const DataBuffer&) = default;

    // A different name drops the bytes; the same name changes nothing.
    void SetName(const vo_string& name);
    // Replaces the bytes by a private copy.
    void SetData(uint32_t size, const uint8_t* bytes);

    const vo_string& Name() const { return m_name; }
    const uint8_t* Data() const { return m_data.empty() ? nullptr : m_data.data(); }
    uint32_t Size() const { return static_cast<uint32_t>(m_data.size()); }

protected:
    vo_string m_name;
    std::vector<uint8_t> m_data;
};

// A file held in a document, or a reference to a resource of a module.
class FileBlob : public DataBuffer {
public:
    FileBlob() = default;
    FileBlob(int32_t resourceId, const vo_string& moduleName);

    // Replaces the bytes with the module's "QNT" resource of this id; an unloadable module name
    // (the empty one among them) searches the program's own module.
    bool LoadFromModule();

    int32_t ResourceId() const { return m_resourceId; }
    const vo_string& ModuleName() const { return m_moduleName; }
    void SetResourceId(int32_t id) { m_resourceId = id; }
    void SetModuleName(const vo_string& name) { m_moduleName = name; }

private:
    int32_t m_resourceId = 0;
    vo_string m_moduleName;
};
