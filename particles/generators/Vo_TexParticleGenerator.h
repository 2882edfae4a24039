#pragma once
#include <windows.h>

#include <vector>

#include "model/ColorWithAlpha.h"
#include "model/ComRef.h"
#include "model/MediaParamT.h"
#include "model/TextureFrameSet.h"
#include "model/Vo_HLSLEffectFile.h"
#include "model/Vo_ImageFileLink.h"
#include "particles/generators/Vo_ParticleGenerator.h"

struct ID3DXEffect;
struct IDirect3DTexture9;
class RenderTargetPair;
class Vo_ABRender;
class Vo_ParticlesObj;

// Base of every drawn particle generator: its pictures (picture i is drawn on geometry slot i), an
// effect, two colours with transparency, a blend mode and two mirror flags. Its runtime object
// owns the geometry; the generator rebuilds quads from its own state and draws them through one of
// three routes: straight into the layer, into its mask target with a named technique, and the
// composite of that mask over the layer by blend mode.
class Vo_TexParticleGenerator : public Vo_ParticleGenerator {
public:
    enum BlendMode { kNormal = 0, kScreen = 1, kColorDodge = 2, kSum = 3 };

    Vo_TexParticleGenerator();
    // Copies the values, the frame sets and the effect and keeps the GUID and mask target, so a
    // runtime clone finds the same mask target in the resource store.
    Vo_TexParticleGenerator(const Vo_TexParticleGenerator& other);
    ~Vo_TexParticleGenerator() override;

    Vo_ABObj* CreateObject() override;

    virtual void Render(Vo_ABRender* renderer, Vo_ParticlesObj* object) = 0;
    virtual void Update(float time, Vo_ParticlesObj* object) = 0;
    // Remembers the runtime object and takes the pictures' frame sets and the effect from the
    // current resource store. Every subclass's Init starts with this.
    virtual void Init(Vo_ParticlesObj* object);
    virtual bool HitTest(float x, float y) const { return false; }
    // Screen and colour dodge read the image the layer has drawn so far. Only a generator that
    // composites its mask, and can, asks for it: the layer's chain hands the object a cleared
    // target, which a generator drawing straight into the layer would leave black.
    virtual bool NeedsBackground() const;
    virtual Vo_TexParticleGenerator* Clone() const = 0;

    // The whole record of this level (name, version, fields), then the lower levels.
    void Load(Vo_IOF_Virtual& stream);

    // The current frame of picture i's frame set; null when there is no such picture or frame.
    IDirect3DTexture9* GetFrameTexture(size_t i) const;
    // Slot 0 with the texture through "BlendMask" into the mask target, then the composite; without
    // an effect or mask target, slot 0 straight into the layer (texture times diffuse, blended).
    void DrawBlendMasked(Vo_ABRender* renderer, Vo_ParticlesObj* object, IDirect3DTexture9* texture);
    // Slots first to last (both included), each with its picture, into the mask target cleared to
    // 0x00FFFFFF with the named technique. Does not composite.
    void DrawMasked(const char* technique, Vo_ABRender* renderer, size_t first, size_t last,
                    Vo_ParticlesObj* object);
    // The mask target over the layer's picture quad by blend mode; a mode outside 0-3 draws nothing.
    void Composite(Vo_ABRender* renderer);

    std::vector<Vo_ImageFileLink>& Pictures() { return m_pictures; }
    const std::vector<Vo_ImageFileLink>& Pictures() const { return m_pictures; }
    Vo_HLSLEffectFile& EffectLink() { return m_effectLink; }
    const Vo_HLSLEffectFile& EffectLink() const { return m_effectLink; }
    ColorWithAlpha& Color1() { return m_color1; }
    const ColorWithAlpha& Color1() const { return m_color1; }
    ColorWithAlpha& Color2() { return m_color2; }
    const ColorWithAlpha& Color2() const { return m_color2; }
    MediaParamT<int>& BlendModeParam() { return m_blendMode; }
    const MediaParamT<int>& BlendModeParam() const { return m_blendMode; }
    MediaParamT<int>& VerticalMirror() { return m_verticalMirror; }
    const MediaParamT<int>& VerticalMirror() const { return m_verticalMirror; }
    MediaParamT<int>& HorizontalMirror() { return m_horizontalMirror; }
    const MediaParamT<int>& HorizontalMirror() const { return m_horizontalMirror; }
    std::vector<TextureFrameSet>& FrameSets() { return m_frameSets; }
    const std::vector<TextureFrameSet>& FrameSets() const { return m_frameSets; }
    ID3DXEffect* Effect() const { return m_effect.Get(); }
    RenderTargetPair* MaskTarget() const { return m_maskTarget; }
    const GUID& Guid() const { return m_guid; }
    Vo_ParticlesObj* RuntimeObject() const { return m_object; }

protected:
    // Takes the pair kept under the GUID in the current store and makes it as large as the back
    // buffer; for the generators that draw through a mask.
    void CreateMaskTarget();
    // Whether Render draws through the mask and composites it (sparkles, rays, lightning).
    virtual bool DrawsThroughMask() const { return false; }
    // An effect and a made mask target: the mask route can run.
    bool CanUseMask() const;
    // The layer's picture quad through the effect as its technique and textures stand; then the
    // effect lets go of "Texture1" and "Texture2", which held render targets (the mask, the
    // layer's image) that would make the device reset fail.
    void DrawOverLayer(Vo_ABRender* renderer);

private:
    std::vector<Vo_ImageFileLink> m_pictures;
    Vo_HLSLEffectFile m_effectLink;
    ColorWithAlpha m_color1;
    ColorWithAlpha m_color2;
    MediaParamT<int> m_blendMode;
    MediaParamT<int> m_verticalMirror;
    MediaParamT<int> m_horizontalMirror;
    std::vector<TextureFrameSet> m_frameSets;
    ComRef<ID3DXEffect> m_effect;
    RenderTargetPair* m_maskTarget = nullptr;
    GUID m_guid = {};
    Vo_ParticlesObj* m_object = nullptr;
};
