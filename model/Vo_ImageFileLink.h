#pragma once
#include "model/Vo_FileLink3.h"

// A link to a picture or an animated picture set.
class Vo_ImageFileLink : public Vo_FileLink3 {
public:
    using Vo_FileLink3::Vo_FileLink3;
    Vo_ImageFileLink() = default;
    // Takes the path and stamp of any link, with a control list of its own.
    explicit Vo_ImageFileLink(const Vo_FileLink3& link) : Vo_FileLink3(link) {}
};
