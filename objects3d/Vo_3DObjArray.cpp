#include "objects3d/Vo_3DObjArray.h"

#include <algorithm>

#include "objects3d/ObjectLimits.h"
#include "objects3d/Vo_3D_Obj_Ctrl.h"
#include "runtime/Vo_ABRender.h"
#include "runtime/Vo_Frame.h"

Vo_3DObjArray::Vo_3DObjArray(Vo_3D_Obj_Ctrl* owner) : Vo_ABObj(owner), m_description(owner)
{
    m_description->BuildInstances(m_instances);
    m_bindings.SetOwner(this);
    m_bindings.BindValue(m_description->Count(), &Vo_3DObjArray::SetCount);
}

Vo_3DObjArray::~Vo_3DObjArray()
{
    // The instances point into the trees: empty their lists before the trees go.
    for (MeshInstance& instance : m_instances)
        instance.Frames().clear();
    for (Vo_Frame* root : m_roots) {
        root->DestroyTree();
        delete root;
    }
    m_roots.clear();
}

void Vo_3DObjArray::SetCount(unsigned int requested)
{
    const size_t count = std::min<size_t>(requested, kMaxObjectCopies);
    while (m_roots.size() < count)
        m_roots.push_back(m_description->BuildFrameTree());
    while (m_roots.size() > count) {
        Vo_Frame* oldest = m_roots.front();
        m_roots.pop_front();
        oldest->DestroyTree();
        delete oldest;
    }
    m_description->LinkInstances(m_roots, m_instances);
}

void Vo_3DObjArray::Update(float localTime)
{
    m_description->UpdateSpeed(localTime);
    for (Vo_Frame* root : m_roots)
        root->UpdateWorld(nullptr);
}

void Vo_3DObjArray::Render(Vo_ABRender* render)
{
    if (!render)
        return;
    // The meshes are drawn at full opacity: the timeline only gives the object its time.
    for (MeshInstance& instance : m_instances)
        if (instance.HasMesh() && !instance.Frames().empty())
            render->DrawMeshList(&instance);
}

void Vo_3DObjArray::Relayout()
{
    m_description->UpdatePixelRect();
}

bool Vo_3DObjArray::HitTest(float x, float y) const
{
    return m_description->HitTest(x, y);
}
