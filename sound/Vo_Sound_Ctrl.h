#pragma once
#include <cstdint>

#include "model/MediaParamT.h"
#include "runtime/Vo_ABObj_Constructor.h"

class Vo_IOF_Virtual;

// The description of a sound item: a scene object that plays a sound while its timeline shows it.
// Its runtime object, Vo_Sound, is an update-only object of its slide; the two variants (MP3
// through DirectShow, WAV through DirectSound) make the sound ready, start and stop it.
class Vo_Sound_Ctrl : public Vo_ABObj_Constructor {
public:
    Vo_Sound_Ctrl();
    Vo_Sound_Ctrl(const Vo_Sound_Ctrl& other);
    ~Vo_Sound_Ctrl() override;

    void GetPreviewInfo(ObjectPreviewInfo& info) const override;
    // A Vo_Sound owning a prepared clone of this description.
    Vo_ABObj* CreateObject() override;

    // Makes the sound ready to play; called once, on the runtime object's clone.
    virtual void Prepare() = 0;
    virtual void Stop() = 0;
    // Starts or stops the sound by the timeline's state; once a frame while enabled.
    virtual void Update(float localTime) = 0;
    virtual Vo_Sound_Ctrl* Clone() const = 0;

    // The whole record of this level: class name, version, fields.
    void Load(Vo_IOF_Virtual& stream);
    // Volume, balance, the timeline fields of records before version 3, the scene-object record.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    MediaParamT<unsigned int>& Volume() { return m_volume; }
    const MediaParamT<unsigned int>& Volume() const { return m_volume; }
    MediaParamT<unsigned int>& Balance() { return m_balance; }
    const MediaParamT<unsigned int>& Balance() const { return m_balance; }
    // Stored values outside 0 to 100 play as the nearest end of the scale.
    int ClampedVolume() const;
    int ClampedBalance() const;

protected:
    // Lets the timeline show the sound for exactly its length, in hundredths of a second, with
    // hard cuts between the states.
    void SetTimelineLength(unsigned int hundredths);

private:
    MediaParamT<unsigned int> m_volume;
    MediaParamT<unsigned int> m_balance;
};
