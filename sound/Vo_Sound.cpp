#include "sound/Vo_Sound.h"

#include "sound/Vo_Sound_Ctrl.h"

Vo_Sound::Vo_Sound(Vo_Sound_Ctrl* clone) : Vo_ABObj(clone), m_sound(clone) { m_sound->Prepare(); }

void Vo_Sound::SetEnabled(int enabled)
{
    if ((enabled & 0xFF) == 0)
        m_sound->Stop();
    m_soundEnabled = enabled;
}

void Vo_Sound::Update(float localTime)
{
    if (IsSoundEnabled())
        m_sound->Update(localTime);
}
