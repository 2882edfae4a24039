#pragma once
#include "model/MediaQuad.h"
#include "particles/generators/Vo_StaticGenerator.h"

// One textured quad whose four corners the user placed freely in the picture. The quad is built
// once when the runtime object starts; later changes of corners or colour do not reach it.
class Vo_SingleRectGN : public Vo_StaticGenerator {
public:
    Vo_SingleRectGN() = default;
    Vo_SingleRectGN(const Vo_SingleRectGN& other) = default;

    void Init(Vo_ParticlesObj* object) override;

    // The whole record of this level (name, version, corners), then the lower levels.
    void Load(Vo_IOF_Virtual& stream);

    MediaQuad& Quad() { return m_quad; }
    const MediaQuad& Quad() const { return m_quad; }

protected:
    // The corners with the picture on them (mirrored as the flags say) in colour 1, as quad 0.
    void UploadQuad(Vo_ParticlesObj* object);

private:
    MediaQuad m_quad;
};
