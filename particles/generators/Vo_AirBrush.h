#pragma once
#include <vector>

#include "model/MediaParamT.h"
#include "particles/generators/ProcessParticle.h"
#include "particles/generators/Vo_TexParticleGenerator.h"

// A generator level holding a brush size and the points of the strokes a user painted, each a
// particle with its own life cycle. On its own it draws slot 0 with picture 0 through the mask.
class Vo_AirBrush : public Vo_TexParticleGenerator {
public:
    Vo_AirBrush() = default;
    // Copies every point with its life-cycle steps.
    Vo_AirBrush(const Vo_AirBrush& other);

    void Render(Vo_ABRender* renderer, Vo_ParticlesObj* object) override;
    void Update(float, Vo_ParticlesObj*) override {}
    Vo_TexParticleGenerator* Clone() const override { return new Vo_AirBrush(*this); }
    // Appends a stroke point with age 0 and both values 1.
    virtual void AddPoint(const D3DXVECTOR3& point);

    // The whole record of this level (name, version, fields), then the lower levels.
    void Load(Vo_IOF_Virtual& stream);

    MediaParamT<unsigned int>& BrushSize() { return m_brushSize; }
    const MediaParamT<unsigned int>& BrushSize() const { return m_brushSize; }
    std::vector<ProcessParticle>& Points() { return m_points; }
    const std::vector<ProcessParticle>& Points() const { return m_points; }

protected:
    bool DrawsThroughMask() const override { return true; }

private:
    MediaParamT<unsigned int> m_brushSize;
    std::vector<ProcessParticle> m_points;
};
