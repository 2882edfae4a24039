#pragma once

struct IDirect3DTexture9;
template <class Vertex>
class Vo_IndexedMesh;
namespace DX_V {
struct PCT;
}

// What the layer's sprite drawing takes from a sprite runtime object: its quad mesh, the picture
// of the current animation frame, an optional overlay picture, how many quads to draw and the
// emitter's additive flag. The particle systems implement it; the layer knows no more of them.
class SpriteMeshDrawable {
public:
    virtual ~SpriteMeshDrawable() = default;
    virtual const Vo_IndexedMesh<DX_V::PCT>& SpriteMesh() const = 0;
    // Null when the picture has no frames: then nothing is drawn.
    virtual IDirect3DTexture9* FrameTexture() const = 0;
    // Borrowed, not referenced; null without an overlay.
    virtual IDirect3DTexture9* OverlayTexture() const = 0;
    // 0 when the quads were never written.
    virtual int QuadsToDraw() const = 0;
    virtual int AdditiveFlag() const = 0;
};
