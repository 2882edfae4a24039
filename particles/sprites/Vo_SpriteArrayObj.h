#pragma once
#include "model/ComRef.h"
#include "particles/sprites/AnimatedTexture.h"
#include "particles/sprites/ParticleGeomArray.h"
#include "runtime/SpriteMeshDrawable.h"
#include "runtime/Vo_ABObj.h"

class Vo_ParticleSystemCtrl;

// The runtime object of a plain sprite emitter: owns the emitter's clone, moves its particles
// every frame, writes them into its quad mesh and lets the layer draw them with the main
// picture's current frame and the optional overlay picture.
class Vo_SpriteArrayObj : public AnimatedTexture<ParticleGeomArray>, public Vo_ABObj, public SpriteMeshDrawable {
public:
    // Takes ownership of the clone; takes its pictures from the current resource store and makes
    // the buffers and particles for its count.
    explicit Vo_SpriteArrayObj(Vo_ParticleSystemCtrl* clone);
    ~Vo_SpriteArrayObj() override;

    void Render(Vo_ABRender* render) override;
    void Notify(int, int) override {}
    void Relayout() override;
    bool HitTest(float x, float y) const override;
    // The emitter's timeline and clocks start afresh; particles keep their places.
    void Restart() override;
    void Update(float localTime) override;

    // The overlay with a new reference, or null.
    ComRef<IDirect3DTexture9> GetOverlayTexture() const { return m_overlay; }
    Vo_ParticleSystemCtrl& Emitter() const { return *m_emitter; }

    const Vo_IndexedMesh<DX_V::PCT>& SpriteMesh() const override { return *this; }
    IDirect3DTexture9* FrameTexture() const override { return CurrentTexture(); }
    IDirect3DTexture9* OverlayTexture() const override { return m_overlay.Get(); }
    int QuadsToDraw() const override;
    int AdditiveFlag() const override;

private:
    Vo_ParticleSystemCtrl* m_emitter;
    ComRef<IDirect3DTexture9> m_overlay;
};
