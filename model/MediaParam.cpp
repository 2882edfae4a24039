#include "model/MediaParam.h"

#include <algorithm>

MediaParam::~MediaParam()
{
    // Controls that outlive the parameter keep a null pointer and never call into it again.
    for (MediaControl* control : m_controls)
        control->ForgetParam();
}

void MediaParam::AttachControl(MediaControl* control)
{
    m_controls.push_back(control);
}

void MediaParam::DetachControl(MediaControl* control)
{
    m_controls.erase(std::remove(m_controls.begin(), m_controls.end(), control), m_controls.end());
}

void MediaParam::NotifyControls(MediaControl* sender)
{
    // Walked in place, allocating nothing: a control must not attach or detach controls of this
    // parameter while it is being told. Indexing rather than iterators keeps a control that does
    // it anyway from reading freed list memory.
    for (size_t i = 0; i < m_controls.size(); ++i) {
        MediaControl* control = m_controls[i];
        if (control != sender)
            control->OnParamChanged(sender);
    }
}
