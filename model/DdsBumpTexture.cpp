#include "model/DdsBumpTexture.h"

#include <d3d9.h>
#include <d3dx9.h>

#include <cstring>

namespace {

const size_t kHeaderSize = 128;  // "DDS " and the 124-byte surface description
const uint32_t kDdsdMipMapCount = 0x20000;
const uint32_t kDdpfFourCC = 0x4;
const uint32_t kDdpfBumpDuDv = 0x80000;
const uint32_t kCaps2CubeMap = 0x200;
const uint32_t kCaps2Volume = 0x200000;
const unsigned kMaxSide = 16384;  // beyond any D3D9 texture
const unsigned kBytesPerPixel = 2;

uint32_t Field(const uint8_t* bytes, size_t offset)
{
    uint32_t v;
    std::memcpy(&v, bytes + offset, 4);
    return v;
}

bool Refuse(std::string* error, const std::string& why)
{
    if (error)
        *error = why;
    return false;
}

unsigned FullChain(unsigned width, unsigned height)
{
    unsigned levels = 1;
    for (unsigned side = width > height ? width : height; side > 1; side /= 2)
        ++levels;
    return levels;
}

}  // namespace

bool DdsBumpTexture::IsBumpDds(const void* data, size_t size)
{
    Header header;
    return ParseHeader(data, size, header, nullptr);
}

bool DdsBumpTexture::ParseHeader(const void* data, size_t size, Header& header, std::string* error)
{
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    if (!bytes || size < kHeaderSize)
        return Refuse(error, "DDS: shorter than its 128-byte header");
    if (std::memcmp(bytes, "DDS ", 4) != 0)
        return Refuse(error, "DDS: no 'DDS ' signature");
    if (Field(bytes, 4) != 124 || Field(bytes, 76) != 32)
        return Refuse(error, "DDS: header or pixel-format size is wrong");
    const uint32_t flags = Field(bytes, 8);
    const unsigned height = Field(bytes, 12);
    const unsigned width = Field(bytes, 16);
    const uint32_t mipCount = Field(bytes, 28);
    const uint32_t pfFlags = Field(bytes, 80);
    const uint32_t fourCC = Field(bytes, 84);
    const uint32_t bitCount = Field(bytes, 88);
    const uint32_t uMask = Field(bytes, 92);
    const uint32_t vMask = Field(bytes, 96);
    const uint32_t caps2 = Field(bytes, 112);

    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide)
        return Refuse(error, "DDS: size " + std::to_string(width) + " x " + std::to_string(height) + " out of range");
    if (caps2 & (kCaps2CubeMap | kCaps2Volume))
        return Refuse(error, "DDS: cube maps and volumes are not bump pictures");
    // D3DFMT_V8U8 is written either as a du/dv pixel format with 8-bit masks, or as FourCC 60.
    const bool dudv = (pfFlags & kDdpfBumpDuDv) && bitCount == 16 && uMask == 0x00FF && vMask == 0xFF00;
    const bool fourCCForm = (pfFlags & kDdpfFourCC) && fourCC == D3DFMT_V8U8;
    if (!dudv && !fourCCForm)
        return Refuse(error, "DDS: pixel format is not V8U8");

    unsigned levels = (flags & kDdsdMipMapCount) && mipCount > 0 ? mipCount : 1;
    if (levels > FullChain(width, height))
        return Refuse(error, "DDS: " + std::to_string(levels) + " mip levels for a " + std::to_string(width) + " x " +
                                 std::to_string(height) + " picture");
    size_t needed = 0;
    for (unsigned level = 0; level < levels; ++level) {
        size_t w = width >> level ? width >> level : 1;
        size_t h = height >> level ? height >> level : 1;
        needed += w * h * kBytesPerPixel;
    }
    if (needed > size - kHeaderSize)
        return Refuse(error, "DDS: truncated, " + std::to_string(levels) + " levels need " + std::to_string(needed) +
                                 " bytes of pixels, the file has " + std::to_string(size - kHeaderSize));
    header.width = width;
    header.height = height;
    header.levels = levels;
    header.pixelBytes = needed;
    return true;
}

HRESULT DdsBumpTexture::CreateTexture(IDirect3DDevice9* device, const void* data, size_t size,
                                      IDirect3DTexture9** texture, std::string* error)
{
    if (!texture)
        return E_POINTER;
    *texture = nullptr;
    if (!device)
        return E_POINTER;
    Header header;
    if (!ParseHeader(data, size, header, error))
        return D3DXERR_INVALIDDATA;

    IDirect3DTexture9* made = nullptr;
    HRESULT hr = device->CreateTexture(header.width, header.height, header.levels, 0, D3DFMT_V8U8,
                                       D3DPOOL_MANAGED, &made, nullptr);
    if (FAILED(hr)) {
        Refuse(error, "DDS: the device cannot make a V8U8 texture");
        return hr;
    }
    const uint8_t* pixels = static_cast<const uint8_t*>(data) + kHeaderSize;
    for (unsigned level = 0; level < header.levels; ++level) {
        const unsigned w = header.width >> level ? header.width >> level : 1;
        const unsigned h = header.height >> level ? header.height >> level : 1;
        D3DLOCKED_RECT locked;
        hr = made->LockRect(level, &locked, nullptr, 0);
        if (FAILED(hr)) {
            made->Release();
            Refuse(error, "DDS: cannot lock mip level " + std::to_string(level));
            return hr;
        }
        for (unsigned y = 0; y < h; ++y)
            std::memcpy(static_cast<uint8_t*>(locked.pBits) + size_t(y) * locked.Pitch, pixels + size_t(y) * w * kBytesPerPixel,
                        size_t(w) * kBytesPerPixel);
        made->UnlockRect(level);
        pixels += size_t(w) * h * kBytesPerPixel;
    }
    *texture = made;
    return D3D_OK;
}
