#pragma once
#include <cstdint>
#include <map>

#include "model/DeviceResourceCache.h"
#include "model/MeshRecord.h"
#include "model/ModuleResource.h"
#include "model/TextureInfo.h"
#include "model/vo_string.h"

struct IDirect3DDevice9;
struct IDirect3DTexture9;
class FileBlob;

// Makes textures and meshes from file bytes, module resources and the program's own pictures,
// and caches what it makes from files and resources, separately for each device. Everything it
// returns carries a reference of the caller's own.
class DeviceResourceLoader {
public:
    DeviceResourceLoader();
    ~DeviceResourceLoader();
    DeviceResourceLoader(const DeviceResourceLoader&) = delete;
    DeviceResourceLoader& operator=(const DeviceResourceLoader&) = delete;

    // The program's "QNT" picture 2 (512 x 512 grey noise) with a full mip chain.
    ComRef<IDirect3DTexture9> GetBuiltInNoisePicture();
    TextureInfo GetBlobTexture(const FileBlob& blob);
    TextureInfo LoadFileTexture(const vo_string& path);
    MeshRecord GetBlobMesh(const FileBlob& blob, uint32_t stride);
    // True with the handle when the module can be used; the empty name is the program itself.
    bool GetModule(const vo_string& name, ModuleHandle& module);

private:
    DeviceResourceCache& Cache();
    TextureInfo GetModuleBlobTexture(const FileBlob& blob, ModuleHandle module);
    TextureInfo GetUnloadableModuleBlobTexture(const FileBlob& blob);

    std::map<IDirect3DDevice9*, DeviceResourceCache> m_caches;
};

// A picture file held in memory; nothing is cached.
TextureInfo LoadMemoryTexture(const uint8_t* bytes, uint32_t size);

// The loader that every render unit uses: the one of the resource store made last that still
// exists (a loader that is destroyed hands the role back to the one made before it).
extern DeviceResourceLoader* CurrentResourceLoader;
