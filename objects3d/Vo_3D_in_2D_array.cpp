#include "objects3d/Vo_3D_in_2D_array.h"

#include <algorithm>

#include "model/DeviceResourceLoader.h"
#include "model/MeshRecord.h"
#include "objects3d/LeafAnimationClock.h"
#include "objects3d/ObjectLimits.h"
#include "objects3d/Vo_3D_in_2D_array_Constructor.h"
#include "objects3d/Vo_LeafFallAnim.h"
#include "runtime/MeshInstance.h"
#include "runtime/Vo_ABRender.h"
#include "runtime/Vo_Frame.h"

namespace {

// Bytes of one vertex in which the loader copies a mesh: NormalTexVertex.
constexpr uint32_t kMeshVertexBytes = 32;

}  // namespace

Vo_3D_in_2D_array::Vo_3D_in_2D_array(Vo_3D_in_2D_array_Constructor* owner) : Vo_ABObj(owner), m_description(owner)
{
    LoadMeshAndTexture();
    SetCount();
}

Vo_3D_in_2D_array::~Vo_3D_in_2D_array()
{
    m_mesh.DestroyTree();
}

void Vo_3D_in_2D_array::LoadMeshAndTexture()
{
    if (!CurrentResourceLoader)
        return;
    m_mesh.SetTexture(CurrentResourceLoader->GetBlobTexture(m_description->PictureFile()).texture.Get());
    AttachMeshRecord(m_mesh, CurrentResourceLoader->GetBlobMesh(m_description->MeshFile(), kMeshVertexBytes));
}

void Vo_3D_in_2D_array::SetCount()
{
    const size_t count = std::min<size_t>(m_description->Count().Value(), kMaxObjectCopies);
    while (m_mesh.Children().size() < count) {
        Vo_Frame* copy = AddChildFrame();
        copy->SetAnimator(new Vo_LeafFallAnim(&m_description->Motion()));
        // Turn and scale about the mesh's centre.
        copy->Local()._41 = -m_mesh.Bounds()[1];
        copy->Local()._42 = -m_mesh.Bounds()[2];
        copy->Local()._43 = -m_mesh.Bounds()[3];
    }
}

Vo_Frame* Vo_3D_in_2D_array::AddChildFrame()
{
    Vo_Frame* copy = new Vo_Frame();
    for (int i = 0; i < 4; ++i)
        copy->Bounds()[i] = m_mesh.Bounds()[i];
    m_mesh.AddChild(copy);
    return copy;
}

void Vo_3D_in_2D_array::Update(float localTime)
{
    LeafAnimationClock = localTime;
    m_mesh.World() = m_mesh.Local();
    for (Vo_Frame* copy : m_mesh.Children())
        copy->UpdateWorld(&m_mesh.World());
}

void Vo_3D_in_2D_array::Render(Vo_ABRender* render)
{
    // A mesh without a bounding sphere has no scale for its copies: nothing is drawn.
    if (!render || !m_mesh.VertexBuffer() || !m_mesh.IndexBuffer() || !(m_mesh.Bounds()[0] > 0.0f))
        return;
    render->DrawMeshListTextured(&m_mesh);
}
