/* C, because only the C form of the interface declarations names the method tables. */
#include <stddef.h>

#include <d3d9.h>
#include <d3dx9.h>

#include "benchmarks/DrawFillSlots.h"

#define SLOT(table, method) (offsetof(table, method) / sizeof(void*))

const unsigned kDeviceClearSlot = SLOT(IDirect3DDevice9Vtbl, Clear);
const unsigned kDeviceStretchRectSlot = SLOT(IDirect3DDevice9Vtbl, StretchRect);
const unsigned kDeviceDrawPrimitiveSlot = SLOT(IDirect3DDevice9Vtbl, DrawPrimitive);
const unsigned kDeviceDrawIndexedPrimitiveSlot = SLOT(IDirect3DDevice9Vtbl, DrawIndexedPrimitive);
const unsigned kDeviceDrawPrimitiveUPSlot = SLOT(IDirect3DDevice9Vtbl, DrawPrimitiveUP);
const unsigned kDeviceDrawIndexedPrimitiveUPSlot = SLOT(IDirect3DDevice9Vtbl, DrawIndexedPrimitiveUP);
const unsigned kEffectBeginPassSlot = SLOT(ID3DXEffectVtbl, BeginPass);
const unsigned kEffectEndPassSlot = SLOT(ID3DXEffectVtbl, EndPass);
