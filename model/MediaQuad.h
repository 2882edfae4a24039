#pragma once
#include "model/MediaParamT.h"

class Vo_IOF_Virtual;

// Four corner points; which corner is which is up to the class that uses the quad.
class MediaQuad : public MediaParam {
public:
    static constexpr int kCornerCount = 4;

    MediaQuad() = default;
    MediaQuad(const MediaQuad&) = default;
    MediaQuad& operator=(const MediaQuad&) = delete;

    // Twelve floats, corner after corner as x, y, z, written straight into the values.
    void Load(Vo_IOF_Virtual& stream);

    // index 0 to 3.
    MediaParamTB<D3DXVECTOR3>& Corner(int index) { return m_corners[index]; }
    const MediaParamTB<D3DXVECTOR3>& Corner(int index) const { return m_corners[index]; }

private:
    MediaParamTB<D3DXVECTOR3> m_corners[kCornerCount];
};
