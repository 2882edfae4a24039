#include "model/D3DResourceMakers.h"

#include <d3dx9.h>

#include <cstring>

#include "model/CurrentDevice.h"
#include "model/DdsBumpTexture.h"

namespace {

HRESULT DecodePicture(const uint8_t* bytes, uint32_t size, UINT mipLevels, DWORD filter,
                      DWORD mipFilter, D3DXIMAGE_INFO* info, ComRef<IDirect3DTexture9>& texture)
{
    texture.Reset();
    if (!CurrentDevice || !bytes || !size)
        return E_FAIL;
    // Wine's D3DX has no V8U8 format and refuses du/dv pictures (such as a lake's relief kept
    // under its GUID); our own reader makes them with every level the file holds.
    DdsBumpTexture::Header bump;
    if (DdsBumpTexture::ParseHeader(bytes, size, bump)) {
        HRESULT hr = DdsBumpTexture::CreateTexture(CurrentDevice, bytes, size, texture.Receive());
        if (FAILED(hr))
            return hr;
        if (info) {
            *info = D3DXIMAGE_INFO();
            info->Width = bump.width;
            info->Height = bump.height;
            info->Depth = 1;
            info->MipLevels = bump.levels;
            info->Format = D3DFMT_V8U8;
            info->ResourceType = D3DRTYPE_TEXTURE;
            info->ImageFileFormat = D3DXIFF_DDS;
        }
        return texture ? S_OK : E_FAIL;
    }
    HRESULT hr = D3DXCreateTextureFromFileInMemoryEx(
        CurrentDevice, bytes, size, D3DX_DEFAULT, D3DX_DEFAULT, mipLevels, 0, D3DFMT_UNKNOWN,
        D3DPOOL_MANAGED, filter, mipFilter, 0, info, nullptr, texture.Receive());
    if (FAILED(hr))
        return hr;
    return texture ? S_OK : E_FAIL;
}

}  // namespace

HRESULT LoadTextureFromResource(ComRef<IDirect3DTexture9>& texture, int32_t id, bool fullMipChain)
{
    texture.Reset();
    const uint8_t* bytes = nullptr;
    uint32_t size = 0;
    if (!LockModuleResource(nullptr, id, kPictureResourceType, bytes, size))
        return E_FAIL;
    return DecodePicture(bytes, size, fullMipChain ? D3DX_DEFAULT : 1, D3DX_FILTER_NONE,
                         fullMipChain ? D3DX_DEFAULT : D3DX_FILTER_NONE, nullptr, texture);
}

HRESULT LoadTextureFromModuleResource(ModuleHandle module, int32_t id,
                                      ComRef<IDirect3DTexture9>& texture, D3DXIMAGE_INFO& info)
{
    texture.Reset();
    const uint8_t* bytes = nullptr;
    uint32_t size = 0;
    if (!LockModuleResource(module, id, kPictureResourceType, bytes, size))
        return E_FAIL;
    return DecodePicture(bytes, size, 1, D3DX_FILTER_TRIANGLE, D3DX_FILTER_NONE, &info, texture);
}

HRESULT LoadTextureFromMemory(D3DXIMAGE_INFO& info, uint32_t size, const uint8_t* bytes,
                              ComRef<IDirect3DTexture9>& texture)
{
    return DecodePicture(bytes, size, 1, D3DX_FILTER_TRIANGLE, D3DX_FILTER_NONE, &info, texture);
}

void CreateRenderTargetTexture(ComRef<IDirect3DTexture9>& holder, uint32_t width, uint32_t height)
{
    holder.Reset();
    if (!CurrentDevice)
        return;
    CurrentDevice->CreateTexture(width, height, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                 D3DPOOL_DEFAULT, holder.Receive(), nullptr);
}

void CopyTexture(uint32_t width, uint32_t height, D3DFORMAT format, IDirect3DTexture9* source,
                 ComRef<IDirect3DTexture9>& texture)
{
    texture.Reset();
    if (!source || !CurrentDevice)
        return;
    if (FAILED(D3DXCreateTexture(CurrentDevice, width, height, 0, 0, format, D3DPOOL_MANAGED,
                                 texture.Receive())))
        return;
    ComRef<IDirect3DSurface9> from;
    ComRef<IDirect3DSurface9> to;
    if (FAILED(source->GetSurfaceLevel(0, from.Receive())) ||
        FAILED(texture->GetSurfaceLevel(0, to.Receive())))
        return;
    D3DXLoadSurfaceFromSurface(to.Get(), nullptr, nullptr, from.Get(), nullptr, nullptr,
                               D3DX_FILTER_TRIANGLE, 0);
}

HRESULT BuildGridIndexBuffer(GridIndexBuffer& record, uint32_t columns, uint32_t rows)
{
    record.indexBuffer.Reset();
    record.triangleCount = 0;
    record.locked = nullptr;
    // Every index must fit in 16 bits: vertex numbers 0 .. columns x rows - 1.
    const uint64_t vertices = static_cast<uint64_t>(columns) * rows;
    if (columns < 2 || rows < 2 || vertices > 65536 || !CurrentDevice)
        return E_INVALIDARG;
    const uint32_t triangles = 2 * (columns - 1) * (rows - 1);
    HRESULT hr = CurrentDevice->CreateIndexBuffer(triangles * 3 * sizeof(uint16_t), D3DUSAGE_WRITEONLY,
                                                  D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                                  record.indexBuffer.Receive(), nullptr);
    if (FAILED(hr))
        return hr;
    hr = record.indexBuffer->Lock(0, 0, &record.locked, 0);
    if (FAILED(hr)) {
        record.indexBuffer.Reset();
        record.locked = nullptr;
        return hr;
    }
    uint16_t* out = static_cast<uint16_t*>(record.locked);
    for (uint32_t j = 0; j + 1 < rows; ++j) {
        for (uint32_t k = 0; k + 1 < columns; ++k) {
            const uint16_t a = static_cast<uint16_t>(columns * j + k);
            const uint16_t b = static_cast<uint16_t>(columns * (j + 1) + k);
            const uint16_t cell[6] = {a, static_cast<uint16_t>(a + 1), b,
                                      b, static_cast<uint16_t>(a + 1), static_cast<uint16_t>(b + 1)};
            std::memcpy(out, cell, sizeof(cell));
            out += 6;
        }
    }
    record.indexBuffer->Unlock();
    record.locked = nullptr;
    record.triangleCount = triangles;
    return S_OK;
}

void GetBackBufferDesc(D3DSURFACE_DESC& desc)
{
    std::memset(&desc, 0, sizeof(desc));
    if (!CurrentDevice)
        return;
    ComRef<IDirect3DSurface9> backBuffer;
    if (FAILED(CurrentDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, backBuffer.Receive())) ||
        !backBuffer)
        return;
    if (FAILED(backBuffer->GetDesc(&desc)))
        std::memset(&desc, 0, sizeof(desc));
}
