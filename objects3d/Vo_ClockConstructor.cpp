#include "objects3d/Vo_ClockConstructor.h"

#include <d3dx9math.h>

#include "model/ClassReaderRegistration.h"
#include "model/Vo_IOF_Virtual.h"
#include "objects3d/AC_ClockArrow.h"
#include "objects3d/AC_Static.h"
#include "runtime/MeshInstance.h"
#include "runtime/PicturePlacement.h"
#include "runtime/ScreenQuad.h"
#include "runtime/Vo_Frame.h"

namespace {

const int32_t kClockMeshId = 70;
const int32_t kFacePictureId = 71;
const int32_t kHandsPictureId = 72;
const unsigned int kDefaultSize = 400;

enum { kFaceInstance = 0, kHandsInstance = 1, kInstanceCount = 2 };

// A hand: the square squeezed to a narrow strip and moved out along z so that it turns about
// its base.
Vo_Frame* NewHand(float length, float offset, uint8_t hourHand)
{
    Vo_Frame* hand = new Vo_Frame();
    D3DXMATRIX scaling, translation;
    D3DXMatrixScaling(&scaling, 0.01f, 1.0f, length);
    D3DXMatrixTranslation(&translation, 0.0f, 0.0f, offset);
    D3DXMatrixMultiply(&hand->Local(), &scaling, &translation);
    hand->SetAnimator(new AC_ClockArrow(hourHand));
    return hand;
}

}  // namespace

Vo_ClockConstructor::Vo_ClockConstructor() : m_handsPicture(kHandsPictureId, kObjectResourceModule)
{
    const PicturePlacement& placement = GetPicturePlacement();
    m_rectangle.CenterX().ValueRef() = placement.pictureWidth / 2;
    m_rectangle.CenterY().ValueRef() = placement.pictureHeight / 2;
    MeshLink().Assign(kObjectResourceModule, kClockMeshId);
    PictureLink().Assign(kObjectResourceModule, kFacePictureId);
    Size().ValueRef() = kDefaultSize;
    BindPictureChange();
}

Vo_ClockConstructor::Vo_ClockConstructor(const Vo_ClockConstructor& other)
    : Vo_3D_Obj_Ctrl(other), m_handsPicture(other.m_handsPicture)
{
    m_rectangle.CopyValues(other.m_rectangle);
    BindPictureChange();
}

Vo_ClockConstructor::~Vo_ClockConstructor() = default;

void Vo_ClockConstructor::BindPictureChange()
{
    m_bindings.SetOwner(this);
    m_bindings.BindNotify(PictureLink(), &Vo_ClockConstructor::OnPictureChanged);
}

void Vo_ClockConstructor::OnPictureChanged()
{
    if (m_instances && m_instances->size() > kFaceInstance)
        (*m_instances)[kFaceInstance].Bind(PictureLink(), MeshLink());
}

void Vo_ClockConstructor::BuildInstances(std::vector<MeshInstance>& instances)
{
    instances.resize(kInstanceCount);
    instances[kFaceInstance].Bind(PictureLink(), MeshLink());
    instances[kHandsInstance].Bind(m_handsPicture, MeshLink());
    instances[kFaceInstance].Mesh().SetAlphaBlend(1);
    instances[kHandsInstance].Mesh().SetAlphaBlend(1);
    m_instances = &instances;
}

void Vo_ClockConstructor::LinkInstances(const std::list<Vo_Frame*>& roots, std::vector<MeshInstance>& instances)
{
    if (instances.size() < kInstanceCount)
        return;
    std::vector<Vo_Frame*>& faces = instances[kFaceInstance].Frames();
    std::vector<Vo_Frame*>& hands = instances[kHandsInstance].Frames();
    faces.clear();
    hands.clear();
    for (Vo_Frame* root : roots) {
        hands.insert(hands.begin(), root->Children().begin(), root->Children().end());
        faces.push_back(root);
    }
}

Vo_Frame* Vo_ClockConstructor::BuildFrameTree()
{
    Vo_Frame* root = new Vo_Frame();
    D3DXMATRIX scaling, upright;
    D3DXMatrixScaling(&scaling, 0.01f, 0.01f, 0.01f);
    D3DXMatrixRotationX(&upright, D3DX_PI / 2);
    D3DXMatrixMultiply(&root->Local(), &scaling, &upright);
    root->SetAnimator(new AC_Static(this));
    root->AddChild(NewHand(0.3f, 10.0f, 1));
    root->AddChild(NewHand(0.38f, 13.0f, 0));
    return root;
}

void Vo_ClockConstructor::GetScreenQuad(ScreenQuad* quad) const
{
    if (quad)
        InitRectangleQuad(*quad, m_rectangle);
}

bool Vo_ClockConstructor::HitTest(float x, float y) const
{
    return m_rectangle.HitTest(x, y);
}

void Vo_ClockConstructor::LoadFields(Vo_IOF_Virtual& stream, int32_t version)
{
    m_rectangle.Load(stream);
    ReadFileLink(stream, m_handsPicture);
    LoadRecord(stream);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_ClockConstructor);
