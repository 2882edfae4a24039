#include "particles/effects/Vo_StaticTextConstructor.h"

#include <d3dx9.h>
#include <objbase.h>

#include "model/ArchiveReads.h"
#include "model/ClassReaderRegistration.h"
#include "model/CurrentDevice.h"
#include "model/RenderTargetPair.h"
#include "model/Vo_DocResManager.h"
#include "model/Vo_IOF_Virtual.h"
#include "particles/sprites/SpriteParticle.h"
#include "runtime/Vo_ABRender.h"
#include "runtime/Vo_TimeLineControl.h"

namespace {

GUID NewIdentity()
{
    GUID guid = {};
    CoCreateGuid(&guid);
    return guid;
}

void ReadIntParam(Vo_IOF_Virtual& stream, MediaParamT<int>& param)
{
    int32_t value = param.Value();
    stream.ReadInt(value);
    param.ValueRef() = value;
}

}  // namespace

Vo_StaticTextConstructor::Vo_StaticTextConstructor() : m_identity(NewIdentity())
{
    Colour().ValueRef() = 0x000000FF;
    Timeline().TimeMode().ValueRef() = 1;
}

Vo_StaticTextConstructor::Vo_StaticTextConstructor(const Vo_StaticTextConstructor& other)
    : Vo_StatBaseFXCtrl(other),
      m_verticalAlignment(other.m_verticalAlignment.Value()),
      m_horizontalAlignment(other.m_horizontalAlignment.Value()),
      m_text(other.m_text.Value()),
      m_font(other.m_font),
      m_fontObject(other.m_fontObject),
      m_target(other.m_target),
      m_format(other.m_format),
      m_identity(other.m_identity)
{
}

Vo_StaticTextConstructor::~Vo_StaticTextConstructor() = default;

void Vo_StaticTextConstructor::ResolveEffect()
{
    Vo_StatBaseFXCtrl::ResolveEffect();
    if (CurrentDocResManager) {
        m_target = &CurrentDocResManager->GetRenderTargetPair(m_identity);
        // A side of 0 keeps the textures the store made.
        m_target->Create(Width().Value(), Height().Value());
    }
    GetFont();
    UpdateFormatFlags();
}

void Vo_StaticTextConstructor::GetFont()
{
    m_fontObject = CurrentDocResManager ? CurrentDocResManager->GetFont(m_identity, m_font) : ComRef<ID3DXFont>();
}

void Vo_StaticTextConstructor::UpdateFormatFlags()
{
    switch (m_horizontalAlignment.Value()) {
    case kCentre: m_format = DT_CENTER; break;
    case kFar: m_format = DT_RIGHT; break;
    default: m_format = 0; break;
    }
    if (m_verticalAlignment.Value() == kCentre)
        m_format |= DT_VCENTER;
    else if (m_verticalAlignment.Value() == kFar)
        m_format |= DT_BOTTOM;
}

void Vo_StaticTextConstructor::UpdateParticle(SpriteParticle& p)
{
    p.position = Position().Value();
    p.halfWidth = float(Width().Value()) * 0.5f;
    p.halfHeight = float(Height().Value()) * 0.5f;
    UpdateSpriteParticleColor(*this, p);
}

bool Vo_StaticTextConstructor::SetEffectParams(Vo_ABRender* layer)
{
    ID3DXEffect* effect = Effect();
    if (!m_target || !m_target->Current() || !effect || !layer)
        return false;
    D3DSURFACE_DESC desc = {};
    if (FAILED(m_target->Current()->GetLevelDesc(0, &desc)))
        return false;
    // The target must not be bound as a texture while it is drawn into.
    effect->SetTechnique("Common");
    effect->SetTexture("Texture1", nullptr);

    m_target->Begin(*m_target);
    layer->PushTargetSize(desc, 3);
    if (CurrentDevice)
        CurrentDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00FFFFFF, 1.0f, 0);
    if (m_fontObject) {
        RECT rect;
        SetRect(&rect, 0, 0, int(Width().Value()), int(Height().Value()));
        m_fontObject->DrawTextW(nullptr, m_text.Value().c_str(), -1, &rect, DWORD(m_format), 0xFFFFFFFF);
    }
    m_target->End();
    layer->PopTargetSize();

    effect->SetTechnique("Common");
    effect->SetTexture("Texture1", m_target->Current());
    return true;
}

void Vo_StaticTextConstructor::LoadFields(Vo_IOF_Virtual& stream, int32_t version)
{
    ReadIntParam(stream, m_verticalAlignment);
    ReadIntParam(stream, m_horizontalAlignment);
    stream.ReadString(m_text.ValueRef());
    stream.ReadInt(m_font.Height());
    uint32_t weight = uint32_t(m_font.Weight());
    stream.ReadUInt(weight);
    m_font.Weight() = int32_t(weight);
    stream.ReadInt(m_font.Italic());
    stream.ReadString(m_font.Face());
    uint32_t legacy[4] = {0, 0, 0, 0};
    if (version == 1)
        for (uint32_t& value : legacy)
            stream.ReadUInt(value);
    Vo_StatBaseFXCtrl::Load(stream);
    if (version != 1 || stream.Failed())
        return;
    // Old records kept the timeline as four durations in milliseconds.
    Vo_TimeLineControl& timeline = Timeline();
    if (legacy[2] == 0) {
        timeline.Mode().ValueRef() = Vo_TimeLineControl::kAlwaysVisible;
        return;
    }
    timeline.InvisibleMaximum().SetValue(legacy[3] / 10);
    timeline.InvisibleMinimum().SetValue(legacy[3] / 10);
    timeline.VisibleMaximum().SetValue(legacy[2] / 10);
    timeline.VisibleMinimum().SetValue(legacy[2] / 10);
    timeline.FadeIn().SetValue(legacy[0] / 10);
    timeline.FadeOut().SetValue(legacy[1] / 10);
}

VO_REGISTER_CONSTRUCTOR_READER(Vo_StaticTextConstructor);
