#include "objects3d/Vo_ButterflyConstructor.h"

#include <d3dx9math.h>

#include "model/ClassReaderRegistration.h"
#include "model/ReadScaled.h"
#include "model/Vo_IOF_Virtual.h"
#include "objects3d/AC_Butterfly.h"
#include "objects3d/AC_ButterflyWing.h"
#include "runtime/MeshInstance.h"
#include "runtime/Vo_Frame.h"

namespace {

const int32_t kBodyPictureId = 6;
const int32_t kBodyMeshId = 68;
const int32_t kWingMeshId = 69;
const unsigned int kDefaultSize = 100;
const unsigned int kReservedDefault = 50;

enum { kBodyInstance = 0, kWingInstance = 1, kInstanceCount = 2 };

}  // namespace

Vo_ButterflyConstructor::Vo_ButterflyConstructor()
    : m_bodyPicture(kBodyPictureId, kObjectResourceModule), m_bodyMesh(kBodyMeshId, kObjectResourceModule)
{
    m_reserved1.SetValue(kReservedDefault);
    m_reserved2.SetValue(kReservedDefault);
    MeshLink().Assign(kObjectResourceModule, kWingMeshId);
    Size().ValueRef() = kDefaultSize;
}

Vo_ButterflyConstructor::Vo_ButterflyConstructor(const Vo_ButterflyConstructor& other)
    : Vo_3D_Obj_Ctrl(other),
      m_bodyPicture(other.m_bodyPicture),
      m_bodyMesh(other.m_bodyMesh),
      m_reserved1(other.m_reserved1),
      m_reserved2(other.m_reserved2),
      m_wingScale(other.m_wingScale)
{
}

Vo_ButterflyConstructor::~Vo_ButterflyConstructor() = default;

void Vo_ButterflyConstructor::BuildInstances(std::vector<MeshInstance>& instances)
{
    instances.resize(kInstanceCount);
    instances[kBodyInstance].Bind(m_bodyPicture, m_bodyMesh);
    instances[kWingInstance].Bind(PictureLink(), MeshLink());
    instances[kWingInstance].Mesh().SetAlphaBlend(1);
}

void Vo_ButterflyConstructor::LinkInstances(const std::list<Vo_Frame*>& roots, std::vector<MeshInstance>& instances)
{
    if (instances.size() < kInstanceCount)
        return;
    std::vector<Vo_Frame*>& bodies = instances[kBodyInstance].Frames();
    std::vector<Vo_Frame*>& wings = instances[kWingInstance].Frames();
    bodies.clear();
    wings.clear();
    for (Vo_Frame* root : roots) {
        wings.insert(wings.begin(), root->Children().begin(), root->Children().end());
        bodies.push_back(root);
    }
}

Vo_Frame* Vo_ButterflyConstructor::BuildFrameTree()
{
    Vo_Frame* root = new Vo_Frame();
    AC_Butterfly* flight = new AC_Butterfly(this);
    root->SetAnimator(flight);
    Vo_Frame* wing1 = new Vo_Frame();
    Vo_Frame* wing2 = new Vo_Frame();
    // The body mesh lies along +z; a quarter turn about y points it along the flight at
    // heading 0 (to the right).
    D3DXMATRIX scaling, turn;
    D3DXMatrixScaling(&scaling, 0.5f, 0.5f, 0.5f);
    D3DXMatrixRotationY(&turn, D3DX_PI / 2);
    D3DXMatrixMultiply(&root->Local(), &scaling, &turn);
    D3DXMatrixScaling(&wing1->Local(), m_wingScale, m_wingScale, m_wingScale);
    wing2->Local() = wing1->Local();
    wing1->SetAnimator(flight->Wing1());
    wing2->SetAnimator(flight->Wing2());
    root->AddChild(wing1);
    root->AddChild(wing2);
    return root;
}

void Vo_ButterflyConstructor::LoadFields(Vo_IOF_Virtual& stream, int32_t version)
{
    ReadFileLink(stream, m_bodyPicture);
    ReadFileLink(stream, m_bodyMesh);
    ReadScaled(stream, m_reserved1);
    ReadScaled(stream, m_reserved2);
    if (version >= 2)
        stream.ReadFloat(m_wingScale);
    LoadRecord(stream);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_ButterflyConstructor);
