#include "runtime/VertexBuffers.h"

#include "model/CurrentDevice.h"
#include "runtime/VertexTypes.h"

HRESULT CreateLayoutVertexBuffer(ComRef<IDirect3DVertexBuffer9>& buffer, UINT count, UINT stride,
                                 DWORD fvf, DWORD usage, D3DPOOL pool)
{
    buffer.Reset();
    if (!CurrentDevice)
        return D3DERR_INVALIDCALL;
    return CurrentDevice->CreateVertexBuffer(count * stride, usage, fvf, pool, buffer.Receive(),
                                             nullptr);
}

HRESULT CreateWorldVertexBuffer(ComRef<IDirect3DVertexBuffer9>& buffer, UINT count, DWORD usage,
                                D3DPOOL pool)
{
    return CreateVertexBufferOf<TexVertex>(buffer, count, usage, pool);
}

HRESULT CreatePCTVertexBuffer(ComRef<IDirect3DVertexBuffer9>& buffer, UINT count, DWORD usage,
                              D3DPOOL pool)
{
    return CreateVertexBufferOf<DX_V::PCT>(buffer, count, usage, pool);
}

HRESULT CreateScreenColorVertexBuffer(ComRef<IDirect3DVertexBuffer9>& buffer, UINT count,
                                      DWORD usage, D3DPOOL pool)
{
    return CreateVertexBufferOf<ScreenColorVertex>(buffer, count, usage, pool);
}

HRESULT CreateColorVertexBuffer(ComRef<IDirect3DVertexBuffer9>& buffer, UINT count, DWORD usage,
                                D3DPOOL pool)
{
    return CreateVertexBufferOf<ColorVertex>(buffer, count, usage, pool);
}

HRESULT CreateScreenTexVertexBuffer(ComRef<IDirect3DVertexBuffer9>& buffer, UINT count,
                                    DWORD usage, D3DPOOL pool)
{
    return CreateVertexBufferOf<ScreenTexVertex>(buffer, count, usage, pool);
}

void BindVertexStream(IDirect3DDevice9* device, IDirect3DVertexBuffer9* buffer, UINT stride,
                      DWORD fvf)
{
    if (!device)
        return;
    device->SetVertexShader(nullptr);
    device->SetFVF(fvf);
    device->SetStreamSource(0, buffer, 0, stride);
}
