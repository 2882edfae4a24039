#pragma once
#include <cstdint>

#include "brushes/Vo_FX_Constructor.h"

class Vo_IOF_Virtual;

// A ripple distortion of the whole image: sideways displacement that waves down the picture,
// vertical displacement that waves across it. Only the underwater layer holds one, as a member
// that it reads, loads and drives itself; no document names the class on its own, so it has no
// registered reader. It does not fade.
class Vo_UnderwaterFX : public Vo_FX_Constructor {
public:
    Vo_UnderwaterFX();
    Vo_UnderwaterFX(const Vo_UnderwaterFX& other);
    ~Vo_UnderwaterFX() override;

    void Render(Vo_ABRender* layer) override;
    Vo_FX_Constructor* Clone() const override { return new Vo_UnderwaterFX(*this); }

    // The base part, then amplitude and wave length (raw, scale and offset), each telling its
    // observers.
    void Assign(const Vo_UnderwaterFX& source);
    // The fields after the class name and version, then the base record.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    // The "frequency" of the effect for a picture of that size: wave periods per picture width
    // and per picture height, the wave length being a share of the height. False for a picture
    // without size.
    bool FrequencyFor(unsigned pictureWidth, unsigned pictureHeight, float frequency[2]) const;

    UINTSclaleTo<float>& Amplitude() { return m_amplitude; }
    const UINTSclaleTo<float>& Amplitude() const { return m_amplitude; }
    UINTSclaleTo<float>& WaveLength() { return m_waveLength; }
    const UINTSclaleTo<float>& WaveLength() const { return m_waveLength; }

private:
    UINTSclaleTo<float> m_amplitude;
    UINTSclaleTo<float> m_waveLength;
};

// Reads a whole underwater brush record (class name, version, fields) into a new brush, which
// the caller owns. The version does not change the fields.
Vo_UnderwaterFX* ReadUnderwaterFXRecord(Vo_IOF_Virtual& stream);
