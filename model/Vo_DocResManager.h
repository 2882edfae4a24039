#pragma once
#include <windows.h>

#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include "model/ComRef.h"
#include "model/DocResMaps.h"
#include "model/Vo_IOF_Item.h"
#include "model/Vo_ImageFileLink.h"

class DeviceResourceLoader;
class FontMediaParam;
class Vo_FileLink3;
class Vo_IOF_Virtual;
struct ID3DXEffect;
struct ID3DXFont;

// The document resource store: the files a scene document embeds, kept under their links or
// GUIDs, and the device objects made from them on demand (frame sets, meshes, effects, fonts,
// render-target pairs). A link whose bytes the document lacks falls back to the program's own
// resources or a resource module. Getters return what they keep, so repeated calls return the
// same object; a missing source gives an empty result, never an error.
class Vo_DocResManager : public Vo_IOF_Item {
public:
    Vo_DocResManager();
    ~Vo_DocResManager() override;
    Vo_DocResManager(const Vo_DocResManager&) = delete;
    Vo_DocResManager& operator=(const Vo_DocResManager&) = delete;

    // The store's fields, after the class name and version that the caller read.
    void Load(Vo_IOF_Virtual& stream, int32_t version);

    TextureFrameSet& GetTextureFrameSet(const Vo_FileLink3& link);
    std::vector<TextureFrameSet*> GetTextureFrameSets(const std::vector<Vo_ImageFileLink>& links);
    // A picture set stored as one "QNT" resource of a module (delays, then file blobs).
    TextureFrameSet& LoadImageSetFromModule(const Vo_FileLink3& link);
    // The first blob of the link, or null. The blob stays where it is while the store lives.
    const FileBlob* GetFileBlob(const Vo_FileLink3& link);
    MeshRecord& GetMesh(const Vo_FileLink3& link, uint32_t stride);
    // The caller's own reference, or null.
    ComRef<ID3DXEffect> GetEffect(const Vo_FileLink3& link);
    // A new font from the description, kept under the GUID (replacing the one kept before).
    ComRef<ID3DXFont> GetFont(const GUID& guid, const FontMediaParam& font);
    RenderTargetPair& GetRenderTargetPair(const GUID& guid);
    // The texture kept under a GUID (a brush's mask); an empty entry is made when there is none.
    ComRef<IDirect3DTexture9>& GuidTexture(const GUID& guid) { return m_maps->guidTextures[guid]; }

    // Embedded pictures that old records carried inline.
    Vo_ImageFileLink AdoptPictureBlob(const FileBlob& blob);
    Vo_ImageFileLink AdoptFrameBlobs(const std::vector<FileBlob>& blobs, const std::vector<float>& delays);

    // Before a device reset: effects and fonts let go of their device objects and the render-
    // target pairs release their textures (Direct3D 9 refuses Reset while any of these lives).
    // Safe to call more than once.
    void OnLostDevice();
    // After a reset, and whenever a layer restores its device objects: effects and fonts come
    // back and every pair is made again from its stored picture.
    void OnResetDevice();

    const DocResMaps& Maps() const { return *m_maps; }

private:
    DeviceResourceLoader& Loader();
    void ReadBlobMap(Vo_IOF_Virtual& stream, std::map<FileLinkKey, std::vector<FileBlob>>& map);
    void ReadDelaysMap(Vo_IOF_Virtual& stream);
    void ReadGuidPictures(Vo_IOF_Virtual& stream);
    void MakeFrameSet(const FileLinkKey& key, const std::vector<FileBlob>& blobs);
    void FillFrames(TextureFrameSet& set, const std::list<FileBlob>& blobs);
    void LoadLinkedPicture(TextureFrameSet& set, const Vo_FileLink3& link);
    void ReplaceFileCacheEntry(const FileLinkKey& key, std::vector<FileBlob> blobs);
    bool FillFromModule(FileBlob& blob, const wchar_t* type);

    std::unique_ptr<DeviceResourceLoader> m_loader;
    std::unique_ptr<DocResMaps> m_maps;
    // Blobs replaced in the file cache; kept because their addresses may have been handed out.
    std::list<FileBlob> m_retiredBlobs;
};

// The store of the render unit being drawn; the document loader and the host set it. A store
// that is destroyed clears it when it is the current one.
extern Vo_DocResManager* CurrentDocResManager;
