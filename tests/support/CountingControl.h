#pragma once
// A parameter observer that counts the changes it is told of.
#include "model/MediaParam.h"
#include "model/MediaParamT.h"

// Base is MediaControl, or a MediaControlT<Param>, which detaches itself from its parameter when
// it goes.
template <class Base>
class CountingControlOf : public Base {
public:
    void OnParamChanged(MediaControl*) override { ++m_changes; }
    int Changes() const { return m_changes; }

private:
    int m_changes = 0;
};

using CountingControl = CountingControlOf<MediaControl>;
using UIntCountingControl = CountingControlOf<MediaControlT<MediaParamT<unsigned int>>>;
