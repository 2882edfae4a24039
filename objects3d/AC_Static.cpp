#include "objects3d/AC_Static.h"

#include <algorithm>
#include <climits>

#include "objects3d/Vo_ClockConstructor.h"
#include "runtime/Vo_Frame.h"

AC_Static::AC_Static(Vo_ClockConstructor* owner) : m_owner(owner)
{
    D3DXMatrixIdentity(&m_scaling);
    m_bindings.SetOwner(this);
    m_bindings.BindValue(m_owner->Size(), &AC_Static::OnSizeChanged);
    m_bindings.BindNotify(m_owner->Rectangle(), &AC_Static::OnRectangleChanged);
    const MediaRectangle& rectangle = m_owner->Rectangle();
    D3DXMatrixTranslation(&m_translation, float(rectangle.CenterX().Value()), float(rectangle.CenterY().Value()), 0.0f);
    const float size = float(m_owner->Size().Value());
    D3DXMatrixScaling(&m_scaling, size, size, size);
}

namespace {

// A stored centre and size may be anything: the edges saturate instead of overflowing.
int Edge(int centre, int64_t offset)
{
    return int(std::clamp<int64_t>(int64_t(centre) + offset, INT_MIN, INT_MAX));
}

}  // namespace

void AC_Static::PlaceEdges(int64_t half)
{
    MediaRectangle& rectangle = m_owner->Rectangle();
    const int x = rectangle.CenterX().Value();
    const int y = rectangle.CenterY().Value();
    rectangle.Left().ValueRef() = Edge(x, -half);
    rectangle.Right().ValueRef() = Edge(x, half);
    rectangle.Top().ValueRef() = Edge(y, -half);
    rectangle.Bottom().ValueRef() = Edge(y, half);
}

void AC_Static::OnSizeChanged(unsigned int size)
{
    PlaceEdges(size >> 1);
    D3DXMatrixScaling(&m_scaling, float(size), float(size), float(size));
}

void AC_Static::OnRectangleChanged()
{
    PlaceEdges(m_owner->Size().Value() / 2);
    const MediaRectangle& rectangle = m_owner->Rectangle();
    D3DXMatrixTranslation(&m_translation, float(rectangle.CenterX().Value()), float(rectangle.CenterY().Value()), 0.0f);
}

void AC_Static::Apply(Vo_Frame& frame)
{
    D3DXMATRIX world;
    D3DXMatrixMultiply(&world, &m_scaling, &frame.Local());
    D3DXMatrixMultiply(&frame.World(), &world, &m_translation);
}
