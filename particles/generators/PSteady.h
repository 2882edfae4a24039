#pragma once
#include "particles/generators/PProcess.h"

// Changes one of a particle's values (0 the age, 1 value 1, 2 value 2) at a constant rate while
// the age lies strictly between two limits. Never ends a life.
class PSteady : public PProcess {
public:
    PSteady(int valueIndex, float start, float end, float rate)
        : m_index(valueIndex), m_start(start), m_end(end), m_rate(rate)
    {
    }

    bool Update(float dt, ProcessParticle& particle) override;
    PProcess* Clone() const override { return new PSteady(*this); }

    void Set(int valueIndex, float start, float end, float rate)
    {
        m_index = valueIndex;
        m_start = start;
        m_end = end;
        m_rate = rate;
    }
    int ValueIndex() const { return m_index; }
    float Start() const { return m_start; }
    float End() const { return m_end; }
    float Rate() const { return m_rate; }

private:
    int m_index;
    float m_start;
    float m_end;
    float m_rate;
};
