#include "objects3d/AC_ButterflyWing.h"

#include "runtime/Vo_Frame.h"

AC_ButterflyWing::AC_ButterflyWing()
{
    D3DXMatrixIdentity(&m_matrix);
}

void AC_ButterflyWing::Apply(Vo_Frame& frame)
{
    D3DXMatrixMultiply(&frame.World(), &frame.Local(), &m_matrix);
    frame.SetWinding(m_winding);
}
