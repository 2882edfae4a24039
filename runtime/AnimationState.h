#pragma once
// The four appearance states of a cycling timeline. They are always used together by
// AnimationStateList, so they share this file.

class Vo_TimeLineControl;

// How far t has come from start to end, 0 to 1. A section without length (end not after
// start) counts as complete, so a fade of length 0 ends at once instead of dividing 0 by 0.
float FadeProgress(float t, float start, float end);

// The visible state; the base of the other three.
class AnimationState {
public:
    enum Kind { kVisible = 0, kInvisible = 1, kFadingIn = 2, kFadingOut = 3 };

    virtual ~AnimationState() = default;
    virtual float GetOpacity(float t) const;
    // Starts the state at time t, taking its length from the timeline.
    virtual void Enter(float t, const Vo_TimeLineControl& timeline);
    virtual int GetKind() const { return kVisible; }

    float EndTime() const { return m_end; }
    // Reset clears the end time, so the next step leaves the state.
    virtual void ClearTimes() { m_end = 0.0f; }

protected:
    float m_end = 0.0f;
};

class AnimationState_Invisible : public AnimationState {
public:
    float GetOpacity(float t) const override;
    void Enter(float t, const Vo_TimeLineControl& timeline) override;
    int GetKind() const override { return kInvisible; }
};

class AnimationState_FadeIn : public AnimationState {
public:
    float GetOpacity(float t) const override;
    void Enter(float t, const Vo_TimeLineControl& timeline) override;
    int GetKind() const override { return kFadingIn; }
    void ClearTimes() override
    {
        m_start = 0.0f;
        m_end = 0.0f;
    }
    float StartTime() const { return m_start; }

protected:
    float m_start = 0.0f;
};

class AnimationState_FadeOut : public AnimationState {
public:
    float GetOpacity(float t) const override;
    void Enter(float t, const Vo_TimeLineControl& timeline) override;
    int GetKind() const override { return kFadingOut; }
    void ClearTimes() override
    {
        m_start = 0.0f;
        m_end = 0.0f;
    }
    float StartTime() const { return m_start; }

protected:
    float m_start = 0.0f;
};

// A random whole number of hundredths between min and max, in seconds, from the process's one
// rand() sequence. A max below min gives min: documents keep min <= max, and any other pair
// would otherwise divide by zero or by a wrapped span.
float RandomDurationSeconds(unsigned int minimum, unsigned int maximum);
