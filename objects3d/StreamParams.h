#pragma once
#include "model/MediaParamT.h"
#include "objects3d/StreamDirection.h"

// How the copies of a mesh array drift and tumble; every copy of an object reads the same one.
struct StreamParams {
    MediaParamT<unsigned int> size{0};      // pixels; a copy's bounding sphere scaled to size / 2
    StreamDirection direction;
    MediaParamT<unsigned int> speed{50};    // drift speed
    MediaParamT<unsigned int> sway{0};      // sideways sway, and the rate of the two orbits
    MediaParamT<unsigned int> turnRate{0};  // how often the sway side is drawn again; 0 never
    MediaParamT<unsigned int> spin{100};    // rate of the three tumbles

    StreamParams() = default;
    StreamParams(const StreamParams& other)
        : size(other.size.Value()),
          direction(other.direction),
          speed(other.speed.Value()),
          sway(other.sway.Value()),
          turnRate(other.turnRate.Value()),
          spin(other.spin.Value())
    {
    }
    StreamParams& operator=(const StreamParams&) = delete;
};
