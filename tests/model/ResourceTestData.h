#pragma once
// Small hand-made inputs and read-back helpers shared by the resource tests (pictures come from
// the BMP and DDS builders of the test support).
#include <windows.h>
#include <d3d9.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "model/ComRef.h"
#include "model/CurrentDevice.h"
#include "model/DataBuffer.h"
#include "support/BmpBytes.h"
#include "support/DdsBytes.h"
#include "support/BuildFolderAsCurrent.h"
#include "support/CurrentDeviceFixture.h"
#include "support/DeviceFixture.h"
#include "support/EffectBytes.h"
#include "support/TestPaths.h"

namespace restest {

// A quad of two triangles in text .x form, corners at +-1 in the z = 0 plane.
inline const char* QuadMeshText()
{
    return "xof 0303txt 0032\n"
           "Mesh Quad {\n"
           " 4;\n -1.0;-1.0;0.0;,\n -1.0;1.0;0.0;,\n 1.0;1.0;0.0;,\n 1.0;-1.0;0.0;;\n"
           " 2;\n 3;0,1,2;,\n 3;0,2,3;;\n"
           " MeshTextureCoords {\n  4;\n  0.0;1.0;,\n  0.0;0.0;,\n  1.0;0.0;,\n  1.0;1.0;;\n }\n"
           "}\n";
}

inline std::vector<uint8_t> QuadMeshBytes()
{
    const char* text = QuadMeshText();
    return std::vector<uint8_t>(text, text + std::strlen(text));
}

using ::AlphaBlendEffectBytes;

// A blob as a document carries it. The bytes go in directly so these tests depend on nothing
// but the blob's fields.
struct TestBlob : FileBlob {
    TestBlob(const vo_string& name, const vo_string& module, int32_t id,
             const std::vector<uint8_t>& bytes = {})
    {
        m_name = name;
        m_data = bytes;
        SetResourceId(id);
        SetModuleName(module);
    }
};

// Colour of a texel of level 0 as 0xAARRGGBB (default-pool render targets are read back through
// a system-memory copy). Grey L8 pictures come back as grey. A texel that cannot be read fails
// the test.
inline uint32_t TexelAt(IDirect3DTexture9* texture, unsigned x, unsigned y)
{
    if (!texture) {
        ADD_FAILURE() << "texel read-back failed: no texture";
        return 0;
    }
    D3DSURFACE_DESC desc;
    if (FAILED(texture->GetLevelDesc(0, &desc)) || x >= desc.Width || y >= desc.Height) {
        ADD_FAILURE() << "texel read-back failed: no level 0, or " << x << "," << y << " outside it";
        return 0;
    }
    if (desc.Format != D3DFMT_L8 && desc.Format != D3DFMT_A8R8G8B8 && desc.Format != D3DFMT_X8R8G8B8) {
        ADD_FAILURE() << "texel read-back failed: format " << desc.Format << " is not read here";
        return 0;
    }
    ComRef<IDirect3DSurface9> surface;
    texture->GetSurfaceLevel(0, surface.Receive());
    ComRef<IDirect3DSurface9> readable;
    if (desc.Pool == D3DPOOL_DEFAULT) {
        ComRef<IDirect3DDevice9> device;
        texture->GetDevice(device.Receive());
        device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM,
                                            readable.Receive(), nullptr);
        if (!readable || FAILED(device->GetRenderTargetData(surface.Get(), readable.Get()))) {
            ADD_FAILURE() << "texel read-back failed: GetRenderTargetData";
            return 0;
        }
    } else {
        readable = surface;
    }
    D3DLOCKED_RECT locked;
    if (!readable || FAILED(readable->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
        ADD_FAILURE() << "texel read-back failed: LockRect";
        return 0;
    }
    const uint8_t* row = static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch;
    uint32_t colour = 0;
    if (desc.Format == D3DFMT_L8) {
        uint32_t l = row[x];
        colour = 0xFF000000u | l << 16 | l << 8 | l;
    } else {
        std::memcpy(&colour, row + x * 4, 4);
        if (desc.Format == D3DFMT_X8R8G8B8)
            colour |= 0xFF000000u;
    }
    readable->UnlockRect();
    return colour;
}

// References an interface holds besides the caller's: AddRef then Release returns the count.
template <class T>
unsigned long RefCount(T* object)
{
    object->AddRef();
    return object->Release();
}

}  // namespace restest
