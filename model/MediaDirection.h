#pragma once
#include "model/MediaParamT.h"

// An angle in degrees with the two unit axes it rotates to. The axes are computed from the angle
// the parameter has when it is constructed or copied, never copied themselves: an angle read
// from a record reaches the axes in the copy that scene objects work on.
class MediaDirection : public MediaParamT<unsigned int> {
public:
    explicit MediaDirection(unsigned int angle = 0);
    MediaDirection(const MediaDirection& other);
    MediaDirection& operator=(const MediaDirection&) = delete;

    // Recomputes both axes from the current angle.
    void UpdateAxes();

    const D3DXVECTOR4& XAxis() const { return m_xAxis; }
    const D3DXVECTOR4& YAxis() const { return m_yAxis; }

private:
    D3DXVECTOR4 m_xAxis;
    D3DXVECTOR4 m_yAxis;
};
