#include "model/MediaDirection.h"

MediaDirection::MediaDirection(unsigned int angle) : MediaParamT<unsigned int>(angle)
{
    UpdateAxes();
}

MediaDirection::MediaDirection(const MediaDirection& other) : MediaParamT<unsigned int>(other)
{
    UpdateAxes();
}

void MediaDirection::UpdateAxes()
{
    const float kPi = 3.1415927f;
    const float radians = static_cast<float>(static_cast<double>(m_value) * kPi / 180.0);
    D3DXMATRIX rotation;
    D3DXMatrixRotationZ(&rotation, radians);
    const D3DXVECTOR4 unitX(1.0f, 0.0f, 0.0f, 0.0f);
    const D3DXVECTOR4 unitY(0.0f, 1.0f, 0.0f, 0.0f);
    D3DXVec4Transform(&m_xAxis, &unitX, &rotation);
    D3DXVec4Transform(&m_yAxis, &unitY, &rotation);
}
