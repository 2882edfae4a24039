#pragma once
#include <windows.h>

#include <cstdint>

#include "brushes/FXGridMesh.h"
#include "brushes/MaskBounds.h"
#include "model/ComRef.h"
#include "model/MediaParamT.h"
#include "model/MediaQuad.h"
#include "model/MediaSpeedParam.h"
#include "model/UINTSclaleTo.h"
#include "model/Vo_HLSLEffectFile.h"
#include "runtime/Vo_ABObj_Constructor.h"

struct ID3DXEffect;
struct IDirect3DTexture9;
class PictureMesh;
class Vo_ABRender;

// A mask slot: a texture reference held elsewhere (the resource store's entry for a GUID, or a
// caller's variable); a brush takes a reference of its own to what it holds.
using MaskSlot = ComRef<IDirect3DTexture9>;

// Base of every brush: a masked pass of an effect painted into the layer. Owns the phase clock,
// the effect, the mask, the region with its grid, the technique flag and the brush's identity,
// reads the common part of every brush record and supplies the shared drawing steps.
class Vo_FX_Constructor : public Vo_ABObj_Constructor {
public:
    Vo_FX_Constructor();
    // Copies every value and shares the mask, effect and grid buffers (a reference each), so a
    // runtime clone has its description's GUID and so finds the same mask.
    Vo_FX_Constructor(const Vo_FX_Constructor& other);
    Vo_FX_Constructor& operator=(const Vo_FX_Constructor&) = delete;
    ~Vo_FX_Constructor() override;

    Vo_ABObj* CreateObject() override;
    // Lets go of the mask and takes a new identity.
    void ResetIdentity() override;

    // Makes the effect from the link and takes the mask.
    virtual void LoadResources(MaskSlot* maskSlot);
    // The region, in picture pixels, spread over the grid's vertices.
    virtual void UpdateRegionMesh();
    virtual MaskSlot* GetMask() { return &m_mask; }
    // Advances the phase clock; every override does this first.
    virtual void Update(float time);
    virtual void Render(Vo_ABRender* layer) = 0;
    virtual void SetMask(MaskSlot* slot);
    virtual Vo_FX_Constructor* Clone() const = 0;

    // The whole record of this level: name, version, fields, then the scene-object record.
    void Load(Vo_IOF_Virtual& stream);
    // Copy-assignment of this level, used by the layers that hold a brush as a member. The old
    // mask, effect and grid buffers are released.
    void Assign(const Vo_FX_Constructor& source);

    // The common drawing step: technique, "Scale", "Mask", "Background", the layer's picture quad.
    void RenderCommon(Vo_ABRender* layer);
    // Grid brushes: the grid with "Main", or the picture quad with "MainFX".
    void DrawWithTechnique(Vo_ABRender* layer);
    // "Scale" (four floats), "Mask", "Background" and the technique, without drawing.
    void SetScaleMaskBackground(Vo_ABRender* layer);

    // False when the effect could not be made: such a brush draws nothing.
    bool HasEffect() const { return static_cast<bool>(m_effect); }
    // Whether Render paints anything at all. A brush that paints nothing must not ask the layer for
    // the image drawn so far, or that image would be lost from the layer's chain.
    virtual bool CanDraw() const { return HasEffect(); }
    // The brush paints a full-picture pass that reads the image drawn so far.
    bool IsFullImageEffect() const { return m_techniqueFlag.Value() != 0; }
    // Whether the brush needs the image drawn so far handed to it, which makes it a step of the
    // layer's effect chain: its pass then writes every pixel of the next image. A brush that
    // paints only part of the picture must answer false, or the rest of the picture is lost.
    virtual bool ReadsLayerImage() const { return IsFullImageEffect(); }

    MediaSpeedParam& Speed() { return m_speed; }
    const MediaSpeedParam& Speed() const { return m_speed; }
    float Phase() const { return m_speed.Accumulated(); }
    MediaParamT<int>& TechniqueFlag() { return m_techniqueFlag; }
    Vo_HLSLEffectFile& EffectLink() { return m_effectLink; }
    const Vo_HLSLEffectFile& EffectLink() const { return m_effectLink; }
    UINTSclaleTo<float>& ScaleParam() { return m_scale; }
    const UINTSclaleTo<float>& ScaleParam() const { return m_scale; }
    MediaQuad& Region() { return m_region; }
    const MediaQuad& Region() const { return m_region; }
    MediaParamTB<int>& RegionFlag() { return m_regionFlag; }
    const GUID& Guid() const { return m_guid; }
    const vo_string& IdentityName() const { return m_identityName; }
    uint8_t IdentityFlag() const { return m_identityFlag; }
    IDirect3DTexture9* Mask() const { return m_mask.Get(); }
    ID3DXEffect* Effect() const { return m_effect.Get(); }
    const FXGridMesh& Grid() const { return m_grid; }

protected:
    // The mask the effect samples: the brush's own, or a 1 x 1 opaque white one, since what an
    // unbound sampler returns differs between drivers.
    IDirect3DTexture9* MaskOrWhite();
    // The texture the layer hands out as the image drawn so far.
    static IDirect3DTexture9* OutputTexture(Vo_ABRender* layer);
    // 1 x 1 grey (0x808080) for a bump or noise picture that is missing.
    IDirect3DTexture9* NeutralGrey();
    // Replaces the effect (LoadResources does this with the store's effect).
    void SetEffect(const ComRef<ID3DXEffect>& effect) { m_effect = effect; }
    // Whether the effect's "Main" pass leaves every pixel where the mask's alpha is 0 as it was
    // (its alpha is 0 there): RenderCommon then lets the device fill only the screen rectangle of
    // the mask's visible part.
    virtual bool PaintsOnlyThroughMask() const { return false; }

    FXGridMesh m_grid;

private:
    void CopyValuesFrom(const Vo_FX_Constructor& other);
    // The visible part of the mask, worked out once per mask texture.
    const MaskBounds& CurrentMaskBounds();
    // The "MainFX" pass of an effect that also carries kOutsideMaskTechnique: that technique
    // writes the screen outside the mask's rectangle and "MainFX" only the rectangle, so each
    // pixel is written once and the dearer pass runs only where the mask can show.
    void DrawFullImageAroundMask(Vo_ABRender* layer, PictureMesh* picture);

    // Declared by full-image effects whose "MainFX" leaves the image as it is where the mask's
    // alpha is 0: the same output there for less work per pixel.
    static constexpr const char* kOutsideMaskTechnique = "MainFXOutsideMask";

    MediaSpeedParam m_speed;
    MediaParamT<int> m_techniqueFlag;
    Vo_HLSLEffectFile m_effectLink;
    UINTSclaleTo<float> m_scale;
    MediaQuad m_region;
    MediaParamTB<int> m_regionFlag;
    GUID m_guid = {};
    vo_string m_identityName;
    uint8_t m_identityFlag = 1;
    ComRef<IDirect3DTexture9> m_mask;
    ComRef<ID3DXEffect> m_effect;
    ComRef<IDirect3DTexture9> m_whiteMask;
    ComRef<IDirect3DTexture9> m_greyMap;
    // The texture m_maskBounds was found for; held, so that its address names it.
    ComRef<IDirect3DTexture9> m_maskBoundsOf;
    MaskBounds m_maskBounds;
};
