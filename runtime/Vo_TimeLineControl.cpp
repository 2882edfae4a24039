#include "runtime/Vo_TimeLineControl.h"

#include <algorithm>

#include "model/Vo_IOF_Virtual.h"

namespace {

const unsigned int kDefaultDuration = 100;
const unsigned int kDefaultFade = 50;
// A mode-2 interval further ahead than this counts as not yet near.
const float kIntervalLookAhead = 3.0f;

}  // namespace

Vo_TimeLineControl::Vo_TimeLineControl()
    : m_mode(kAlwaysVisible),
      m_timeMode(0),
      m_invisibleMin(kDefaultDuration),
      m_invisibleMax(kDefaultDuration),
      m_visibleMin(kDefaultDuration),
      m_visibleMax(kDefaultDuration),
      m_states(new AnimationStateList())
{
    m_fadeOut.SetValue(kDefaultFade);
    m_fadeIn.SetValue(m_fadeOut.Value());
}

Vo_TimeLineControl::Vo_TimeLineControl(const Vo_TimeLineControl& other)
    : Vo_IOF_Item(other),
      m_mode(other.m_mode.Value()),
      m_timeMode(other.m_timeMode.Value()),
      m_invisibleMin(other.m_invisibleMin.Value()),
      m_invisibleMax(other.m_invisibleMax.Value()),
      m_visibleMin(other.m_visibleMin.Value()),
      m_visibleMax(other.m_visibleMax.Value()),
      m_fadeIn(other.m_fadeIn),
      m_fadeOut(other.m_fadeOut),
      m_intervals(other.m_intervals),
      m_currentTime(0.0f),
      m_states(new AnimationStateList())
{
    std::copy(other.m_extra, other.m_extra + 3, m_extra);
}

void Vo_TimeLineControl::Load(Vo_IOF_Virtual& stream)
{
    vo_string className;
    int32_t version = 0;
    stream.ReadString(className);
    stream.ReadInt(version);
    stream.ReadLong(m_mode.ValueRef());
    stream.ReadLong(m_timeMode.ValueRef());
    stream.ReadUInt(m_invisibleMin.ValueRef());
    stream.ReadUInt(m_invisibleMax.ValueRef());
    stream.ReadUInt(m_visibleMin.ValueRef());
    stream.ReadUInt(m_visibleMax.ValueRef());
    stream.ReadUInt(m_fadeIn.ValueRef());
    stream.ReadUInt(m_fadeOut.ValueRef());
    // The seconds follow the raw values; recomputing them tells no observer.
    m_fadeIn.OnParamChanged(nullptr);
    m_fadeOut.OnParamChanged(nullptr);

    int32_t count = 0;
    stream.ReadInt(count);
    // A count beyond the bytes ends with the stream's failure, not with a huge loop.
    for (int32_t i = 0; i < count && !stream.Failed(); ++i) {
        TimeInterval interval;
        stream.ReadFloat(interval.start);
        stream.ReadFloat(interval.end);
        stream.ReadFloat(interval.fadeInEnd);
        stream.ReadFloat(interval.fadeOutStart);
        if (stream.Failed())
            break;
        InsertInterval(interval);
    }
}

bool Vo_TimeLineControl::InsertInterval(const TimeInterval& interval)
{
    if (!IsWellFormedInterval(interval))
        return false;
    auto next = std::lower_bound(m_intervals.begin(), m_intervals.end(), interval, TimeIntervalBefore);
    // next is the first interval not before the new one; unless the new one lies wholly before
    // it, the two overlap or touch.
    if (next != m_intervals.end() && !TimeIntervalBefore(interval, *next))
        return false;
    m_intervals.insert(next, interval);
    return true;
}

const TimeInterval* Vo_TimeLineControl::FindInterval(float t) const
{
    for (const TimeInterval& interval : m_intervals) {
        if (!(interval.end < t))
            return &interval;
    }
    return nullptr;
}

float Vo_TimeLineControl::AdvanceLocalTime(AnimationStateList& list, float x)
{
    const float previous = list.LastTime();
    list.SetLastTime(x);
    float dt = x - previous;

    if (!list.HasShownTime())
        list.SetShownTime(x);
    m_currentTime = x - list.ShownTime();

    if (m_mode.Value() == kCycling)
        list.Step(x, *this);
    if (m_timeMode.Value() == kTimeModeFollowsOpacity)
        dt = dt * StateOpacity(list);

    list.SetLocalTime(list.LocalTime() + dt);
    return list.LocalTime();
}

float Vo_TimeLineControl::StateOpacity(const AnimationStateList& list) const
{
    if (m_mode.Value() == kAlwaysVisible)
        return 1.0f;
    return list.Current().GetOpacity(list.LastTime());
}

float Vo_TimeLineControl::GetStateOpacity() const
{
    return StateOpacity(*m_states);
}

float Vo_TimeLineControl::GetFadeFactor() const
{
    switch (m_mode.Value()) {
    case kAlwaysVisible:
        return 1.0f;
    case kIntervals: {
        const float t = m_currentTime;
        const TimeInterval* interval = FindInterval(t);
        if (!interval || interval->start > t + kIntervalLookAhead)
            return 0.0f;
        return IntervalOpacity(*interval, t);
    }
    default:
        return GetStateOpacity();
    }
}

int Vo_TimeLineControl::GetState() const
{
    switch (m_mode.Value()) {
    case kAlwaysVisible:
        return AnimationState::kVisible;
    case kIntervals: {
        const TimeInterval* interval = FindInterval(m_currentTime);
        if (!interval)
            return AnimationState::kInvisible;
        return IntervalStateCode(*interval, m_currentTime);
    }
    default:
        return m_states->Current().GetKind();
    }
}
