#pragma once
#include "particles/sprites/ParticleGeomArray.h"
#include "runtime/Vo_ABObj.h"

class Vo_StatBaseFXCtrl;

// The runtime object of an effect-quad object: owns the description's clone, lets it place its
// quads every frame and draws them through its effect after the clone has set the parameters.
class Vo_FXObj : public Vo_ABObj {
public:
    // Takes ownership of the clone; makes the quads for its count and resolves its effect.
    explicit Vo_FXObj(Vo_StatBaseFXCtrl* clone);
    ~Vo_FXObj() override;

    // The description sets the effect's parameters; nothing is drawn without an effect, or before
    // the quads were written once.
    void Render(Vo_ABRender* layer) override;
    void Notify(int, int) override {}
    void Relayout() override {}
    void Update(float localTime) override;

    Vo_StatBaseFXCtrl& Emitter() const { return *m_emitter; }
    ParticleGeomArray& Geometry() { return m_geometry; }

private:
    ParticleGeomArray m_geometry;
    Vo_StatBaseFXCtrl* m_emitter;
};
