#include "model/MediaQuad.h"

#include "model/Vo_IOF_Virtual.h"

void MediaQuad::Load(Vo_IOF_Virtual& stream)
{
    for (MediaParamTB<D3DXVECTOR3>& corner : m_corners) {
        D3DXVECTOR3& point = corner.ValueRef();
        stream.ReadFloat(point.x);
        stream.ReadFloat(point.y);
        stream.ReadFloat(point.z);
    }
}
