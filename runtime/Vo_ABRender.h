#pragma once
#include "model/Vo_IOF_Item.h"

struct _D3DSURFACE_DESC;
struct IDirect3DTexture9;
struct ID3DXEffect;
typedef long HRESULT;

template <class Vertex>
class Vo_IndexedMesh;
template <class Vertex>
class Vo_SimpleMesh;
namespace DX_V {
struct PCT;
}
class MeshInstance;
class PictureMesh;
class TextureFactorDrawable;
class SpriteMeshDrawable;
class TexturedMesh;

// The layer's drawing interface: everything a scene object may do to draw into its slide. Each
// drawing service binds one vertex layout, sets the fixed-function states it needs and draws
// once, or once per pass of an effect whose technique and parameters the caller has set. Meshes
// are passed by address; effects as the address of the caller's effect pointer.
class Vo_ABRender : public Vo_IOF_Item {
public:
    // Objects that draw into a texture of their own (masks, text, glow) lay the view out for it.
    virtual void PushTargetSize(const _D3DSURFACE_DESC& surface, int mode) = 0;
    virtual void PopTargetSize() = 0;

    virtual HRESULT DrawIndexedWithEffect(Vo_IndexedMesh<DX_V::PCT>* mesh, ID3DXEffect** effect) = 0;
    virtual HRESULT DrawListWithEffect(Vo_SimpleMesh<DX_V::PCT>* mesh, ID3DXEffect** effect) = 0;
    virtual HRESULT DrawStripWithEffect(Vo_SimpleMesh<DX_V::PCT>* mesh, ID3DXEffect** effect) = 0;
    virtual HRESULT DrawColoredIndexed(Vo_IndexedMesh<DX_V::PCT>* mesh, ID3DXEffect** effect,
                                       int primitiveCount, float unused) = 0;
    virtual HRESULT DrawColoredIndexedWithEffect(Vo_IndexedMesh<DX_V::PCT>* mesh, ID3DXEffect** effect) = 0;
    virtual HRESULT DrawMeshList(MeshInstance* instance) = 0;
    virtual HRESULT DrawSpriteMesh(SpriteMeshDrawable* sprites) = 0;
    virtual HRESULT DrawMeshListTextured(TexturedMesh* mesh) = 0;
    virtual HRESULT DrawWithTextureFactor(TextureFactorDrawable* object, int value) = 0;

    // The image drawn so far, for objects that read their background.
    virtual IDirect3DTexture9** GetOutputTexture() = 0;
    virtual PictureMesh* GetPictureMesh() = 0;
    virtual unsigned GetPictureWidth() const = 0;
    virtual unsigned GetPictureHeight() const = 0;
};
