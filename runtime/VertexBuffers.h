#pragma once
#include <d3d9.h>

#include "model/ComRef.h"

// Vertex buffers of the seven layouts on CurrentDevice: count x stride bytes with the layout's
// FVF, the caller's usage and pool. The buffer held before is released first, so a failed
// creation leaves the holder empty. Without a current device nothing is made (D3DERR_INVALIDCALL).
HRESULT CreateLayoutVertexBuffer(ComRef<IDirect3DVertexBuffer9>& buffer, UINT count, UINT stride,
                                 DWORD fvf, DWORD usage, D3DPOOL pool);

template <class Vertex>
HRESULT CreateVertexBufferOf(ComRef<IDirect3DVertexBuffer9>& buffer, UINT count, DWORD usage,
                             D3DPOOL pool)
{
    return CreateLayoutVertexBuffer(buffer, count, sizeof(Vertex), Vertex::kFVF, usage, pool);
}

HRESULT CreateWorldVertexBuffer(ComRef<IDirect3DVertexBuffer9>& buffer, UINT count, DWORD usage,
                                D3DPOOL pool);
HRESULT CreatePCTVertexBuffer(ComRef<IDirect3DVertexBuffer9>& buffer, UINT count, DWORD usage,
                              D3DPOOL pool);
HRESULT CreateScreenColorVertexBuffer(ComRef<IDirect3DVertexBuffer9>& buffer, UINT count,
                                      DWORD usage, D3DPOOL pool);
HRESULT CreateColorVertexBuffer(ComRef<IDirect3DVertexBuffer9>& buffer, UINT count, DWORD usage,
                                D3DPOOL pool);
HRESULT CreateScreenTexVertexBuffer(ComRef<IDirect3DVertexBuffer9>& buffer, UINT count,
                                    DWORD usage, D3DPOOL pool);

// No vertex shader, the layout's FVF and the buffer as stream 0 with the layout's stride.
void BindVertexStream(IDirect3DDevice9* device, IDirect3DVertexBuffer9* buffer, UINT stride,
                      DWORD fvf);
