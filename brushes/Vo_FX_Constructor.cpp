#include "brushes/Vo_FX_Constructor.h"

#include <d3dx9.h>
#include <objbase.h>

#include "brushes/Vo_BrushObj.h"
#include "model/ArchiveReads.h"
#include "model/CurrentDevice.h"
#include "model/D3DResourceMakers.h"
#include "model/Vo_DocResManager.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/PictureMesh.h"
#include "runtime/PictureRegionScissor.h"
#include "runtime/PicturePlacement.h"
#include "runtime/VertexBuffers.h"
#include "runtime/Vo_ABRender.h"
#include "runtime/Vo_SimpleMesh.h"

namespace {

GUID NewGuid()
{
    GUID guid = {};
    CoCreateGuid(&guid);
    return guid;
}

ComRef<IDirect3DTexture9> MakeOneTexel(uint32_t argb)
{
    ComRef<IDirect3DTexture9> texture;
    if (!CurrentDevice)
        return texture;
    if (FAILED(CurrentDevice->CreateTexture(1, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture.Receive(),
                                            nullptr)))
        return ComRef<IDirect3DTexture9>();
    D3DLOCKED_RECT locked;
    if (SUCCEEDED(texture->LockRect(0, &locked, nullptr, 0))) {
        *static_cast<uint32_t*>(locked.pBits) = argb;
        texture->UnlockRect(0);
    }
    return texture;
}

// A layer without a picture size counts as square, so "Scale" never carries an infinity.
float AspectOf(Vo_ABRender* layer)
{
    const unsigned width = layer->GetPictureWidth(), height = layer->GetPictureHeight();
    if (width == 0 || height == 0)
        return 1.0f;
    return static_cast<float>(width) / static_cast<float>(height);
}

}  // namespace

Vo_FX_Constructor::Vo_FX_Constructor() : m_guid(NewGuid())
{
    m_scale.Rescale(0.02f, 0.0f);
    m_scale.ValueRef() = 50;
    m_scale.OnParamChanged(nullptr);
}

Vo_FX_Constructor::Vo_FX_Constructor(const Vo_FX_Constructor& other)
    : Vo_ABObj_Constructor(other), m_grid(other.m_grid), m_speed(other.m_speed), m_scale(other.m_scale),
      m_region(other.m_region)
{
    m_techniqueFlag.ValueRef() = other.m_techniqueFlag.Value();
    m_effectLink.Assign(other.m_effectLink.GetPath(), other.m_effectLink.GetKey().Stamp());
    m_regionFlag.ValueRef() = other.m_regionFlag.Value();
    m_guid = other.m_guid;
    m_identityName = other.m_identityName;
    m_identityFlag = other.m_identityFlag;
    m_mask = other.m_mask;
    m_effect = other.m_effect;
}

Vo_FX_Constructor::~Vo_FX_Constructor() = default;

void Vo_FX_Constructor::Assign(const Vo_FX_Constructor& source)
{
    if (&source == this)
        return;
    AssignDescription(source);
    CopyValuesFrom(source);
    m_mask = source.m_mask;
    m_effect = source.m_effect;
    m_grid = source.m_grid;
}

// Each parameter tells its observers, as an editor's change would.
void Vo_FX_Constructor::CopyValuesFrom(const Vo_FX_Constructor& other)
{
    m_speed.Rescale(other.m_speed.Scale(), other.m_speed.Offset());
    m_speed.SetValue(other.m_speed.Value());
    m_speed.CopyClock(other.m_speed);
    m_techniqueFlag.SetValue(other.m_techniqueFlag.Value());
    m_effectLink.Assign(other.m_effectLink.GetPath(), other.m_effectLink.GetKey().Stamp());
    m_effectLink.NotifyControls(nullptr);
    m_scale.Rescale(other.m_scale.Scale(), other.m_scale.Offset());
    m_scale.SetValue(other.m_scale.Value());
    for (int i = 0; i < MediaQuad::kCornerCount; ++i)
        m_region.Corner(i).SetValue(other.m_region.Corner(i).Value());
    m_regionFlag.SetValue(other.m_regionFlag.Value());
    m_guid = other.m_guid;
    m_identityName = other.m_identityName;
    m_identityFlag = other.m_identityFlag;
}

Vo_ABObj* Vo_FX_Constructor::CreateObject()
{
    return new Vo_BrushObj(Clone());
}

void Vo_FX_Constructor::ResetIdentity()
{
    m_mask.Reset();
    m_guid = NewGuid();
    m_identityName.clear();
    m_identityFlag = 1;
}

void Vo_FX_Constructor::LoadResources(MaskSlot* maskSlot)
{
    SetEffect(CurrentDocResManager ? CurrentDocResManager->GetEffect(m_effectLink) : ComRef<ID3DXEffect>());
    SetMask(maskSlot);
}

void Vo_FX_Constructor::SetMask(MaskSlot* slot)
{
    if (slot == &m_mask)
        return;
    m_mask.Assign(slot ? slot->Get() : nullptr);
}

void Vo_FX_Constructor::UpdateRegionMesh()
{
    if (!m_grid.VertexBuffer() || m_grid.columns < 1 || m_grid.rows < 1)
        return;
    const PicturePlacement& placement = GetPicturePlacement();
    // Before any layout the picture has no size; texture coordinates then stay at 0.
    const float width = placement.pictureWidth > 0 ? static_cast<float>(placement.pictureWidth) : 0.0f;
    const float height = placement.pictureHeight > 0 ? static_cast<float>(placement.pictureHeight) : 0.0f;
    ScreenQuad corners;
    for (int i = 0; i < MediaQuad::kCornerCount; ++i) {
        const D3DXVECTOR3& p = m_region.Corner(i).Value();
        corners.corners[i] = {p.x, p.y, p.z, width > 0 ? p.x / width : 0.0f, height > 0 ? p.y / height : 0.0f};
    }
    Vo_SimpleMesh<DX_V::PCT>::BuildGrid(corners, m_grid, m_grid.columns, m_grid.rows);
}

void Vo_FX_Constructor::Update(float time)
{
    m_speed.Advance(time);
}

void Vo_FX_Constructor::Load(Vo_IOF_Virtual& stream)
{
    const int32_t version = ReadRecordHeader(stream);
    uint32_t speedRaw = m_speed.Value();
    stream.ReadUInt(speedRaw);
    m_speed.SetValue(speedRaw);
    stream.ReadLong(m_techniqueFlag.ValueRef());
    ReadGuid(stream, m_guid);
    stream.ReadString(m_identityName);
    bool identity = m_identityFlag != 0;
    stream.ReadBool(identity);
    m_identityFlag = identity ? 1 : 0;
    ReadFileLink(stream, m_effectLink);
    if (version >= 2) {
        uint32_t scaleRaw = m_scale.Value();
        stream.ReadUInt(scaleRaw);
        m_scale.SetValue(scaleRaw);
    }
    if (version >= 3) {
        m_region.Load(stream);
        stream.ReadLong(m_regionFlag.ValueRef());
    }
    Vo_ABObj_Constructor::Load(stream);
}

IDirect3DTexture9* Vo_FX_Constructor::MaskOrWhite()
{
    if (m_mask)
        return m_mask.Get();
    if (!m_whiteMask)
        m_whiteMask = MakeOneTexel(0xFFFFFFFFu);
    return m_whiteMask.Get();
}

IDirect3DTexture9* Vo_FX_Constructor::NeutralGrey()
{
    if (!m_greyMap)
        m_greyMap = MakeOneTexel(0xFF808080u);
    return m_greyMap.Get();
}

IDirect3DTexture9* Vo_FX_Constructor::OutputTexture(Vo_ABRender* layer)
{
    IDirect3DTexture9** output = layer->GetOutputTexture();
    return output ? *output : nullptr;
}

void Vo_FX_Constructor::RenderCommon(Vo_ABRender* layer)
{
    if (!m_effect)
        return;
    const float aspect = AspectOf(layer);
    const float s = m_scale.Result();
    m_effect->SetTechnique(IsFullImageEffect() ? "MainFX" : "Main");
    const float scale[2] = {aspect / s, 1.0f / s};
    m_effect->SetFloatArray("Scale", scale, 2);
    m_effect->SetTexture("Mask", MaskOrWhite());
    m_effect->SetTexture("Background", OutputTexture(layer));
    ID3DXEffect* effect = m_effect.Get();
    PictureMesh* picture = layer->GetPictureMesh();
    if (picture && m_mask && !IsFullImageEffect() && PaintsOnlyThroughMask()) {
        const MaskBounds& bounds = CurrentMaskBounds();
        PictureRegionScissor scissor(picture->World(), picture->Picture().width, picture->Picture().height,
                                     bounds.u0, bounds.v0, bounds.u1, bounds.v1);
        layer->DrawStripWithEffect(picture, &effect);
    } else if (picture && m_mask && IsFullImageEffect() && m_effect->GetTechniqueByName(kOutsideMaskTechnique)) {
        DrawFullImageAroundMask(layer, picture);
    } else {
        layer->DrawStripWithEffect(picture, &effect);
    }
    // The image may be a texture of the layer's render-target pair: an effect that kept a
    // reference to it would make the next device reset fail.
    m_effect->SetTexture("Background", nullptr);
}

void Vo_FX_Constructor::DrawFullImageAroundMask(Vo_ABRender* layer, PictureMesh* picture)
{
    ID3DXEffect* effect = m_effect.Get();
    const MaskBounds& bounds = CurrentMaskBounds();
    PictureRegionScissor scissor(picture->World(), picture->Picture().width, picture->Picture().height, bounds.u0,
                                 bounds.v0, bounds.u1, bounds.v1);
    RECT around[4];
    const int count = scissor.RectanglesAround(around);
    if (count > 0) {
        m_effect->SetTechnique(kOutsideMaskTechnique);
        for (int i = 0; i < count; ++i) {
            CurrentDevice->SetScissorRect(&around[i]);
            layer->DrawStripWithEffect(picture, &effect);
        }
        CurrentDevice->SetScissorRect(&scissor.Rectangle());
        m_effect->SetTechnique("MainFX");
    }
    layer->DrawStripWithEffect(picture, &effect);
}

const MaskBounds& Vo_FX_Constructor::CurrentMaskBounds()
{
    if (m_maskBoundsOf.Get() != m_mask.Get()) {
        m_maskBounds = FindMaskBounds(m_mask.Get());
        m_maskBoundsOf = m_mask;
    }
    return m_maskBounds;
}

void Vo_FX_Constructor::DrawWithTechnique(Vo_ABRender* layer)
{
    if (!m_effect)
        return;
    ID3DXEffect* effect = m_effect.Get();
    if (!IsFullImageEffect()) {
        m_effect->SetTechnique("Main");
        layer->DrawIndexedWithEffect(&m_grid, &effect);
    } else {
        m_effect->SetTechnique("MainFX");
        layer->DrawStripWithEffect(layer->GetPictureMesh(), &effect);
    }
}

void Vo_FX_Constructor::SetScaleMaskBackground(Vo_ABRender* layer)
{
    if (!m_effect)
        return;
    const float aspect = AspectOf(layer);
    const float s = m_scale.Result();
    const float scale[4] = {aspect / s, 1.0f / s, s / aspect, s};
    m_effect->SetFloatArray("Scale", scale, 4);
    m_effect->SetTexture("Mask", MaskOrWhite());
    m_effect->SetTexture("Background", OutputTexture(layer));
    m_effect->SetTechnique(IsFullImageEffect() ? "MainFX" : "Main");
}
