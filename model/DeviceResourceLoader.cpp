#include "model/DeviceResourceLoader.h"

#include <d3dx9.h>

#include <algorithm>
#include <vector>

#include "model/CurrentDevice.h"
#include "model/D3DResourceMakers.h"
#include "model/DataBuffer.h"

DeviceResourceLoader* CurrentResourceLoader = nullptr;

namespace {

constexpr int32_t kNoisePictureId = 2;

// Loaders alive, oldest first, so that CurrentResourceLoader can fall back to a living one.
std::vector<DeviceResourceLoader*> s_liveLoaders;

// A blob that names a file, or holds bytes without a resource id, is not a module resource.
bool IsModuleResource(const FileBlob& blob) { return blob.Name().empty() && blob.ResourceId() != 0; }

}  // namespace

DeviceResourceLoader::DeviceResourceLoader() { s_liveLoaders.push_back(this); }

DeviceResourceLoader::~DeviceResourceLoader()
{
    s_liveLoaders.erase(std::remove(s_liveLoaders.begin(), s_liveLoaders.end(), this), s_liveLoaders.end());
    // Scene objects of other render units still call CurrentResourceLoader after this store's
    // unit has released its scene.
    if (CurrentResourceLoader == this)
        CurrentResourceLoader = s_liveLoaders.empty() ? nullptr : s_liveLoaders.back();
}

DeviceResourceCache& DeviceResourceLoader::Cache()
{
    // A texture keeps its device alive, so a cache that holds device objects can never be found
    // again under the address of a later device.
    return m_caches[CurrentDevice];
}

ComRef<IDirect3DTexture9> DeviceResourceLoader::GetBuiltInNoisePicture()
{
    ComRef<IDirect3DTexture9>& cached = Cache().builtInPictures[kNoisePictureId];
    if (!cached)
        LoadTextureFromResource(cached, kNoisePictureId, true);
    return cached;
}

bool DeviceResourceLoader::GetModule(const vo_string& name, ModuleHandle& module)
{
    std::map<vo_string, ModuleHandle>& modules = Cache().modules;
    auto found = modules.find(name);
    if (found != modules.end()) {
        module = found->second;
        return true;
    }
    module = nullptr;
    if (!name.empty() && !OpenResourceModule(name, module))
        return false;  // not cached: the next request tries again
    modules[name] = module;
    return true;
}

TextureInfo DeviceResourceLoader::LoadFileTexture(const vo_string& path)
{
    TextureInfo& cached = Cache().fileTextures[path];
    if (cached.texture)
        return cached;
    cached = TextureInfo();
    if (!CurrentDevice || path.empty())
        return cached;
    ComRef<IDirect3DTexture9> texture;
    D3DXIMAGE_INFO info = {};
    if (SUCCEEDED(D3DXCreateTextureFromFileExW(CurrentDevice, path.c_str(), D3DX_DEFAULT, D3DX_DEFAULT, 1,
                                               0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_FILTER_TRIANGLE,
                                               D3DX_FILTER_NONE, 0, &info, nullptr, texture.Receive())) &&
        texture)
        MakeTextureInfo(cached, texture.Get(), info.Width, info.Height);
    return cached;
}

TextureInfo LoadMemoryTexture(const uint8_t* bytes, uint32_t size)
{
    TextureInfo result;
    ComRef<IDirect3DTexture9> texture;
    D3DXIMAGE_INFO info = {};
    if (SUCCEEDED(LoadTextureFromMemory(info, size, bytes, texture)))
        MakeTextureInfo(result, texture.Get(), info.Width, info.Height);
    return result;
}

TextureInfo DeviceResourceLoader::GetBlobTexture(const FileBlob& blob)
{
    if (!blob.Name().empty()) {
        if (!blob.Size())
            return LoadFileTexture(blob.Name());
        return LoadMemoryTexture(blob.Data(), blob.Size());
    }
    // Every blob without a resource id would share one cache entry under id 0.
    if (!IsModuleResource(blob))
        return LoadMemoryTexture(blob.Data(), blob.Size());
    ModuleHandle module = nullptr;
    if (GetModule(blob.ModuleName(), module))
        return GetModuleBlobTexture(blob, module);
    return GetUnloadableModuleBlobTexture(blob);
}

TextureInfo DeviceResourceLoader::GetModuleBlobTexture(const FileBlob& blob, ModuleHandle module)
{
    TextureInfo& cached = Cache().moduleTextures[{module, blob.ResourceId()}];
    if (cached.texture)
        return cached;
    cached = TextureInfo();
    ComRef<IDirect3DTexture9> texture;
    D3DXIMAGE_INFO info = {};
    if (SUCCEEDED(LoadTextureFromModuleResource(module, blob.ResourceId(), texture, info)))
        MakeTextureInfo(cached, texture.Get(), info.Width, info.Height);
    else
        cached = LoadMemoryTexture(blob.Data(), blob.Size());
    return cached;
}

TextureInfo DeviceResourceLoader::GetUnloadableModuleBlobTexture(const FileBlob& blob)
{
    TextureInfo& cached = Cache().unloadableModuleTextures[{blob.ModuleName(), blob.ResourceId()}];
    if (cached.texture)
        return cached;
    MakeTextureInfo(cached, nullptr, 800, 600);
    ComRef<IDirect3DTexture9> texture;
    D3DXIMAGE_INFO info = {};
    if (SUCCEEDED(LoadTextureFromMemory(info, blob.Size(), blob.Data(), texture)))
        MakeTextureInfo(cached, texture.Get(), info.Width, info.Height);
    return cached;
}

MeshRecord DeviceResourceLoader::GetBlobMesh(const FileBlob& blob, uint32_t stride)
{
    MeshRecord record;
    if (!blob.Name().empty()) {
        if (blob.Size())
            LoadMeshFromMemory(blob.Data(), blob.Size(), stride, record);
        else
            LoadMeshFromFile(blob.Name(), stride, record);
        return record;
    }
    ModuleHandle module = nullptr;
    if (!IsModuleResource(blob) || !GetModule(blob.ModuleName(), module)) {
        LoadMeshFromMemory(blob.Data(), blob.Size(), stride, record);
        return record;
    }
    if (stride != kMeshVertexStride)
        return record;  // would cache an empty record for a request that can never succeed
    std::map<std::pair<ModuleHandle, int32_t>, MeshRecord>& meshes = Cache().meshes;
    auto found = meshes.find({module, blob.ResourceId()});
    if (found != meshes.end())
        return found->second;
    if (FAILED(LoadMeshFromResource(module, blob.ResourceId(), stride, record)))
        LoadMeshFromMemory(blob.Data(), blob.Size(), stride, record);
    // Kept even when empty: a mesh the module lacks is not looked for again.
    meshes[{module, blob.ResourceId()}] = record;
    return record;
}
