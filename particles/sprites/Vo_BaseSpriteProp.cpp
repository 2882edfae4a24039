#include "particles/sprites/Vo_BaseSpriteProp.h"

#include "model/ArchiveReads.h"
#include "model/ReadScaled.h"
#include "model/TextureFrameSet.h"
#include "model/Vo_DocResManager.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/PicturePlacement.h"
#include "runtime/Vo_TimeLineControl.h"

namespace {

// A raw value read through its parameter's notification, so the scaled result follows.
void ReadInt(Vo_IOF_Virtual& stream, MediaParamT<int>& param)
{
    int32_t value = param.Value();
    stream.ReadLong(value);
    param.ValueRef() = value;
}

}  // namespace

Vo_BaseSpriteProp::Vo_BaseSpriteProp() : m_count(1), m_colour(0xFFFFFF)
{
    m_transparency.Rescale(-2.55f, 255.0f);
    m_frameSpeed.Rescale(0.01f, 0.0f);
    m_frameSpeed.SetValue(100);
}

Vo_BaseSpriteProp::Vo_BaseSpriteProp(const Vo_BaseSpriteProp& other)
    : Vo_ViewObjCtrl(other),
      m_count(other.m_count.Value()),
      m_spriteSize(other.m_spriteSize.Value()),
      m_transparency(other.m_transparency),
      m_additive(other.m_additive.Value()),
      m_colour(other.m_colour.Value()),
      m_opacitySpeed(other.m_opacitySpeed),
      m_minOpacity(other.m_minOpacity),
      m_maxOpacity(other.m_maxOpacity),
      m_minScale(other.m_minScale),
      m_maxScale(other.m_maxScale),
      m_mainPicture(other.m_mainPicture),
      m_secondPicture(other.m_secondPicture),
      m_reservedCount(other.m_reservedCount),
      m_reservedRate(other.m_reservedRate),
      m_frameCount(other.m_frameCount),
      m_frameRate(other.m_frameRate),
      m_animated(other.m_animated),
      m_pictureSource(other.m_pictureSource),
      m_verticalMirror(other.m_verticalMirror.Value()),
      m_horizontalMirror(other.m_horizontalMirror.Value()),
      m_refillOnFrame(other.m_refillOnFrame.Value()),
      m_legacyDelays(other.m_legacyDelays),
      m_legacyBlobs(other.m_legacyBlobs),
      m_legacySecondBlob(other.m_legacySecondBlob),
      m_frameSpeed(other.m_frameSpeed)
{
    m_frameSpeed.CopyClock(other.m_frameSpeed);
}

Vo_BaseSpriteProp::~Vo_BaseSpriteProp() = default;

void Vo_BaseSpriteProp::GetPreviewInfo(ObjectPreviewInfo& info) const
{
    info.picture = &m_mainPicture;
    info.frame = m_pictureSource;
    info.flag = 0;
    info.scale = 1.0f / float(FrameCount());
}

unsigned Vo_BaseSpriteProp::NextFrame(unsigned index)
{
    return (index + 1) % FrameCount();
}

uint32_t Vo_BaseSpriteProp::ApplyFade(uint32_t argb) const
{
    const float fade = Timeline().GetFadeFactor();
    float alpha = fade * float(argb >> 24);
    // A fade outside 0..1 must not carry into the colour bytes.
    if (!(alpha > 0.0f))
        alpha = 0.0f;
    if (alpha > 255.0f)
        alpha = 255.0f;
    return (argb & 0x00FFFFFFu) | uint32_t(alpha) << 24;
}

float Vo_BaseSpriteProp::MainFrameAspect() const
{
    float aspect = 1.0f;
    if (CurrentDocResManager && !m_mainPicture.GetPath().empty()) {
        const TextureFrameSet& set = CurrentDocResManager->GetTextureFrameSet(m_mainPicture);
        if (!set.frames.empty())
            aspect = set.aspect;
    }
    if (m_animated)
        aspect *= float(FrameCount());
    return aspect;
}

float Vo_BaseSpriteProp::LeftEdge() const
{
    return MinX() * float(GetPicturePlacement().pictureWidth);
}

float Vo_BaseSpriteProp::RightEdge() const
{
    return MaxX() * float(GetPicturePlacement().pictureWidth);
}

float Vo_BaseSpriteProp::TopEdge() const
{
    return MinY() * float(GetPicturePlacement().pictureHeight);
}

float Vo_BaseSpriteProp::BottomEdge() const
{
    return MaxY() * float(GetPicturePlacement().pictureHeight);
}

void Vo_BaseSpriteProp::Load(Vo_IOF_Virtual& stream)
{
    const int32_t version = ReadRecordHeader(stream);
    LoadFields(stream, version);
}

void Vo_BaseSpriteProp::LoadFields(Vo_IOF_Virtual& stream, int32_t version)
{
    Vo_ViewObjCtrl::Load(stream);
    stream.ReadUInt(m_count.ValueRef());
    if (version < 3)
        stream.ReadUInt(Speed().ValueRef());
    stream.ReadUInt(m_spriteSize.ValueRef());
    ReadScaled(stream, m_transparency);
    ReadInt(stream, m_additive);
    int32_t colour = static_cast<int32_t>(m_colour.Value());
    stream.ReadInt(colour);
    m_colour.ValueRef() = static_cast<uint32_t>(colour);
    stream.ReadFloat(m_opacitySpeed);
    stream.ReadFloat(m_minOpacity);
    stream.ReadFloat(m_maxOpacity);
    stream.ReadFloat(m_minScale);
    stream.ReadFloat(m_maxScale);
    if (version == 1) {
        ReadFileBlobVector(stream, m_legacyBlobs);
        ReadArchiveFileBlob(stream, m_legacySecondBlob);
    } else {
        ReadFileLink(stream, m_mainPicture);
        ReadFileLink(stream, m_secondPicture);
    }
    stream.ReadUInt(m_reservedCount);
    stream.ReadFloat(m_reservedRate);
    stream.ReadUInt(m_frameCount);
    stream.ReadFloat(m_frameRate);
    stream.ReadBool(m_animated);
    if (version == 1) {
        ReadFloatVector(stream, m_legacyDelays);
        return;
    }
    if (version > 3)
        stream.ReadLong(m_pictureSource);
    if (version > 4) {
        ReadInt(stream, m_verticalMirror);
        ReadInt(stream, m_horizontalMirror);
    }
    if (version > 5)
        ReadInt(stream, m_refillOnFrame);
    if (version > 6)
        ReadScaled(stream, m_frameSpeed);
}

void Vo_BaseSpriteProp::ResolveImages()
{
    if (!m_mainPicture.GetPath().empty() || !CurrentDocResManager)
        return;
    const Vo_ImageFileLink main = CurrentDocResManager->AdoptFrameBlobs(m_legacyBlobs, m_legacyDelays);
    m_mainPicture.Assign(main.GetKey().Path(), main.GetKey().Stamp());
    if (m_legacySecondBlob.Size() > 0) {
        const Vo_ImageFileLink second = CurrentDocResManager->AdoptPictureBlob(m_legacySecondBlob);
        m_secondPicture.Assign(second.GetKey().Path(), second.GetKey().Stamp());
    }
    m_legacyBlobs.clear();
    m_legacyDelays.clear();
}
