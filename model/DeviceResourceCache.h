#pragma once
#include <cstdint>
#include <map>
#include <utility>

#include "model/ComRef.h"
#include "model/MeshRecord.h"
#include "model/ModuleResource.h"
#include "model/TextureInfo.h"
#include "model/vo_string.h"

struct IDirect3DTexture9;

// What a DeviceResourceLoader made for one device. A texture or buffer belongs to the device that
// made it, so the loader keeps one cache per device.
struct DeviceResourceCache {
    std::map<int32_t, ComRef<IDirect3DTexture9>> builtInPictures;
    std::map<vo_string, TextureInfo> fileTextures;
    std::map<std::pair<ModuleHandle, int32_t>, TextureInfo> moduleTextures;
    std::map<std::pair<vo_string, int32_t>, TextureInfo> unloadableModuleTextures;
    std::map<std::pair<ModuleHandle, int32_t>, MeshRecord> meshes;
    std::map<vo_string, ModuleHandle> modules;
};
