#pragma once
#include "runtime/Vo_ABObj_Constructor.h"

// The record level that every particle generator passes through: a class name and a version, no
// fields of its own, then the scene-object record.
class Vo_ParticleGenerator : public Vo_ABObj_Constructor {
public:
    Vo_ParticleGenerator() = default;
    Vo_ParticleGenerator(const Vo_ParticleGenerator& other) = default;

    // The whole record of this level (name, version), then the scene-object record.
    void Load(Vo_IOF_Virtual& stream);
};
