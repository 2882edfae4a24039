#include "lights/RefractionTable.h"

#include <cmath>

#include "model/NumericFunctions.h"

RefractionTable& RefractionTable::Shared()
{
    static RefractionTable s_table;
    return s_table;
}

void RefractionTable::Fill()
{
    for (int i = 0; i < kSize; ++i) {
        // i < 256, so the incident angle never reaches 0 and sin(incident) stays positive.
        const double cosIncident = i / 256.0;
        const double sinIncident = std::sin(std::acos(cosIncident));
        const double sinRefracted = sinIncident / kRefractiveIndex;
        const double cosRefracted = std::cos(std::asin(sinRefracted));
        Entry& entry = m_entries[i];
        entry.a = static_cast<float>(sinIncident / sinRefracted * cosRefracted - cosIncident);
        entry.b = static_cast<float>(-sinRefracted / sinIncident);
        const uint32_t opening = static_cast<uint32_t>(kSize - 1 - i);
        const uint32_t alpha = opening * opening * opening / 65536u;
        entry.colour = alpha << 24;
    }
    m_filled = true;
}

int RefractionTable::IndexForCosine(float cosine)
{
    // NaN falls through both tests and is taken as looking straight down.
    const float scaled = 255.0f * cosine;
    if (scaled <= 0.0f)
        return 0;
    if (!(scaled < 255.0f))
        return kSize - 1;
    return RoundToInt(scaled);
}

const RefractionTable::Entry& RefractionTable::ForCosine(float cosine) const
{
    return m_entries[IndexForCosine(cosine)];
}
