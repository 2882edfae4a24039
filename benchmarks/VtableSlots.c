/* C, because only the C form of the interface declarations names the method tables. */
#include <d3d9.h>
#include <d3dx9.h>

#include "benchmarks/VtableSlots.h"

const unsigned kDeviceSlots = sizeof(IDirect3DDevice9Vtbl) / sizeof(void*);
const unsigned kTextureSlots = sizeof(IDirect3DTexture9Vtbl) / sizeof(void*);
const unsigned kSurfaceSlots = sizeof(IDirect3DSurface9Vtbl) / sizeof(void*);
const unsigned kVertexBufferSlots = sizeof(IDirect3DVertexBuffer9Vtbl) / sizeof(void*);
const unsigned kIndexBufferSlots = sizeof(IDirect3DIndexBuffer9Vtbl) / sizeof(void*);
const unsigned kEffectSlots = sizeof(ID3DXEffectVtbl) / sizeof(void*);
const unsigned kFontSlots = sizeof(ID3DXFontVtbl) / sizeof(void*);
const unsigned kSpriteSlots = sizeof(ID3DXSpriteVtbl) / sizeof(void*);
const unsigned kMeshSlots = sizeof(ID3DXMeshVtbl) / sizeof(void*);
