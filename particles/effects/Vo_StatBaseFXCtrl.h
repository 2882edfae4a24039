#pragma once
#include <d3dx9math.h>

#include "model/MediaParamT.h"
#include "particles/effects/Vo_BaseFXCtrl.h"

class Vo_ABRender;

// An object that draws one quad (or a few) placed by itself through its own effect: the explosion
// and the static text. Its runtime object moves the quads every frame and lets it choose the
// technique and set the effect's parameters before each draw.
class Vo_StatBaseFXCtrl : public Vo_BaseFXCtrl {
public:
    // The size a record without one gives the quad, in picture pixels.
    static constexpr unsigned int kDefaultWidth = 256;
    static constexpr unsigned int kDefaultHeight = 64;

    // Centred on the picture laid out last.
    Vo_StatBaseFXCtrl();
    Vo_StatBaseFXCtrl(const Vo_StatBaseFXCtrl& other);

    // Resolves inline pictures, then an effect-quad object around a clone.
    Vo_ABObj* CreateObject() override;
    // The quads are placed by UpdateParticle, not when they are made.
    void SpawnParticle(SpriteParticle&) override {}
    void UpdateParticle(SpriteParticle&) override {}
    // Chooses the technique and sets every parameter of the effect for the coming draw; false
    // when there is nothing to draw with (the quads are then skipped).
    virtual bool SetEffectParams(Vo_ABRender* layer) = 0;

    // The whole record of this level (name, version, fields), then the lower levels.
    void Load(Vo_IOF_Virtual& stream);

    MediaParamT<D3DXVECTOR3>& Position() { return m_position; }
    const MediaParamT<D3DXVECTOR3>& Position() const { return m_position; }
    MediaParamT<unsigned int>& Height() { return m_height; }
    const MediaParamT<unsigned int>& Height() const { return m_height; }
    MediaParamT<unsigned int>& Width() { return m_width; }
    const MediaParamT<unsigned int>& Width() const { return m_width; }

private:
    MediaParamT<D3DXVECTOR3> m_position;
    MediaParamT<unsigned int> m_height;
    MediaParamT<unsigned int> m_width;
};
