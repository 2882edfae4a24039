#include "model/Vo_DocResManager.h"

#include <d3dx9.h>

#include <utility>

#include "model/ArchiveReads.h"
#include "model/DeviceResourceLoader.h"
#include "model/ModuleResource.h"
#include "model/ResourceBuffer.h"
#include "model/Vo_FileLink3.h"
#include "model/Vo_IOF_Virtual.h"
#include "model/DocResLinks.h"

Vo_DocResManager* CurrentDocResManager = nullptr;

namespace {

// Reads a stored count. Counts are unsigned; a stream that fails reads no count at all.
uint32_t ReadCount(Vo_IOF_Virtual& stream)
{
    int32_t count = 0;
    stream.ReadInt(count);
    return stream.Failed() ? 0 : static_cast<uint32_t>(count);
}

}  // namespace

Vo_DocResManager::Vo_DocResManager()
    : m_loader(std::make_unique<DeviceResourceLoader>()), m_maps(std::make_unique<DocResMaps>())
{
    CurrentResourceLoader = m_loader.get();
}

Vo_DocResManager::~Vo_DocResManager()
{
    OnLostDevice();
    // The loader's own destructor hands CurrentResourceLoader to a living loader or null.
    m_loader.reset();
    m_maps.reset();
    if (CurrentDocResManager == this)
        CurrentDocResManager = nullptr;
}

DeviceResourceLoader& Vo_DocResManager::Loader()
{
    return CurrentResourceLoader ? *CurrentResourceLoader : *m_loader;
}

// --- Record ---

void Vo_DocResManager::Load(Vo_IOF_Virtual& stream, int32_t version)
{
    CurrentResourceLoader = m_loader.get();
    ReadBlobMap(stream, m_maps->pictures);
    ReadDelaysMap(stream);
    for (const auto& [key, blobs] : m_maps->pictures)
        MakeFrameSet(key, blobs);
    m_maps->pictures.clear();
    if (version == 1)
        return;
    ReadBlobMap(stream, m_maps->files);
    for (const auto& [key, blobs] : m_maps->files)
        if (!m_maps->fileCache.count(key))
            m_maps->fileCache[key].assign(blobs.begin(), blobs.end());
    if (version == 2)
        return;
    ReadGuidPictures(stream);
    for (const auto& [guid, entry] : m_maps->guidPictures)
        m_maps->guidTextures[guid] = LoadMemoryTexture(entry.picture.Data(), entry.picture.Size()).texture;
    m_maps->guidPictures.clear();
}

void Vo_DocResManager::ReadBlobMap(Vo_IOF_Virtual& stream, std::map<FileLinkKey, std::vector<FileBlob>>& map)
{
    const uint32_t count = ReadCount(stream);
    for (uint32_t i = 0; i < count && !stream.Failed(); ++i) {
        Vo_FileLink3 link;
        ReadFileLink(stream, link);
        std::vector<FileBlob> blobs;
        ReadFileBlobVector(stream, blobs);
        if (!stream.Failed())
            map.emplace(link.GetKey(), std::move(blobs));  // a repeated key keeps its first entry
    }
}

void Vo_DocResManager::ReadDelaysMap(Vo_IOF_Virtual& stream)
{
    const uint32_t count = ReadCount(stream);
    for (uint32_t i = 0; i < count && !stream.Failed(); ++i) {
        Vo_FileLink3 link;
        ReadFileLink(stream, link);
        std::vector<float> delays;
        ReadFloatVector(stream, delays);
        if (!stream.Failed())
            m_maps->delays.emplace(link.GetKey(), std::move(delays));
    }
}

void Vo_DocResManager::ReadGuidPictures(Vo_IOF_Virtual& stream)
{
    const uint32_t count = ReadCount(stream);
    for (uint32_t i = 0; i < count && !stream.Failed(); ++i) {
        GuidPictureEntry entry;
        ReadGuid(stream, entry.guid);
        stream.ReadString(entry.name);
        stream.ReadBool(entry.flag);
        stream.ReadDataBuffer(entry.picture);
        if (!stream.Failed())
            m_maps->guidPictures.emplace(entry.guid, std::move(entry));
    }
}

void Vo_DocResManager::MakeFrameSet(const FileLinkKey& key, const std::vector<FileBlob>& blobs)
{
    ReplaceFileCacheEntry(key, blobs);
    TextureFrameSet& set = m_maps->frameSets[key];
    FillFrames(set, m_maps->fileCache[key]);
    set.delays.clear();
    if (blobs.size() > 1) {
        auto delays = m_maps->delays.find(key);
        if (delays != m_maps->delays.end())
            set.delays = delays->second;
    }
}

void Vo_DocResManager::FillFrames(TextureFrameSet& set, const std::list<FileBlob>& blobs)
{
    set.frames.clear();
    for (const FileBlob& blob : blobs) {
        TextureInfo info = Loader().GetBlobTexture(blob);
        set.frames.push_back(info.texture);
        set.width = info.width;
        set.height = info.height;
        set.aspect = info.aspect;
    }
}

void Vo_DocResManager::ReplaceFileCacheEntry(const FileLinkKey& key, std::vector<FileBlob> blobs)
{
    std::list<FileBlob>& entry = m_maps->fileCache[key];
    m_retiredBlobs.splice(m_retiredBlobs.end(), entry);
    entry.assign(std::make_move_iterator(blobs.begin()), std::make_move_iterator(blobs.end()));
}

// --- Pictures ---

TextureFrameSet& Vo_DocResManager::GetTextureFrameSet(const Vo_FileLink3& link)
{
    TextureFrameSet& set = m_maps->frameSets[link.GetKey()];
    if (!set.frames.empty())
        return set;
    if (IsModuleLink(link))
        LoadLinkedPicture(set, link);
    else
        m_maps->fileCache[link.GetKey()];  // known but without bytes: the store makes no picture
    return set;
}

void Vo_DocResManager::LoadLinkedPicture(TextureFrameSet& set, const Vo_FileLink3& link)
{
    FileBlob blob = ModuleBlob(link);
    std::list<FileBlob>& entry = m_maps->fileCache[link.GetKey()];
    if (entry.empty())
        entry.push_back(blob);
    TextureInfo info = Loader().GetBlobTexture(blob);
    set.frames.assign(1, info.texture);
    set.width = info.width;
    set.height = info.height;
    set.aspect = info.aspect;
    set.frameTime = 0.0f;
}

std::vector<TextureFrameSet*> Vo_DocResManager::GetTextureFrameSets(const std::vector<Vo_ImageFileLink>& links)
{
    std::vector<TextureFrameSet*> sets;
    sets.reserve(links.size());
    for (const Vo_ImageFileLink& link : links)
        sets.push_back(&GetTextureFrameSet(link));
    return sets;
}

TextureFrameSet& Vo_DocResManager::LoadImageSetFromModule(const Vo_FileLink3& link)
{
    TextureFrameSet& set = m_maps->frameSets[link.GetKey()];
    if (!set.frames.empty() || !IsModuleLink(link))
        return set;
    ModuleHandle module = nullptr;
    if (!Loader().GetModule(link.GetKey().Path(), module))
        module = nullptr;  // an unloadable module: the program's own resources
    ResourceBuffer buffer;
    if (!buffer.OpenModuleResource(module, static_cast<int>(link.GetKey().Stamp())))
        return set;
    std::vector<float> delays;
    std::vector<FileBlob> blobs;
    if (!ReadDelaysFromBuffer(buffer, delays) || !ReadFileBlobsFromBuffer(buffer, blobs))
        return set;
    set.delays = std::move(delays);
    ReplaceFileCacheEntry(link.GetKey(), std::move(blobs));
    FillFrames(set, m_maps->fileCache[link.GetKey()]);
    return set;
}

const FileBlob* Vo_DocResManager::GetFileBlob(const Vo_FileLink3& link)
{
    auto found = m_maps->fileCache.find(link.GetKey());
    if (found != m_maps->fileCache.end() && !found->second.empty())
        return &found->second.front();
    if (!IsDllLink(link))
        return nullptr;
    std::list<FileBlob>& entry = m_maps->fileCache[link.GetKey()];
    entry.push_back(ModuleBlob(link));
    FillFromModule(entry.back(), kPictureResourceType);  // the bytes stay empty when it is missing
    return &entry.back();
}

bool Vo_DocResManager::FillFromModule(FileBlob& blob, const wchar_t* type)
{
    ModuleHandle module = nullptr;
    if (!Loader().GetModule(blob.ModuleName(), module))
        module = nullptr;  // an unloadable module: the program's own resources
    const uint8_t* bytes = nullptr;
    uint32_t size = 0;
    if (!LockModuleResource(module, blob.ResourceId(), type, bytes, size))
        return false;
    blob.SetData(size, bytes);
    return true;
}

Vo_ImageFileLink Vo_DocResManager::AdoptPictureBlob(const FileBlob& blob)
{
    const Vo_FileLink3 link(blob);
    std::list<FileBlob>& entry = m_maps->fileCache[link.GetKey()];
    if (entry.empty())
        entry.push_back(blob);
    TextureInfo info = Loader().GetBlobTexture(blob);
    TextureFrameSet& set = m_maps->frameSets[link.GetKey()];
    set.frames.assign(1, info.texture);
    set.width = info.width;
    set.height = info.height;
    set.aspect = info.aspect;
    set.frameTime = 0.0f;
    return Vo_ImageFileLink(link);
}

Vo_ImageFileLink Vo_DocResManager::AdoptFrameBlobs(const std::vector<FileBlob>& blobs,
                                                   const std::vector<float>& delays)
{
    if (blobs.empty())
        return Vo_ImageFileLink();
    const Vo_FileLink3 link(blobs.front());
    TextureFrameSet& set = m_maps->frameSets[link.GetKey()];
    if (!set.frames.empty())
        return Vo_ImageFileLink(link);
    std::list<FileBlob>& entry = m_maps->fileCache[link.GetKey()];
    for (const FileBlob& blob : blobs) {
        TextureInfo info = Loader().GetBlobTexture(blob);
        set.frames.push_back(info.texture);
        set.width = info.width;
        set.height = info.height;
        set.aspect = info.aspect;
        entry.push_back(blob);
    }
    set.delays = delays;
    return Vo_ImageFileLink(link);
}
