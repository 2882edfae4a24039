#pragma once
#include <d3d9.h>

#include <cstdint>
#include <vector>

#include "model/ComRef.h"
#include "model/RenderTargetPair.h"
#include "model/TextureInfo.h"
#include "model/ParamBindingList.h"
#include "model/Vo_ImageFileLink.h"
#include "runtime/CountedHandle.h"
#include "runtime/Kad_Camera.h"
#include "runtime/Vo_ABRender.h"
#include "runtime/PictureMesh.h"
#include "runtime/VertexTypes.h"
#include "runtime/Vo_SimpleMesh.h"

class TexturedQuad;
class Vo_ABObj;
class Vo_IOF_Virtual;

// The layer of a slide: shows the slide's picture under its camera and placement mode, lets the
// slide's drawn objects paint into it from the last to the first, and hands the image drawn so far
// to the objects that need it through a ping-pong render-target pair. Layer variants derive from
// it and replace some of its steps, calling the base step first. The slide's objects draw only
// through its drawing services (the Vo_ABRender interface).
class Vo_2D_Light : public Vo_ABRender {
public:
    using ObjectList = std::vector<CountedHandle<Vo_ABObj>>;

    Vo_2D_Light();
    Vo_2D_Light(const Vo_2D_Light&) = delete;
    Vo_2D_Light& operator=(const Vo_2D_Light&) = delete;
    ~Vo_2D_Light() override;

    // Objects that draw into a texture of their own lay the view out for its size and put the
    // outer size back afterwards; pushes nest and all layers share one stack.
    void PushTargetSize(const D3DSURFACE_DESC& surface, int mode) override;
    void PopTargetSize() override;

    // The drawing services; each sets the states it needs and draws once or once per pass.
    HRESULT DrawIndexedWithEffect(Vo_IndexedMesh<DX_V::PCT>* mesh, ID3DXEffect** effect) override;
    HRESULT DrawListWithEffect(Vo_SimpleMesh<DX_V::PCT>* mesh, ID3DXEffect** effect) override;
    HRESULT DrawStripWithEffect(Vo_SimpleMesh<DX_V::PCT>* mesh, ID3DXEffect** effect) override;
    HRESULT DrawColoredIndexed(Vo_IndexedMesh<DX_V::PCT>* mesh, ID3DXEffect** effect, int primitiveCount,
                               float unused) override;
    HRESULT DrawColoredIndexedWithEffect(Vo_IndexedMesh<DX_V::PCT>* mesh, ID3DXEffect** effect) override;
    HRESULT DrawMeshList(MeshInstance* instance) override;
    HRESULT DrawSpriteMesh(SpriteMeshDrawable* sprites) override;
    HRESULT DrawMeshListTextured(TexturedMesh* mesh) override;
    HRESULT DrawWithTextureFactor(TextureFactorDrawable* object, int value) override;

    // The image the object being drawn may read as its background.
    IDirect3DTexture9** GetOutputTexture() override { return &m_outputTexture; }
    PictureMesh* GetPictureMesh() override { return &m_pictureMesh; }
    unsigned GetPictureWidth() const override { return Picture().width; }
    unsigned GetPictureHeight() const override { return Picture().height; }

    virtual void LoadContent();
    virtual void RestoreDeviceObjects();
    virtual void InvalidateDeviceObjects();
    virtual void EndRender(int nested);
    virtual void BeginRender(int nested);
    virtual void Update(float time);
    virtual void Layout(int width, int height);
    virtual void SetPicturePosition(int mode);
    virtual bool IsCameraSwayOn() const { return m_camera.SwayMode().Value() == 1; }
    // Null draws nothing.
    virtual HRESULT DrawOverlayQuad(Vo_SimpleMesh<DX_V::PCT>* mesh);
    virtual HRESULT DrawTexturedQuad(TexturedQuad* quad);
    // n: the drawn objects that need the background, plus one for a layer with its own post effect.
    virtual void ApplyEffects(const ObjectList& objects, int n);
    virtual void BeginEffects();
    virtual IDirect3DTexture9* SwapTarget() { return m_targets.Swap(); }
    virtual RenderTargetPair& EndEffects(bool clear);
    virtual bool HasOwnPostEffect() const { return false; }
    virtual void OnPictureChanged();

    // Reads the whole record (class name, version, fields); variants call it last in their reader.
    void Load(Vo_IOF_Virtual& stream);
    // The fields after the class name and version.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    Vo_ImageFileLink& PictureLink() { return m_pictureLink; }
    const Vo_ImageFileLink& PictureLink() const { return m_pictureLink; }
    Kad_Camera& Camera() { return m_camera; }
    const Kad_Camera& Camera() const { return m_camera; }
    const TextureInfo& Picture() const { return m_pictureMesh.Picture(); }
    RenderTargetPair& Targets() { return m_targets; }
    int TargetWidth() const { return m_targetWidth; }
    int TargetHeight() const { return m_targetHeight; }
    // The picture-position mode kept across an effect chain.
    int EffectMode() const { return m_effectMode; }
    bool SizePushed() const { return m_sizePushed != 0; }

protected:
    // Takes a reference to the texture and lets the previous one go; variants that finish the
    // frame themselves hand their post effect the image drawn so far through it.
    void SetOutputTexture(IDirect3DTexture9* texture);
    // BeginRender for a variant that paints every pixel of the picture below texture row
    // coveredFromV (0 at its top edge, 1 at its bottom) over again, opaque: the picture's rows
    // below it are left to that draw, so the device fills them once.
    void BeginRenderCoveredBelow(int nested, float coveredFromV);

private:
    void BindPictureObserver();
    void LayoutView(int width, int height, int mode, bool noScaling);

    Vo_ImageFileLink m_pictureLink;
    Kad_Camera m_camera;
    PictureMesh m_pictureMesh;
    // A counted reference on every store: the pair's Swap hands out a borrowed one.
    IDirect3DTexture9* m_outputTexture = nullptr;
    int m_effectMode = 1;
    int m_pushMode = 1;
    RenderTargetPair m_targets;
    // Holds the control that reloads the picture when the link changes.
    ParamBindingList m_bindings;
    int m_targetWidth = 0;
    int m_targetHeight = 0;
    uint8_t m_sizePushed = 0;
};

// The reader registered under "Vo_2D_Light": a new layer with the fields of that version.
Vo_2D_Light* CreateLight2D(Vo_IOF_Virtual& stream, int32_t version);

// Sway mode 1 without notification and a cleared sway state; run whenever the slide is shown.
void ResetCameraSway(Vo_2D_Light& layer);
