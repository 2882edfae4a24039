#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

struct IDirect3DDevice9;
struct IDirect3DTexture9;

// Reads DirectDraw Surface files of the bump format D3DFMT_V8U8 (du/dv pictures) into a managed
// texture with all the file's mip levels. Wine 8's D3DX does not load such files at all
// ("Unknown format 0x3c"), so pictures of this format come through here instead.
class DdsBumpTexture {
public:
    struct Header {
        unsigned width = 0;
        unsigned height = 0;
        unsigned levels = 0;
        size_t pixelBytes = 0;  // bytes of all levels, right after the 128-byte header
    };

    // True when the bytes start with a DDS header of a format this reader handles.
    static bool IsBumpDds(const void* data, size_t size);
    // Checks the header and that the file holds every level it declares; on failure returns false
    // and says why in `error` (when given).
    static bool ParseHeader(const void* data, size_t size, Header& header, std::string* error = nullptr);
    // Makes the texture; D3DXERR_INVALIDDATA for a file that does not parse, the device's code
    // when it cannot make or fill the texture. *texture is null on failure.
    static HRESULT CreateTexture(IDirect3DDevice9* device, const void* data, size_t size,
                                 IDirect3DTexture9** texture, std::string* error = nullptr);
};
