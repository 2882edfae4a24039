#pragma once
#include <vector>

class MediaControl;

// Base of every editable scene value. Keeps its observers in attachment order, tells all but the
// sender when the value changes, and tells each to forget it when it is destroyed.
class MediaParam {
public:
    MediaParam() = default;
    // A copied parameter starts with no controls of its own.
    MediaParam(const MediaParam&) {}
    MediaParam& operator=(const MediaParam&) { return *this; }
    virtual ~MediaParam();

    void AttachControl(MediaControl* control);
    void DetachControl(MediaControl* control);
    void NotifyControls(MediaControl* sender);

    const std::vector<MediaControl*>& Controls() const { return m_controls; }

private:
    std::vector<MediaControl*> m_controls;
};

// An observer of one parameter.
class MediaControl {
public:
    virtual ~MediaControl() = default;
    // The watched parameter is being destroyed.
    virtual void ForgetParam() {}
    // The watched parameter's value changed; sender is the control that caused it, or null.
    virtual void OnParamChanged(MediaControl* sender) = 0;
};

// A control that watches one parameter of type P and detaches itself when destroyed first.
template <class P>
class MediaControlT : public MediaControl {
public:
    MediaControlT() = default;
    MediaControlT(const MediaControlT&) = delete;
    MediaControlT& operator=(const MediaControlT&) = delete;
    ~MediaControlT() override
    {
        if (m_param)
            m_param->DetachControl(this);
    }

    // Moving to another parameter leaves the old one's list, so no entry outlives the control.
    void Attach(P* param)
    {
        if (m_param)
            m_param->DetachControl(this);
        m_param = param;
        if (m_param)
            m_param->AttachControl(this);
    }
    P* WatchedParam() const { return m_param; }

    void ForgetParam() override { m_param = nullptr; }
    void OnParamChanged(MediaControl*) override {}

protected:
    P* m_param = nullptr;
};
