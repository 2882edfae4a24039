#pragma once
#include <cstdint>

#include "runtime/Vo_ABObj.h"

class Vo_Sound_Ctrl;

// The runtime object of a sound item. It never draws; its slide enables it while the slide is
// shown and updates it every frame, and it forwards the updates to its description, which starts
// and stops the sound.
class Vo_Sound : public Vo_ABObj {
public:
    // Takes ownership of the clone and prepares it.
    explicit Vo_Sound(Vo_Sound_Ctrl* clone);

    void Render(Vo_ABRender*) override {}
    void Notify(int, int) override {}
    void Relayout() override {}
    // Disabling stops the sound at once; enabling lets the next update start it again.
    void SetEnabled(int enabled) override;
    int GetKind() const override { return 1; }
    void Update(float localTime) override;

    bool IsSoundEnabled() const { return (m_soundEnabled & 0xFF) != 0; }

private:
    // The owner, seen as a sound description (owned by the base).
    Vo_Sound_Ctrl* m_sound;
    int32_t m_soundEnabled = 1;
};
