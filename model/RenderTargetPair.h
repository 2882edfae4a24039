#pragma once
#include <cstdint>

#include "model/ComRef.h"

struct IDirect3DTexture9;
struct IDirect3DSurface9;

// Two render-target textures of one size used in turn: one is drawn into while the other holds
// the image drawn before. The textures live in the default pool, so the owner releases them
// before a device reset and makes them again afterwards.
class RenderTargetPair {
public:
    // Makes both textures (unless a side is 0, which only records the size); the recorded size
    // becomes the real size of the textures. Textures that the pair already holds at that size,
    // made on the current device, are kept: they hold what was drawn last, which every user
    // clears or overwrites before reading.
    void Create(uint32_t width, uint32_t height);
    // Create, then scale the source's level 0 into the current texture (a null source leaves the
    // targets uncleared).
    void CopyFrom(IDirect3DTexture9* source, uint32_t width, uint32_t height);
    void ReleaseTextures();
    // Makes the other texture current, sets it as render target 0 and clears it to opaque black;
    // returns the previous texture (borrowed), which holds the image drawn so far.
    IDirect3DTexture9* Swap();

    // Saves render target 0 and the depth surface in this pair, then draws into the target
    // pair's current texture without depth; End puts the saved surfaces back.
    void Begin(RenderTargetPair& target);
    void End();

    IDirect3DTexture9* Current() const { return m_current.Get(); }
    IDirect3DTexture9* Texture(int i) const { return m_textures[i & 1].Get(); }
    uint32_t Width() const { return m_width; }
    uint32_t Height() const { return m_height; }
    int Index() const { return m_index; }

private:
    ComRef<IDirect3DTexture9> m_current;
    ComRef<IDirect3DTexture9> m_textures[2];
    ComRef<IDirect3DSurface9> m_savedTarget;
    ComRef<IDirect3DSurface9> m_savedDepth;
    uint32_t m_width = 0;
    uint32_t m_height = 0;
    int m_index = 0;
};
