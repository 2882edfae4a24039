/* C, because only the C form of the interface declarations names the method table's entries. */
#include <stddef.h>

#include <d3d9.h>
#include <d3dx9.h>

#include "support/MethodSlots.h"

#define SLOT(method) (unsigned)(offsetof(IDirect3DDevice9Vtbl, method) / sizeof(void*))
#define EFFECT_SLOT(method) (unsigned)(offsetof(ID3DXEffectVtbl, method) / sizeof(void*))

const unsigned kCreateTextureSlot = SLOT(CreateTexture);
const unsigned kCreateVolumeTextureSlot = SLOT(CreateVolumeTexture);
const unsigned kCreateCubeTextureSlot = SLOT(CreateCubeTexture);
const unsigned kCreateVertexBufferSlot = SLOT(CreateVertexBuffer);
const unsigned kCreateIndexBufferSlot = SLOT(CreateIndexBuffer);
const unsigned kCreateRenderTargetSlot = SLOT(CreateRenderTarget);
const unsigned kCreateDepthStencilSurfaceSlot = SLOT(CreateDepthStencilSurface);
const unsigned kCreateOffscreenPlainSurfaceSlot = SLOT(CreateOffscreenPlainSurface);
const unsigned kDrawPrimitiveSlot = SLOT(DrawPrimitive);
const unsigned kDrawIndexedPrimitiveSlot = SLOT(DrawIndexedPrimitive);
const unsigned kDrawPrimitiveUPSlot = SLOT(DrawPrimitiveUP);
const unsigned kDrawIndexedPrimitiveUPSlot = SLOT(DrawIndexedPrimitiveUP);
const unsigned kEffectOnLostDeviceSlot = EFFECT_SLOT(OnLostDevice);
