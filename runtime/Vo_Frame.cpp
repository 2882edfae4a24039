#include "runtime/Vo_Frame.h"

#include "runtime/Vo_AnimationBase.h"

Vo_Frame::Vo_Frame()
{
    D3DXMatrixIdentity(&m_world);
    D3DXMatrixIdentity(&m_local);
}

Vo_Frame::Vo_Frame(const Vo_Frame& other)
    : m_world(other.m_world), m_local(other.m_local), m_winding(other.m_winding)
{
    for (int i = 0; i < 4; ++i)
        m_bounds[i] = other.m_bounds[i];
}

Vo_Frame& Vo_Frame::operator=(const Vo_Frame& other)
{
    if (this == &other)
        return *this;
    SetAnimator(nullptr);
    m_children.clear();
    for (int i = 0; i < 4; ++i)
        m_bounds[i] = other.m_bounds[i];
    m_world = other.m_world;
    m_local = other.m_local;
    m_winding = other.m_winding;
    return *this;
}

Vo_Frame::~Vo_Frame()
{
    delete m_animator;
}

void Vo_Frame::SetAnimator(Vo_AnimationBase* animator)
{
    if (animator == m_animator)
        return;
    delete m_animator;
    m_animator = animator;
}

void Vo_Frame::UpdateWorld(const D3DXMATRIX* parent)
{
    if (m_animator)
        m_animator->Apply(*this);
    else
        m_world = m_local;
    if (parent)
        D3DXMatrixMultiply(&m_world, &m_world, parent);
    for (Vo_Frame* child : m_children)
        child->UpdateWorld(&m_world);
}

void Vo_Frame::DestroyTree()
{
    for (Vo_Frame* child : m_children) {
        child->DestroyTree();
        delete child;
    }
    m_children.clear();
}

void DeleteFrames(Vo_Frame* const* first, Vo_Frame* const* last)
{
    for (; first != last; ++first)
        delete *first;
}

void DeleteFrameTrees(Vo_Frame* const* first, Vo_Frame* const* last)
{
    for (; first != last; ++first) {
        if (*first)
            (*first)->DestroyTree();
        delete *first;
    }
}
