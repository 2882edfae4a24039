#pragma once
#include <d3dx9math.h>

#include "model/MediaRectangle.h"
#include "particles/sprites/Vo_ParticleSystemCtrl.h"

// A picture placed at a point of the picture and turned by a rotation; its rectangle holds the
// centre and, once placed, the bounding box of the turned sprite. Made for a count of 1: every
// particle sits on the same place.
class Vo_StatObjConstructor : public Vo_ParticleSystemCtrl {
public:
    Vo_StatObjConstructor();
    Vo_StatObjConstructor(const Vo_StatObjConstructor& other);

    Vo_ParticleSystemCtrl* Clone() const override { return new Vo_StatObjConstructor(*this); }
    Vo_ABObj* CreateObject() override;
    // The object's own rectangle, not the placed-object rectangle.
    void GetScreenQuad(ScreenQuad* quad) const override;
    bool HitTest(float x, float y) const override;
    void SpawnParticle(SpriteParticle& p) override { PlaceParticle(p); }
    void UpdateParticle(SpriteParticle&) override {}

    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);
    // Centre, size, colour and the turned axes; then the rectangle becomes their bounding box.
    void PlaceParticle(SpriteParticle& p);
    void UpdateRectangle(const SpriteParticle& p);

    MediaRectangle& Rectangle() { return m_rectangle; }
    const MediaRectangle& Rectangle() const { return m_rectangle; }
    MediaParamT<unsigned int>& Rotation() { return m_rotation; }
    const D3DXMATRIX& RotationMatrix() const { return m_rotationMatrix; }

private:
    MediaRectangle m_rectangle;
    MediaParamT<unsigned int> m_rotation;
    D3DXMATRIX m_rotationMatrix;
};
