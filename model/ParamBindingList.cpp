#include "model/ParamBindingList.h"

ParamBindingList::~ParamBindingList()
{
    for (MediaControl* control : m_controls)
        delete control;
    m_controls.clear();
    if (m_owns && m_owner && m_deleteOwner)
        m_deleteOwner(m_owner);
}

void ParamBindingList::Append(std::unique_ptr<MediaControl> control)
{
    // Released only once stored, so a failed append still destroys (and detaches) the control.
    m_controls.push_back(control.get());
    control.release();
}
