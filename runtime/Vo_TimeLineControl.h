#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "model/MediaParamT.h"
#include "model/UINTSclaleTo.h"
#include "model/Vo_IOF_Item.h"
#include "runtime/AnimationStateList.h"
#include "runtime/TimeInterval.h"

class Vo_IOF_Virtual;

// When a scene object shows and how strongly: always (mode 0), in a cycle of random invisible
// and visible phases joined by fades (mode 1), or in a stored set of intervals (mode 2). It also
// turns the absolute scene time into the object's local time.
class Vo_TimeLineControl : public Vo_IOF_Item {
public:
    enum Mode { kAlwaysVisible = 0, kCycling = 1, kIntervals = 2 };
    // The time mode in which local time runs at the speed of the current opacity.
    enum { kTimeModeFollowsOpacity = 2 };

    Vo_TimeLineControl();
    // Takes the settings and intervals; the copy starts its own cycle and clock from the start.
    Vo_TimeLineControl(const Vo_TimeLineControl& other);
    Vo_TimeLineControl& operator=(const Vo_TimeLineControl&) = delete;

    // Reads a whole record: class name, version and fields, writing values without notifying.
    void Load(Vo_IOF_Virtual& stream);

    // Advances the list to absolute time x and returns the local time.
    float AdvanceLocalTime(AnimationStateList& list, float x);
    float GetFadeFactor() const;
    int GetState() const;
    float GetStateOpacity() const;

    // Adds an interval unless it is malformed or overlaps or touches one already held; returns
    // whether it was added.
    bool InsertInterval(const TimeInterval& interval);
    const std::vector<TimeInterval>& Intervals() const { return m_intervals; }

    MediaParamT<int>& Mode() { return m_mode; }
    const MediaParamT<int>& Mode() const { return m_mode; }
    MediaParamT<int>& TimeMode() { return m_timeMode; }
    const MediaParamT<int>& TimeMode() const { return m_timeMode; }
    MediaParamT<unsigned int>& InvisibleMinimum() { return m_invisibleMin; }
    const MediaParamT<unsigned int>& InvisibleMinimum() const { return m_invisibleMin; }
    MediaParamT<unsigned int>& InvisibleMaximum() { return m_invisibleMax; }
    const MediaParamT<unsigned int>& InvisibleMaximum() const { return m_invisibleMax; }
    MediaParamT<unsigned int>& VisibleMinimum() { return m_visibleMin; }
    const MediaParamT<unsigned int>& VisibleMinimum() const { return m_visibleMin; }
    MediaParamT<unsigned int>& VisibleMaximum() { return m_visibleMax; }
    const MediaParamT<unsigned int>& VisibleMaximum() const { return m_visibleMax; }
    TimeParam& FadeIn() { return m_fadeIn; }
    const TimeParam& FadeIn() const { return m_fadeIn; }
    TimeParam& FadeOut() { return m_fadeOut; }
    const TimeParam& FadeOut() const { return m_fadeOut; }

    // The interval mode's clock: seconds since the object's slide was last shown.
    float IntervalTime() const { return m_currentTime; }
    void SetIntervalTime(float t) { m_currentTime = t; }

    // Values some object classes set in their constructors; carried by copies only.
    int32_t ExtraValue(int index) const { return m_extra[index]; }
    void SetExtraValue(int index, int32_t value) { m_extra[index] = value; }

    AnimationStateList& States() { return *m_states; }
    const AnimationStateList& States() const { return *m_states; }

private:
    // The first interval whose end is not below t, or null.
    const TimeInterval* FindInterval(float t) const;
    float StateOpacity(const AnimationStateList& list) const;

    MediaParamT<int> m_mode;
    MediaParamT<int> m_timeMode;
    MediaParamT<unsigned int> m_invisibleMin;
    MediaParamT<unsigned int> m_invisibleMax;
    MediaParamT<unsigned int> m_visibleMin;
    MediaParamT<unsigned int> m_visibleMax;
    TimeParam m_fadeIn;
    TimeParam m_fadeOut;
    // Kept in their order, pairwise apart.
    std::vector<TimeInterval> m_intervals;
    float m_currentTime = 0.0f;
    int32_t m_extra[3] = {0, 0, 0};
    std::unique_ptr<AnimationStateList> m_states;
};
