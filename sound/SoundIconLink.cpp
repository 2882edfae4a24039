#include "sound/SoundIconLink.h"

#include "model/Vo_ImageFileLink.h"

const Vo_ImageFileLink& GetSoundIconLink()
{
    // A function-local static is made on first use and destroyed at process exit.
    static const Vo_ImageFileLink s_link(2016, L"common_res.dll");
    return s_link;
}
