#pragma once
#include <cstdint>

#include "brushes/Vo_UnderwaterFX.h"
#include "runtime/Vo_2D_Light.h"

struct IDirect3DTexture9;
class Vo_IOF_Virtual;

// A layer that gives the whole slide an underwater look: the picture and the slide's objects are
// drawn into the layer's render-target pair, and the finished image is then drawn, distorted by
// the layer's own underwater brush, onto the real target.
class FakeUndervater : public Vo_2D_Light {
public:
    FakeUndervater();
    ~FakeUndervater() override;

    // Version 1 holds only the brush's speed; every other version a whole brush record. Then the
    // base layer's record.
    void Load(int32_t version, Vo_IOF_Virtual& stream);

    // The base content, then the brush's effect, with no mask.
    void LoadContent() override;
    void Update(float time) override;
    // Ends the pair, draws its image through the brush onto the saved target, then the borders
    // unless nested.
    void EndRender(int nested) override;
    bool HasOwnPostEffect() const override { return true; }

    Vo_UnderwaterFX& Brush() { return m_brush; }
    const Vo_UnderwaterFX& Brush() const { return m_brush; }

private:
    // Without its effect the brush cannot draw; the image then goes onto the target as it is, so
    // that no pixel keeps an earlier frame.
    void DrawImageUndistorted(IDirect3DTexture9* image);

    Vo_UnderwaterFX m_brush;
};

// The reader registered under "FakeUndervater": a new layer with the record of that version.
FakeUndervater* CreateFakeUndervater(Vo_IOF_Virtual& stream, int32_t version);
