#include "runtime/Vo_ABObj_Constructor.h"

#include "model/Vo_IOF_Virtual.h"
#include "runtime/Vo_TimeLineControl.h"

Vo_ABObj_Constructor::Vo_ABObj_Constructor() : m_timeline(new Vo_TimeLineControl()) {}

Vo_ABObj_Constructor::Vo_ABObj_Constructor(const Vo_ABObj_Constructor& other)
    : Vo_IOF_Item(other),
      m_reserved(other.m_reserved),
      m_name(other.m_name),
      m_timeline(new Vo_TimeLineControl(*other.m_timeline))
{
}

Vo_ABObj_Constructor::~Vo_ABObj_Constructor() = default;

void Vo_ABObj_Constructor::GetPreviewInfo(ObjectPreviewInfo& info) const
{
    info = ObjectPreviewInfo();
}

void Vo_ABObj_Constructor::Restart()
{
    m_timeline->States().Reset();
}

void Vo_ABObj_Constructor::Load(Vo_IOF_Virtual& stream)
{
    vo_string className;
    int32_t version = 0;
    stream.ReadString(className);
    stream.ReadInt(version);
    Vo_ABObj_Constructor::LoadFields(stream, version);
}

void Vo_ABObj_Constructor::LoadFields(Vo_IOF_Virtual& stream, int32_t version)
{
    stream.ReadString(m_name);
    if (version >= 2)
        m_timeline->Load(stream);
}

void Vo_ABObj_Constructor::AssignDescription(const Vo_ABObj_Constructor& other)
{
    if (&other == this)
        return;
    m_reserved = other.m_reserved;
    m_name = other.m_name;
    m_timeline = std::make_unique<Vo_TimeLineControl>(*other.m_timeline);
}
