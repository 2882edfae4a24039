#pragma once
#include "model/Vo_FileLink3.h"

// A link to a .x mesh.
class Vo_MeshFile : public Vo_FileLink3 {
public:
    using Vo_FileLink3::Vo_FileLink3;
    Vo_MeshFile() = default;
};
