#include "lights/FakeUndervater.h"

#include <d3d9.h>

#include <memory>

#include "model/ClassReaderRegistration.h"
#include "model/CurrentDevice.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/CurrentScreenView.h"
#include "runtime/ScreenView.h"

FakeUndervater::FakeUndervater() = default;

FakeUndervater::~FakeUndervater() = default;

void FakeUndervater::Load(int32_t version, Vo_IOF_Virtual& stream)
{
    if (version == 1) {
        // The first version kept only the brush's speed, at twice the rate it now means.
        uint32_t speed = m_brush.Speed().Value();
        stream.ReadUInt(speed);
        m_brush.Speed().SetValue(speed);
        m_brush.Speed().SetValue(speed >> 1);
    } else {
        std::unique_ptr<Vo_UnderwaterFX> read(ReadUnderwaterFXRecord(stream));
        m_brush.Assign(*read);
    }
    Vo_2D_Light::Load(stream);
}

template <>
struct ClassRecordFields<FakeUndervater> {
    static void Read(FakeUndervater& layer, Vo_IOF_Virtual& stream, int32_t version)
    {
        layer.Load(version, stream);
    }
};

FakeUndervater* CreateFakeUndervater(Vo_IOF_Virtual& stream, int32_t version)
{
    std::unique_ptr<FakeUndervater> layer(new FakeUndervater());
    layer->Load(version, stream);
    return layer.release();
}

VO_REGISTER_LIGHT_READER(FakeUndervater);

void FakeUndervater::LoadContent()
{
    Vo_2D_Light::LoadContent();
    MaskSlot noMask;
    m_brush.LoadResources(&noMask);
}

void FakeUndervater::Update(float time)
{
    Vo_2D_Light::Update(time);
    m_brush.Update(time);
}

void FakeUndervater::EndRender(int nested)
{
    IDirect3DTexture9* image = EndEffects(false).Current();
    SetOutputTexture(image);
    // Without a pair the picture and objects were drawn straight onto the target: keep them.
    if (image) {
        if (m_brush.HasEffect() && GetPictureWidth() > 0 && GetPictureHeight() > 0)
            m_brush.Render(this);
        else
            DrawImageUndistorted(image);
    }
    if (!nested && CurrentScreenView)
        CurrentScreenView->DrawBorders();
}

void FakeUndervater::DrawImageUndistorted(IDirect3DTexture9* image)
{
    IDirect3DDevice9* device = CurrentDevice;
    if (!device)
        return;
    PictureMesh* mesh = GetPictureMesh();
    // A picture without size covers nothing; the target would keep the frame before.
    if (!mesh->VertexBuffer() || GetPictureWidth() == 0 || GetPictureHeight() == 0) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        return;
    }
    if (CurrentScreenView)
        CurrentScreenView->SetWorldTransform(mesh->World());
    DWORD blending = FALSE;
    device->GetRenderState(D3DRS_ALPHABLENDENABLE, &blending);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetTexture(0, image);
    mesh->BindWorldStream();
    device->DrawPrimitive(mesh->PrimitiveType(), 0, mesh->PrimitiveCount());
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, blending);
}
