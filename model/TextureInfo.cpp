#include "model/TextureInfo.h"

#include <d3d9.h>

void MakeTextureInfo(TextureInfo& info, IDirect3DTexture9* texture, uint32_t width, uint32_t height)
{
    info.texture.Assign(texture);
    info.width = width;
    info.height = height;
    info.aspect = width ? static_cast<float>(height) / static_cast<float>(width) : 1.0f;
}
