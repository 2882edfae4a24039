#pragma once
#include <cstdint>

// The refraction terms of a water surface seen from above, by the cosine of the angle between the
// view direction and the surface normal: the ripple mesh reads them from this table instead of
// doing trigonometry per vertex. Every ripple field of the process shares the one table.
class RefractionTable {
public:
    static constexpr int kSize = 256;
    static constexpr float kRefractiveIndex = 1.333f;

    struct Entry {
        // The refracted direction is b x (V + a x N) for the view direction V and the normal N.
        float a;
        float b;
        // Opaque towards grazing angles, clear when looking straight down (alpha only).
        uint32_t colour;
    };

    // The process-wide table, empty (all zeros) until Fill.
    static RefractionTable& Shared();

    // Entry i for cos(angle) = i / 256 and a refractive index of 1.333.
    void Fill();
    bool Filled() const { return m_filled; }

    // The entry for cos(angle): the index 255 x cos rounded to the nearest, kept within the table.
    const Entry& ForCosine(float cosine) const;
    const Entry& operator[](int i) const { return m_entries[i]; }

    static int IndexForCosine(float cosine);

private:
    Entry m_entries[kSize] = {};
    bool m_filled = false;
};
