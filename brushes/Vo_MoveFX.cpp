#include "brushes/Vo_MoveFX.h"

#include <d3dx9.h>

#include <cmath>

#include "model/ClassReaderRegistration.h"
#include "model/ReadScaled.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/Noise.h"
#include "runtime/Vo_TimeLineControl.h"

Vo_MoveFX::Vo_MoveFX()
{
    EffectLink().Assign(L"common_res.dll", 91);
    Speed().Rescale(0.02f, 0.0f);
    Speed().SetValue(50);
    Strength().Rescale(0.0002f, 0.0f);
    Strength().SetValue(50);
    m_amplitudeB.Rescale(0.0002f, 0.0f);
}

Vo_MoveFX::Vo_MoveFX(const Vo_MoveFX& other)
    : Vo_DirectionBased(other), m_waveMode(other.m_waveMode), m_amplitudeB(other.m_amplitudeB)
{
    m_shift[0] = other.m_shift[0];
    m_shift[1] = other.m_shift[1];
}

Vo_MoveFX::~Vo_MoveFX() = default;

void Vo_MoveFX::LoadFields(Vo_IOF_Virtual& stream, int32_t version)
{
    stream.ReadLong(m_waveMode.ValueRef());
    if (version >= 2)
        ReadScaled(stream, m_amplitudeB);
    Vo_DirectionBased::Load(stream);
    if (version < 2) {
        const UINTSclaleTo<float>& a = Strength();
        m_amplitudeB.SetScale(a.Scale());
        m_amplitudeB.SetOffset(a.Offset());
        m_amplitudeB.ValueRef() = a.Value();
        m_amplitudeB.NotifyControls(nullptr);
    }
}

float Vo_MoveFX::SwingAt(float phase, float a, float b, int waveMode)
{
    const float half = (a + b) * 0.5f;
    const float middle = (a - b) * 0.5f;
    const float wave = waveMode == 1 ? static_cast<float>(FractalNoise1D(static_cast<double>(phase) * 50.0, 75.0, 0.5, 1))
                                     : std::sin(phase);
    return -(wave * half + middle);
}

void Vo_MoveFX::Update(float time)
{
    Vo_FX_Constructor::Update(time);
    const float e = SwingAt(Phase(), Strength().Result(), m_amplitudeB.Result(), m_waveMode.Value()) *
                    Timeline().GetFadeFactor();
    m_shift[0] = Direction().x * e;
    m_shift[1] = Direction().y * e;
}

void Vo_MoveFX::Render(Vo_ABRender* layer)
{
    ID3DXEffect* effect = Effect();
    if (!effect)
        return;
    effect->SetFloatArray("Direction", m_shift, 2);
    RenderCommon(layer);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_MoveFX);
