#include "runtime/Vo_ABObj.h"

#include "runtime/Vo_ABObj_Constructor.h"
#include "runtime/Vo_TimeLineControl.h"

Vo_ABObj::Vo_ABObj(Vo_ABObj_Constructor* owner) : m_owner(owner) {}

Vo_ABObj::~Vo_ABObj() = default;

int Vo_ABObj::GetKind() const
{
    return m_owner ? m_owner->GetKind() : Vo_ABObj_Constructor::kKind;
}

void* Vo_ABObj::QueryOwner()
{
    return m_owner ? m_owner->QueryForObject(this) : nullptr;
}

void Vo_ABObj::Restart()
{
    if (m_owner)
        m_owner->Restart();
}

void Vo_ABObj::UpdateByTimeline(float absoluteTime)
{
    float local = absoluteTime;
    if (m_owner) {
        Vo_TimeLineControl& timeline = m_owner->Timeline();
        local = timeline.AdvanceLocalTime(timeline.States(), absoluteTime);
    }
    Update(local);
}
