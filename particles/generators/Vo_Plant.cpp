#include "particles/generators/Vo_Plant.h"

#include <d3dx9.h>

#include "model/ClassReaderRegistration.h"
#include "model/ReadScaled.h"
#include "model/Vo_IOF_Virtual.h"
#include "particles/generators/Vo_ParticlesObj.h"
#include "runtime/Vo_ABRender.h"
#include "runtime/Vo_TimeLineControl.h"

Vo_Plant::Vo_Plant()
{
    m_speed.Rescale(0.02f, 0.0f);
    m_frequency.Rescale(0.1f, 0.0f);
    m_waveMagnitude.Rescale(0.002f, 0.0f);
    m_bendMagnitude.Rescale(0.002f, 0.0f);
}

void Vo_Plant::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    ReadScaled(stream, m_speed);
    ReadScaled(stream, m_frequency);
    ReadScaled(stream, m_waveMagnitude);
    ReadScaled(stream, m_bendMagnitude);
    Vo_SingleRectGN::Load(stream);
}

void Vo_Plant::Update(float time, Vo_ParticlesObj*)
{
    m_speed.Advance(time);
}

void Vo_Plant::Render(Vo_ABRender* renderer, Vo_ParticlesObj* object)
{
    ID3DXEffect* effect = Effect();
    IDirect3DTexture9* texture = GetFrameTexture(0);
    Vo_IndexedMesh<DX_V::PCT>* mesh = object ? object->Mesh(0) : nullptr;
    // The plant sways only through its effect; without it, or without its picture, it is not drawn.
    if (!effect || !texture || !mesh || !mesh->VertexBuffer() || object->QuadCount(0) == 0)
        return;
    const float alpha =
        Timeline().TimeMode().Value() == 1 ? Timeline().GetFadeFactor() : 1.0f;
    effect->SetTechnique("Main");
    effect->SetTexture("Texture", texture);
    effect->SetFloat("Time", m_speed.Accumulated());
    effect->SetFloat("Frequency", m_frequency.Result());
    effect->SetFloat("WMagnitude", m_waveMagnitude.Result());
    effect->SetFloat("BMagnitude", m_bendMagnitude.Result());
    const float colour[4] = {1.0f, 1.0f, 1.0f, alpha};
    effect->SetFloatArray("color", colour, 4);
    renderer->DrawColoredIndexed(mesh, &effect, 2 * static_cast<int>(object->QuadCount(0)), 1.0f);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_Plant);
