#pragma once
#include <cstdint>
#include <vector>

// A compiled effect: technique "Main", pass "P0", whose only state is AlphaBlendEnable = TRUE.
inline std::vector<uint8_t> AlphaBlendEffectBytes()
{
    static const uint32_t words[] = {
        0xFEFF0901, 0x38,                    // tag, size of the data area
        0,                                   // empty slot for offset 0
        1, 0, 0, 0, 0, 1, 1,                 // 0x04: typedef BOOL scalar
        1,                                   // 0x20: value TRUE
        3, 0x00003050,                       // 0x24: "P0"
        5, 0x6E69614D, 0,                    // 0x2C: "Main"
        0, 1, 0, 1,                          // parameters, techniques, shaders, objects
        0x2C, 0, 1,                          // technique "Main": no annotations, one pass
        0x24, 0, 1,                          // pass "P0": no annotations, one state
        13, 0, 0x04, 0x20,                   // AlphaBlendEnable
        0, 0,                                // no objects, no resources
    };
    const uint8_t* p = reinterpret_cast<const uint8_t*>(words);
    return std::vector<uint8_t>(p, p + sizeof(words));
}
