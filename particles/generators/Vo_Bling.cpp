#include "particles/generators/Vo_Bling.h"

#include <algorithm>
#include <cstdlib>

#include "model/ClassReaderRegistration.h"
#include "model/Vo_IOF_Virtual.h"
#include "particles/generators/PLifeConst.h"
#include "particles/generators/PSteady.h"
#include "particles/generators/QuadVertices.h"
#include "particles/generators/Vo_ParticlesObj.h"
#include "runtime/Vo_TimeLineControl.h"

namespace {

void ReadRawWithResult(Vo_IOF_Virtual& stream, UINTSclaleTo<float>& param, bool notify)
{
    uint32_t raw = param.Value();
    stream.ReadUInt(raw);
    if (notify) {
        param.SetValue(raw);
    } else {
        // Stored without telling observers; the parameter's own result follows.
        param.ValueRef() = raw;
        param.OnParamChanged(nullptr);
    }
}

}  // namespace

Vo_Bling::Vo_Bling()
{
    m_speed.Rescale(0.02f, 0.0f);
    m_rotation.Rescale(0.02f, 0.0f);
    m_minimumSize.Rescale(0.01f, 0.0f);
}

void Vo_Bling::LoadFields(Vo_IOF_Virtual& stream, int32_t version)
{
    ReadRawWithResult(stream, m_speed, true);
    ReadRawWithResult(stream, m_fadeOut, false);
    ReadRawWithResult(stream, m_fadeIn, false);
    if (version >= 2) {
        ReadRawWithResult(stream, m_rotation, true);
        ReadRawWithResult(stream, m_minimumSize, true);
    }
    Vo_AirBrush::Load(stream);
}

float Vo_Bling::MakeLifeCycle(ProcessParticle& point) const
{
    const float a = m_fadeIn.Result(), b = m_fadeOut.Result(), T = a + b;
    point.age = 0.0f;
    point.value1 = 0.0f;
    if (!(T > 0.0f)) {
        point.processes.clear();
        return 0.0f;
    }
    // A window of width 0 never runs, so its rate is left at 0 instead of dividing by zero.
    const float rise = a > 0.0f ? (1 / T) / (a / T) : 0.0f;
    const float fall = b > 0.0f ? -(1 / T) / (b / T) : 0.0f;
    // A point that dies keeps its three steps and gets their values anew, so a cycle's restart
    // allocates nothing.
    if (point.processes.size() == 3) {
        auto* life = dynamic_cast<PLifeConst*>(point.processes[0].get());
        auto* up = dynamic_cast<PSteady*>(point.processes[1].get());
        auto* down = dynamic_cast<PSteady*>(point.processes[2].get());
        if (life && up && down) {
            life->SetRate(1 / T);
            up->Set(1, 0.0f, a / T, rise);
            down->Set(1, a / T, a / T + b / T, fall);
            return T;
        }
    }
    point.processes.clear();
    point.processes.emplace_back(new PLifeConst(1 / T));
    point.processes.emplace_back(new PSteady(1, 0.0f, a / T, rise));
    point.processes.emplace_back(new PSteady(1, a / T, a / T + b / T, fall));
    return T;
}

void Vo_Bling::StartSparkle(ProcessParticle& point) const
{
    const float T = MakeLifeCycle(point);
    const float x = static_cast<float>(std::rand()) / 32767.0f * T * 0.1f;
    for (int i = 0; i < 10; ++i)
        ParticleProcessList_Apply(point, x);
}

void Vo_Bling::AddPoint(const D3DXVECTOR3& point)
{
    Vo_AirBrush::AddPoint(point);
    StartSparkle(Points().back());
}

void Vo_Bling::Init(Vo_ParticlesObj* object)
{
    Vo_TexParticleGenerator::Init(object);
    if (object)
        object->SetSlotCount(2);
    CreateMaskTarget();
    for (ProcessParticle& point : Points())
        StartSparkle(point);
}

void Vo_Bling::Update(float time, Vo_ParticlesObj* object)
{
    m_speed.Advance(time);
    m_rotation.Advance(time);
    for (ProcessParticle& point : Points()) {
        if (!ParticleProcessList_Apply(point, m_speed.Step()))
            MakeLifeCycle(point);
    }
    WriteSparkles(object);
}

void Vo_Bling::WriteSparkles(Vo_ParticlesObj* object)
{
    if (!object)
        return;
    // Without a cycle (fade-in and fade-out both 0) there is nothing to show.
    const unsigned n = CycleLength() > 0.0f ? static_cast<unsigned>(Points().size()) : 0;
    object->ReserveQuads(0, n);
    object->ReserveQuads(1, n);
    const unsigned count = std::min(object->QuadCount(0), object->QuadCount(1));
    if (count == 0)
        return;
    void* slot0 = object->LockQuads(0);
    void* slot1 = slot0 ? object->LockQuads(1) : nullptr;
    if (!slot0 || !slot1) {
        object->UnlockQuads(0);
        return;
    }
    FillSparkles(slot0, slot1, count);
    object->UnlockQuads(0);
    object->UnlockQuads(1);
}

void Vo_Bling::FillSparkles(void* slot0, void* slot1, unsigned count) const
{
    D3DXMATRIX rotation;
    D3DXMatrixRotationZ(&rotation, m_rotation.Accumulated());
    const D3DXVECTOR3 unitX(1.0f, 0.0f, 0.0f), unitY(0.0f, 1.0f, 0.0f);
    D3DXVECTOR3 axisA, axisB;
    D3DXVec3TransformCoord(&axisA, &unitX, &rotation);
    D3DXVec3TransformCoord(&axisB, &unitY, &rotation);

    const float minimum = m_minimumSize.Result();
    const float brush = static_cast<float>(BrushSize().Value());
    const float fade = Timeline().GetFadeFactor();
    const ColorWithAlpha& colour1 = Color1();
    const ColorWithAlpha& colour2 = Color2();
    QuadVertices quad;
    for (unsigned i = 0; i < count; ++i) {
        const ProcessParticle& point = Points()[i];
        const float size = ((1 - minimum) * point.value1 + minimum) * brush;
        BuildOrientedQuad(quad, point.position, axisA, axisB, size);
        const float f = fade * point.value2;
        SetQuadColor(quad, VertexColorFromUnits(colour2.Color().Value(), colour2.Alpha().Result() * f / 255.0f));
        WriteQuadVertices(slot0, i, quad);
        SetQuadColor(quad, VertexColorFromUnits(colour1.Color().Value(), colour1.Alpha().Result() * f / 255.0f));
        WriteQuadVertices(slot1, i, quad);
    }
}

void Vo_Bling::Render(Vo_ABRender* renderer, Vo_ParticlesObj* object)
{
    DrawMasked("JoinMask", renderer, 0, 1, object);
    Composite(renderer);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_Bling);
