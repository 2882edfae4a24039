#pragma once
#include <windows.h>

#include "model/vo_string.h"
#include "particles/sprites/ParticleGeomArray.h"
#include "runtime/Vo_ABObj.h"

class RenderTargetPair;
class Vo_GlowEffectCtrl;

// The runtime object of a glowing emitter. Three passes a frame: the glow sprites into the glow
// target (a render-target pair the resource store keeps under the object's own identity), the
// glow over the image drawn so far, which the layer hands it, and the sprites on top.
class Vo_GlowingObj : public ParticleGeomArray, public Vo_ABObj {
public:
    // The square side of the glow target.
    static constexpr unsigned int kGlowTargetSize = 512;

    // Takes ownership of the clone; makes its particles and buffers, resolves its effect and
    // pictures and makes the glow target.
    explicit Vo_GlowingObj(Vo_GlowEffectCtrl* clone);
    ~Vo_GlowingObj() override;

    // Without the effect nothing is drawn; without the glow target only the sprites.
    void Render(Vo_ABRender* layer) override;
    void Notify(int, int) override {}
    void Relayout() override {}
    // The image drawn so far, whenever there are sprites to draw and the glow can be laid over
    // it: a layer that hands its image over draws the rest of the slide onto what we draw.
    bool NeedsBackground() const override;
    // The emitter's timeline and clocks start afresh; the particles keep their timers.
    void Restart() override;
    void Update(float localTime) override;

    Vo_GlowEffectCtrl& Emitter() const { return *m_emitter; }
    RenderTargetPair* GlowTarget() const { return m_glowTarget; }
    const GUID& Identity() const { return m_identity; }
    // The four floats of "BlendColor": the glow colour, and its strength times the timeline's fade.
    static void GetBlendColor(const Vo_GlowEffectCtrl& emitter, float blendColor[4]);
    // The composite of the glow over the image: "Blend_Screen" for additive 1, else "Blend_Normal".
    static const char* CompositeTechnique(int additive);

private:
    // The effect is there, and buffers for the emitter's particles (none with a count of 0).
    bool HasSpritesToDraw() const;

    Vo_GlowEffectCtrl* m_emitter;
    GUID m_identity = {};
    vo_string m_name;
    uint8_t m_identityFlag = 1;
    RenderTargetPair* m_glowTarget = nullptr;
};
