#pragma once
#include "model/ComRef.h"
#include "model/MediaColor.h"
#include "model/UINTSclaleTo.h"
#include "particles/effects/Vo_FXParticleSystemCtrl.h"

struct IDirect3DTexture9;

// An effect emitter whose sprites glow: its runtime object draws the glow sprites (the second
// picture) into a target of its own, lays that glow over the image drawn so far in the glow
// colour and strength, and draws the sprites (the main picture) on top.
class Vo_GlowEffectCtrl : public Vo_FXParticleSystemCtrl {
public:
    Vo_GlowEffectCtrl();
    // Shares both textures with references of its own.
    Vo_GlowEffectCtrl(const Vo_GlowEffectCtrl& other);
    ~Vo_GlowEffectCtrl() override;

    // A glowing object around a clone.
    Vo_ABObj* CreateObject() override;
    // The effect, then the current frames of the second and the main picture.
    void ResolveEffect() override;
    // Called by the glowing object once a frame before the particles move.
    virtual void PrepareFrame() {}

    // The whole record of this level (name, version, fields), then the lower levels.
    void Load(Vo_IOF_Virtual& stream);

    MediaColor& GlowColour() { return m_glowColour; }
    const MediaColor& GlowColour() const { return m_glowColour; }
    UINTSclaleTo<float>& GlowStrength() { return m_glowStrength; }
    const UINTSclaleTo<float>& GlowStrength() const { return m_glowStrength; }
    IDirect3DTexture9* GlowTexture() const { return m_glowTexture.Get(); }
    IDirect3DTexture9* SpriteTexture() const { return m_spriteTexture.Get(); }

protected:
    // The glow texture from the second picture and the sprite texture from the main picture.
    void TakeTextures();

private:
    MediaColor m_glowColour;
    UINTSclaleTo<float> m_glowStrength;
    ComRef<IDirect3DTexture9> m_glowTexture;
    ComRef<IDirect3DTexture9> m_spriteTexture;
};
