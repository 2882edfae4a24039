#pragma once
#include "runtime/Vo_IndexedMesh.h"

// An indexed mesh with a texture (a reference held) and an alpha-blend flag.
class TexturedMesh : public Vo_IndexedMesh<DX_V::PCT> {
public:
    TexturedMesh() = default;

    IDirect3DTexture9* Texture() const { return m_texture.Get(); }
    // Keeps a reference of its own; the one held before is released.
    void SetTexture(IDirect3DTexture9* texture) { m_texture.Assign(texture); }
    uint8_t AlphaBlend() const { return m_alphaBlend; }
    void SetAlphaBlend(uint8_t alphaBlend) { m_alphaBlend = alphaBlend; }

private:
    ComRef<IDirect3DTexture9> m_texture;
    uint8_t m_alphaBlend = 0;
};
