#include "brushes/MaskBounds.h"

#include <d3d9.h>

#include <algorithm>
#include <cstdint>

namespace {

// The alpha of a texel at x of a locked row, for the formats that carry one; false for others.
bool AlphaReader(D3DFORMAT format, bool (*&nonZero)(const uint8_t* row, UINT x))
{
    switch (format) {
    case D3DFMT_A8R8G8B8:
        nonZero = [](const uint8_t* row, UINT x) { return row[x * 4 + 3] != 0; };
        return true;
    case D3DFMT_A8:
        nonZero = [](const uint8_t* row, UINT x) { return row[x] != 0; };
        return true;
    case D3DFMT_A8L8:
        nonZero = [](const uint8_t* row, UINT x) { return row[x * 2 + 1] != 0; };
        return true;
    case D3DFMT_A4R4G4B4:
        nonZero = [](const uint8_t* row, UINT x) { return (row[x * 2 + 1] & 0xF0) != 0; };
        return true;
    case D3DFMT_A1R5G5B5:
        nonZero = [](const uint8_t* row, UINT x) { return (row[x * 2 + 1] & 0x80) != 0; };
        return true;
    default:
        return false;
    }
}

}  // namespace

MaskBounds FindMaskBounds(IDirect3DTexture9* mask)
{
    const MaskBounds whole;
    if (!mask)
        return whole;
    float u0 = 1.0f, v0 = 1.0f, u1 = 0.0f, v1 = 0.0f;
    for (DWORD level = 0; level < mask->GetLevelCount(); ++level) {
        D3DSURFACE_DESC desc = {};
        bool (*nonZero)(const uint8_t*, UINT) = nullptr;
        if (FAILED(mask->GetLevelDesc(level, &desc)) || !AlphaReader(desc.Format, nonZero) || !desc.Width ||
            !desc.Height)
            return whole;
        D3DLOCKED_RECT locked = {};
        if (FAILED(mask->LockRect(level, &locked, nullptr, D3DLOCK_READONLY)))
            return whole;
        UINT left = desc.Width, top = desc.Height, right = 0, bottom = 0;
        for (UINT y = 0; y < desc.Height; ++y) {
            const auto* row = static_cast<const uint8_t*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch;
            for (UINT x = 0; x < desc.Width; ++x)
                if (nonZero(row, x)) {
                    left = std::min(left, x);
                    right = std::max(right, x + 1);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y + 1);
                }
        }
        mask->UnlockRect(level);
        if (right == 0)
            continue;  // nothing shows through this level
        // One texel more each way: the filter blends a texel into its neighbours' samples.
        const float w = static_cast<float>(desc.Width), h = static_cast<float>(desc.Height);
        u0 = std::min(u0, (static_cast<float>(left) - 1.0f) / w);
        v0 = std::min(v0, (static_cast<float>(top) - 1.0f) / h);
        u1 = std::max(u1, (static_cast<float>(right) + 1.0f) / w);
        v1 = std::max(v1, (static_cast<float>(bottom) + 1.0f) / h);
    }
    if (u1 <= u0 || v1 <= v0)
        return whole;
    MaskBounds bounds;
    bounds.u0 = std::max(0.0f, u0);
    bounds.v0 = std::max(0.0f, v0);
    bounds.u1 = std::min(1.0f, u1);
    bounds.v1 = std::min(1.0f, v1);
    return bounds;
}
