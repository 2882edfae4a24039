#include "brushes/Vo_UnderwaterFX.h"

#include <d3dx9.h>

#include <memory>

#include "model/ArchiveReads.h"
#include "model/ReadScaled.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/Vo_ABRender.h"

namespace {

void CopyScaled(UINTSclaleTo<float>& target, const UINTSclaleTo<float>& source)
{
    target.Rescale(source.Scale(), source.Offset());
    target.SetValue(source.Value());
}

}  // namespace

Vo_UnderwaterFX::Vo_UnderwaterFX()
{
    EffectLink().Assign(L"common_res.dll", 88);
    Speed().ValueRef() = 25;
    Speed().OnParamChanged(nullptr);
    m_amplitude.Rescale(0.000125f, 0.0f);
    m_amplitude.SetValue(50);
    // The offset keeps the wave length above 0, so its inverse is always finite.
    m_waveLength.Rescale(0.002f, 0.001f);
    m_waveLength.SetValue(50);
}

Vo_UnderwaterFX::Vo_UnderwaterFX(const Vo_UnderwaterFX& other)
    : Vo_FX_Constructor(other), m_amplitude(other.m_amplitude), m_waveLength(other.m_waveLength)
{
}

Vo_UnderwaterFX::~Vo_UnderwaterFX() = default;

void Vo_UnderwaterFX::Assign(const Vo_UnderwaterFX& source)
{
    if (&source == this)
        return;
    Vo_FX_Constructor::Assign(source);
    CopyScaled(m_amplitude, source.m_amplitude);
    CopyScaled(m_waveLength, source.m_waveLength);
}

void Vo_UnderwaterFX::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    ReadScaled(stream, m_amplitude);
    ReadScaled(stream, m_waveLength);
    Vo_FX_Constructor::Load(stream);
}

Vo_UnderwaterFX* ReadUnderwaterFXRecord(Vo_IOF_Virtual& stream)
{
    const int32_t version = ReadRecordHeader(stream);
    std::unique_ptr<Vo_UnderwaterFX> brush(new Vo_UnderwaterFX());
    brush->LoadFields(stream, version);
    return brush.release();
}

bool Vo_UnderwaterFX::FrequencyFor(unsigned pictureWidth, unsigned pictureHeight, float frequency[2]) const
{
    if (pictureWidth == 0 || pictureHeight == 0)
        return false;
    const float aspect = static_cast<float>(pictureWidth) / static_cast<float>(pictureHeight);
    const float k = 1.0f / m_waveLength.Result();
    frequency[0] = aspect * k;
    frequency[1] = k;
    return true;
}

void Vo_UnderwaterFX::Render(Vo_ABRender* layer)
{
    ID3DXEffect* effect = Effect();
    float frequency[2];
    // A picture without size has no aspect to scale the waves by.
    if (!effect || !FrequencyFor(layer->GetPictureWidth(), layer->GetPictureHeight(), frequency))
        return;
    effect->SetFloatArray("frequency", frequency, 2);
    effect->SetFloat("amplitude", m_amplitude.Result());
    effect->SetFloat("time", Phase() * 0.08f);
    RenderCommon(layer);
}
