#pragma once
#include <cstdint>

#include "model/ComRef.h"
#include "model/Vo_FileLink3.h"
#include "sound/Vo_Sound_Ctrl.h"

struct IDirectSoundBuffer8;
class Vo_IOF_Virtual;
struct WaveData;

// A sound item of RIFF WAVE data from the document's store, played through a DirectSound buffer
// on the process-wide sound device. An always-visible item loops while its slide is shown; in
// the other timeline modes it plays once each time it is found visible and silent.
class Vo_WAV_Constructor : public Vo_Sound_Ctrl {
public:
    Vo_WAV_Constructor();
    // Copies the link and shares the buffer (a reference of its own).
    Vo_WAV_Constructor(const Vo_WAV_Constructor& other);
    ~Vo_WAV_Constructor() override;

    // With the flag, plays the sound once from its start, as an editor previews it.
    void GetPreviewInfo(ObjectPreviewInfo& info) const override;
    void Prepare() override;
    void Stop() override;
    void Update(float localTime) override;
    Vo_Sound_Ctrl* Clone() const override { return new Vo_WAV_Constructor(*this); }

    // The file link, then the sound-item record.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    // Makes the buffer from the store's bytes of the link; false leaves the item silent.
    bool LoadBuffer();
    // Made from parsed data on SoundDevice; false without a device or when the buffer fails.
    bool LoadBuffer(const WaveData& wave);
    void Play(bool looping);

    Vo_FileLink3& File() { return m_file; }
    IDirectSoundBuffer8* Buffer() const { return m_buffer.Get(); }

private:
    Vo_FileLink3 m_file;
    ComRef<IDirectSoundBuffer8> m_buffer;
};
