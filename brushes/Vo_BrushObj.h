#pragma once
#include "runtime/Vo_ABObj.h"

class Vo_FX_Constructor;

// The runtime object of a brush: owns the clone it was made from, hands it the mask kept under its
// GUID, and forwards the layer's per-frame calls to it.
class Vo_BrushObj : public Vo_ABObj {
public:
    // Takes ownership of the clone and lets it load its effect and mask.
    explicit Vo_BrushObj(Vo_FX_Constructor* clone);

    void Render(Vo_ABRender* layer) override;
    void Notify(int value, int) override;
    void Relayout() override {}
    // An enabled brush that reads the image drawn so far asks for it; a brush that draws nothing
    // (no effect, switched off) must not take a place in the layer's effect chain.
    bool NeedsBackground() const override;
    int GetKind() const override { return kKind; }
    void Update(float localTime) override;

    Vo_FX_Constructor* Brush() const { return m_brush; }

    static constexpr int kKind = 4;

private:
    Vo_FX_Constructor* m_brush;
};
