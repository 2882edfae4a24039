#include "particles/generators/Vo_TexParticleGenerator.h"

#include <d3dx9.h>
#include <objbase.h>

#include "model/ArchiveReads.h"
#include "model/CurrentDevice.h"
#include "model/D3DResourceMakers.h"
#include "model/RenderTargetPair.h"
#include "model/Vo_DocResManager.h"
#include "model/Vo_IOF_Virtual.h"
#include "particles/generators/Vo_ParticlesObj.h"
#include "runtime/PictureMesh.h"
#include "runtime/Vo_ABRender.h"

namespace {

GUID NewGuid()
{
    GUID guid = {};
    CoCreateGuid(&guid);
    return guid;
}

void ReadColor(Vo_IOF_Virtual& stream, ColorWithAlpha& colour)
{
    int32_t rgb = static_cast<int32_t>(colour.Color().Value());
    stream.ReadInt(rgb);
    colour.Color().ValueRef() = static_cast<unsigned long>(static_cast<uint32_t>(rgb));
    uint32_t transparency = colour.Alpha().Value();
    stream.ReadUInt(transparency);
    colour.Alpha().SetValue(transparency);
}

void CopyColor(ColorWithAlpha& to, const ColorWithAlpha& from)
{
    to.Color().ValueRef() = from.Color().Value();
    to.Alpha().SetValue(from.Alpha().Value());
}

}  // namespace

Vo_TexParticleGenerator::Vo_TexParticleGenerator() : m_guid(NewGuid()) {}

Vo_TexParticleGenerator::Vo_TexParticleGenerator(const Vo_TexParticleGenerator& other)
    : Vo_ParticleGenerator(other), m_pictures(other.m_pictures), m_frameSets(other.m_frameSets),
      m_effect(other.m_effect), m_maskTarget(other.m_maskTarget), m_guid(other.m_guid)
{
    m_effectLink.Assign(other.m_effectLink.GetPath(), other.m_effectLink.GetKey().Stamp());
    CopyColor(m_color1, other.m_color1);
    CopyColor(m_color2, other.m_color2);
    m_blendMode.ValueRef() = other.m_blendMode.Value();
    m_verticalMirror.ValueRef() = other.m_verticalMirror.Value();
    m_horizontalMirror.ValueRef() = other.m_horizontalMirror.Value();
}

Vo_TexParticleGenerator::~Vo_TexParticleGenerator() = default;

Vo_ABObj* Vo_TexParticleGenerator::CreateObject()
{
    return new Vo_ParticlesObj(Clone());
}

void Vo_TexParticleGenerator::Init(Vo_ParticlesObj* object)
{
    m_object = object;
    m_frameSets.clear();
    m_effect.Reset();
    if (!CurrentDocResManager)
        return;
    for (TextureFrameSet* set : CurrentDocResManager->GetTextureFrameSets(m_pictures))
        m_frameSets.push_back(set ? *set : TextureFrameSet());
    m_effect = CurrentDocResManager->GetEffect(m_effectLink);
}

bool Vo_TexParticleGenerator::NeedsBackground() const
{
    const int mode = m_blendMode.Value();
    return (mode == kScreen || mode == kColorDodge) && DrawsThroughMask() && CanUseMask();
}

void Vo_TexParticleGenerator::Load(Vo_IOF_Virtual& stream)
{
    const int32_t version = ReadRecordHeader(stream);
    int32_t count = 0;
    stream.ReadInt(count);
    // One link at a time, so a damaged count ends with the stream instead of allocating for it.
    for (int32_t i = 0; i < count && !stream.Failed(); ++i) {
        Vo_ImageFileLink link;
        ReadFileLink(stream, link);
        if (!stream.Failed())
            m_pictures.push_back(link);
    }
    ReadFileLink(stream, m_effectLink);
    ReadColor(stream, m_color1);
    ReadColor(stream, m_color2);
    stream.ReadLong(m_blendMode.ValueRef());
    if (version >= 2) {
        stream.ReadLong(m_verticalMirror.ValueRef());
        stream.ReadLong(m_horizontalMirror.ValueRef());
    } else {
        m_verticalMirror.ValueRef() = 0;
        m_horizontalMirror.ValueRef() = 0;
    }
    Vo_ParticleGenerator::Load(stream);
}

IDirect3DTexture9* Vo_TexParticleGenerator::GetFrameTexture(size_t i) const
{
    if (i >= m_frameSets.size())
        return nullptr;
    const TextureFrameSet& set = m_frameSets[i];
    if (set.currentFrame >= set.frames.size())
        return nullptr;
    return set.frames[set.currentFrame].Get();
}

void Vo_TexParticleGenerator::CreateMaskTarget()
{
    if (!CurrentDocResManager)
        return;
    m_maskTarget = &CurrentDocResManager->GetRenderTargetPair(m_guid);
    D3DSURFACE_DESC desc = {};
    GetBackBufferDesc(desc);
    m_maskTarget->Create(desc.Width, desc.Height);
}

bool Vo_TexParticleGenerator::CanUseMask() const
{
    return m_effect && m_maskTarget && m_maskTarget->Current();
}

namespace {

// Begins drawing into the mask target, laid out for its size and cleared to the colour.
bool BeginMask(RenderTargetPair& mask, Vo_ABRender* renderer, D3DCOLOR clear)
{
    D3DSURFACE_DESC desc = {};
    if (FAILED(mask.Current()->GetLevelDesc(0, &desc)))
        return false;
    mask.Begin(mask);
    renderer->PushTargetSize(desc, 3);
    if (CurrentDevice)
        CurrentDevice->Clear(0, nullptr, D3DCLEAR_TARGET, clear, 1.0f, 0);
    return true;
}

void EndMask(RenderTargetPair& mask, Vo_ABRender* renderer)
{
    mask.End();
    renderer->PopTargetSize();
}

}  // namespace

void Vo_TexParticleGenerator::DrawBlendMasked(Vo_ABRender* renderer, Vo_ParticlesObj* object,
                                              IDirect3DTexture9* texture)
{
    if (!object)
        return;
    Vo_IndexedMesh<DX_V::PCT>* mesh = object->Mesh(0);
    const int primitives = 2 * static_cast<int>(object->QuadCount(0));
    const bool drawSlot = mesh && texture && primitives > 0 && mesh->VertexBuffer();
    if (!CanUseMask()) {
        if (!drawSlot || !CurrentDevice)
            return;
        CurrentDevice->SetTexture(0, texture);
        renderer->DrawColoredIndexed(mesh, nullptr, primitives, 1.0f);
        return;
    }
    ID3DXEffect* effect = m_effect.Get();
    effect->SetTechnique("BlendMask");
    if (!BeginMask(*m_maskTarget, renderer, 0x00000000))
        return;
    if (drawSlot) {
        effect->SetTexture("Texture1", texture);
        renderer->DrawColoredIndexed(mesh, &effect, primitives, 1.0f);
    }
    EndMask(*m_maskTarget, renderer);
    Composite(renderer);
}

void Vo_TexParticleGenerator::DrawMasked(const char* technique, Vo_ABRender* renderer, size_t first,
                                         size_t last, Vo_ParticlesObj* object)
{
    if (!object || !CanUseMask())
        return;
    ID3DXEffect* effect = m_effect.Get();
    effect->SetTechnique(technique);
    if (!BeginMask(*m_maskTarget, renderer, 0x00FFFFFF))
        return;
    for (size_t i = first; i <= last; ++i) {
        Vo_IndexedMesh<DX_V::PCT>* mesh = object->Mesh(i);
        IDirect3DTexture9* texture = GetFrameTexture(i);
        const int primitives = 2 * static_cast<int>(object->QuadCount(i));
        // A slot without a picture or without buffers is skipped.
        if (!mesh || !texture || primitives <= 0 || !mesh->VertexBuffer())
            continue;
        effect->SetTexture("Texture1", texture);
        renderer->DrawColoredIndexed(mesh, &effect, primitives, 1.0f);
    }
    EndMask(*m_maskTarget, renderer);
}

void Vo_TexParticleGenerator::Composite(Vo_ABRender* renderer)
{
    if (!CanUseMask())
        return;
    ID3DXEffect* effect = m_effect.Get();
    IDirect3DTexture9* mask = m_maskTarget->Current();
    IDirect3DTexture9** output = renderer->GetOutputTexture();
    IDirect3DTexture9* background = output ? *output : nullptr;
    switch (m_blendMode.Value()) {
    case kNormal:
        effect->SetTechnique("CommonTex");
        effect->SetTexture("Texture1", mask);
        break;
    case kScreen:
        effect->SetTechnique("Blend_ScreenTex");
        effect->SetTexture("Texture1", background);
        effect->SetTexture("Texture2", mask);
        break;
    case kColorDodge:
        effect->SetTechnique("Blend_ColorDodgeTex");
        effect->SetTexture("Texture1", background);
        effect->SetTexture("Texture2", mask);
        break;
    case kSum:
        effect->SetTechnique("Blend_SumTex");
        effect->SetTexture("Texture1", mask);
        break;
    default:
        return;
    }
    DrawOverLayer(renderer);
}

void Vo_TexParticleGenerator::DrawOverLayer(Vo_ABRender* renderer)
{
    ID3DXEffect* effect = m_effect.Get();
    if (!effect)
        return;
    renderer->DrawStripWithEffect(renderer->GetPictureMesh(), &effect);
    effect->SetTexture("Texture1", nullptr);
    effect->SetTexture("Texture2", nullptr);
}
