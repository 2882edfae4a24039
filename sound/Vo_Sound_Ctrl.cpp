#include "sound/Vo_Sound_Ctrl.h"

#include <algorithm>

#include "model/Vo_IOF_Virtual.h"
#include "runtime/Vo_TimeLineControl.h"
#include "sound/Vo_Sound.h"
#include "sound/SoundIconLink.h"

Vo_Sound_Ctrl::Vo_Sound_Ctrl()
{
    m_volume.ValueRef() = 100;
    m_balance.ValueRef() = 50;
}

Vo_Sound_Ctrl::Vo_Sound_Ctrl(const Vo_Sound_Ctrl& other) : Vo_ABObj_Constructor(other)
{
    m_volume.ValueRef() = other.m_volume.Value();
    m_balance.ValueRef() = other.m_balance.Value();
}

Vo_Sound_Ctrl::~Vo_Sound_Ctrl() = default;

void Vo_Sound_Ctrl::GetPreviewInfo(ObjectPreviewInfo& info) const
{
    info = ObjectPreviewInfo();
    info.picture = &GetSoundIconLink();
    info.scale = 1.0f;
}

Vo_ABObj* Vo_Sound_Ctrl::CreateObject() { return new Vo_Sound(Clone()); }

void Vo_Sound_Ctrl::Load(Vo_IOF_Virtual& stream)
{
    vo_string className;
    int32_t version = 0;
    stream.ReadString(className);
    stream.ReadInt(version);
    Vo_Sound_Ctrl::LoadFields(stream, version);
}

void Vo_Sound_Ctrl::LoadFields(Vo_IOF_Virtual& stream, int32_t version)
{
    stream.ReadUInt(m_volume.ValueRef());
    stream.ReadUInt(m_balance.ValueRef());
    if (version < 3) {
        // Older records kept the timeline's cycle here, in whole seconds; a timeline in the base
        // record (version 2 and later) replaces it.
        int32_t mode = Timeline().Mode().Value();
        uint32_t first = 0;
        uint32_t second = 0;
        stream.ReadLong(mode);
        stream.ReadUInt(first);
        stream.ReadUInt(second);
        if (stream.Failed())
            return;
        Timeline().Mode().ValueRef() = mode;
        Timeline().InvisibleMinimum().SetValue(first * 100u);
        Timeline().InvisibleMaximum().SetValue(second * 100u);
    }
    Vo_ABObj_Constructor::Load(stream);
}

int Vo_Sound_Ctrl::ClampedVolume() const { return static_cast<int>(std::min(m_volume.Value(), 100u)); }

int Vo_Sound_Ctrl::ClampedBalance() const { return static_cast<int>(std::min(m_balance.Value(), 100u)); }

void Vo_Sound_Ctrl::SetTimelineLength(unsigned int hundredths)
{
    Vo_TimeLineControl& timeline = Timeline();
    timeline.VisibleMaximum().SetValue(hundredths);
    timeline.VisibleMinimum().SetValue(hundredths);
    timeline.FadeOut().SetValue(0);
    timeline.FadeIn().SetValue(timeline.FadeOut().Value());
}
