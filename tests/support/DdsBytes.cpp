#include "support/DdsBytes.h"

#include <cstring>

std::vector<uint8_t> BumpDds(uint8_t first)
{
    std::vector<uint8_t> f(128 + 20, 0);
    auto put = [&](size_t at, uint32_t v) { std::memcpy(&f[at], &v, 4); };
    std::memcpy(&f[0], "DDS ", 4);
    put(4, 124);
    put(8, 0x1007 | 0x20000);  // CAPS HEIGHT WIDTH PIXELFORMAT MIPMAPCOUNT
    put(12, 2);                // height
    put(16, 4);                // width
    put(28, 2);                // mip levels
    put(76, 32);
    put(80, 0x80000);  // DDPF_BUMPDUDV
    put(88, 16);
    put(92, 0x00FF);
    put(96, 0xFF00);
    put(108, 0x401008);
    for (size_t i = 128; i < f.size(); ++i)
        f[i] = static_cast<uint8_t>(first + (i - 128));
    return f;
}
