#include "model/MediaRectangle.h"

#include "runtime/PicturePlacement.h"

bool MediaRectangle::HitTest(float x, float y) const
{
    const PicturePlacement& placement = GetPicturePlacement();
    const D3DXVECTOR3 p = MapPointToPicture(D3DXVECTOR3(x * placement.scaleX, y * placement.scaleY, 0.0f));
    return static_cast<float>(m_left.Value()) <= p.x && p.x <= static_cast<float>(m_right.Value()) &&
           static_cast<float>(m_top.Value()) <= p.y && p.y <= static_cast<float>(m_bottom.Value());
}
