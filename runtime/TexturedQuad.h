#pragma once
#include "runtime/Vo_SimpleMesh.h"

// A four-vertex strip with one texture (a reference held) and a flag byte.
class TexturedQuad : public Vo_SimpleMesh<DX_V::PCT> {
public:
    TexturedQuad() = default;

    // ScreenTexVertex quad: texture := the given one (reference added), a new buffer with the
    // quad's corners, z 0, rhw := the quad's z, its texture coordinates and opaque white.
    HRESULT SetTexturedQuad(IDirect3DTexture9* texture, const ScreenQuad& quad);

    // The program's splash picture ("QNT" resource 5) on the SplashQuad of the current back
    // buffer, opaque. Returns the picture's load failure, if any (the quad is built anyway).
    HRESULT BuildSplashQuad();
    // SetTexturedQuad with the program's "QNT" picture 0, which the program does not hold: the
    // texture stays null.
    HRESULT LoadTexturedQuad(const ScreenQuad& quad);

    // The splash picture's square for a W x H back buffer: side two thirds of the height,
    // centred; z 1 (read as rhw 1) and the standard texture coordinates.
    static ScreenQuad SplashQuad(int backBufferWidth, int backBufferHeight);

    IDirect3DTexture9* Texture() const { return m_texture.Get(); }
    void SetTexture(IDirect3DTexture9* texture) { m_texture.Assign(texture); }
    void ReleaseTexture() { m_texture.Reset(); }
    uint8_t Flag() const { return m_flag; }
    void SetFlag(uint8_t flag) { m_flag = flag; }

private:
    ComRef<IDirect3DTexture9> m_texture;
    uint8_t m_flag = 0;
};
