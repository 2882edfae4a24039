#pragma once
#include <cstdint>

#include "model/ComRef.h"

struct IDirect3DTexture9;

// A texture with the size of the picture it was decoded from (not the texture's own size, which
// the device may have rounded). Copies share the texture with a reference each.
struct TextureInfo {
    ComRef<IDirect3DTexture9> texture;
    uint32_t width = 0;
    uint32_t height = 0;
    float aspect = 1.0f;  // height / width
};

// Replaces the texture (keeping a reference of its own to the borrowed pointer) and the size.
// A width of 0 would make the aspect meaningless; such a picture gets the aspect 1.
void MakeTextureInfo(TextureInfo& info, IDirect3DTexture9* texture, uint32_t width, uint32_t height);
