#pragma once
struct IDirect3DTexture9;

// The part of a mask picture a brush can paint through: the rectangle, in texture coordinates,
// of every texel whose alpha is above 0, widened by one texel each way for the bilinear filter,
// taken over every mip level the texture has. The whole picture (0, 0)-(1, 1) when the mask
// cannot be read (no texture, a pool that cannot be locked, a format without an alpha the brush
// reads byte by byte) or is transparent nowhere.
struct MaskBounds {
    float u0 = 0.0f;
    float v0 = 0.0f;
    float u1 = 1.0f;
    float v1 = 1.0f;

    bool Whole() const { return u0 <= 0.0f && v0 <= 0.0f && u1 >= 1.0f && v1 >= 1.0f; }
};

MaskBounds FindMaskBounds(IDirect3DTexture9* mask);
