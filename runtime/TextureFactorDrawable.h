#pragma once

struct IDirect3DTexture9;
template <class Vertex>
class Vo_IndexedMesh;
namespace DX_V {
struct PCT;
}

// What the layer's texture-factor drawing takes: an indexed mesh of TexVertex with its texture,
// and a first step of its own (it may set a texture transform on stage 0) run with the caller's
// value before the draw.
class TextureFactorDrawable {
public:
    virtual ~TextureFactorDrawable() = default;
    virtual void PrepareStage(int value) = 0;
    virtual const Vo_IndexedMesh<DX_V::PCT>& Mesh() const = 0;
    virtual IDirect3DTexture9* Texture() const = 0;
};
