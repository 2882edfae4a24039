#include "model/MediaRectangle.h"

#include "model/Vo_IOF_Virtual.h"

void MediaRectangle::Load(Vo_IOF_Virtual& stream)
{
    stream.ReadLong(m_left.ValueRef());
    stream.ReadLong(m_right.ValueRef());
    stream.ReadLong(m_top.ValueRef());
    stream.ReadLong(m_bottom.ValueRef());
    stream.ReadLong(m_centerX.ValueRef());
    stream.ReadLong(m_centerY.ValueRef());
}

void MediaRectangle::CopyValues(const MediaRectangle& other)
{
    m_left.ValueRef() = other.m_left.Value();
    m_right.ValueRef() = other.m_right.Value();
    m_top.ValueRef() = other.m_top.Value();
    m_bottom.ValueRef() = other.m_bottom.Value();
    m_centerX.ValueRef() = other.m_centerX.Value();
    m_centerY.ValueRef() = other.m_centerY.Value();
}
