#pragma once
#include "model/MediaParamT.h"

// A direction in degrees (the value) with a random spread to either side. Angle 0 points along
// +x and 90 along -y, which is up on the screen.
class MediaSector : public MediaParamT<unsigned int> {
public:
    MediaSector() = default;
    MediaSector(const MediaSector&) = default;
    MediaSector& operator=(const MediaSector&) = delete;

    // A unit vector at direction +- spread, drawn from the process's one rand() sequence.
    D3DXVECTOR3 RandomDirection() const;

    MediaParamT<unsigned int>& Spread() { return m_spread; }
    const MediaParamT<unsigned int>& Spread() const { return m_spread; }

private:
    MediaParamT<unsigned int> m_spread;
};
