/* C, because only the C form of the interface declarations names the method tables. */
#include <d3d9.h>
#include <d3dx9.h>
#include <stddef.h>

#include "benchmarks/VtableNames.h"

typedef struct {
    size_t offset;
    const char* name;
} SlotName;

#define SLOT(table, method) {offsetof(table, method), #method}

static const SlotName kDevice[] = {
    SLOT(IDirect3DDevice9Vtbl, CreateTexture),
    SLOT(IDirect3DDevice9Vtbl, CreateVolumeTexture),
    SLOT(IDirect3DDevice9Vtbl, CreateCubeTexture),
    SLOT(IDirect3DDevice9Vtbl, CreateVertexBuffer),
    SLOT(IDirect3DDevice9Vtbl, CreateIndexBuffer),
    SLOT(IDirect3DDevice9Vtbl, CreateRenderTarget),
    SLOT(IDirect3DDevice9Vtbl, CreateDepthStencilSurface),
    SLOT(IDirect3DDevice9Vtbl, CreateOffscreenPlainSurface),
    SLOT(IDirect3DDevice9Vtbl, CreateVertexShader),
    SLOT(IDirect3DDevice9Vtbl, CreatePixelShader),
    SLOT(IDirect3DDevice9Vtbl, CreateVertexDeclaration),
    SLOT(IDirect3DDevice9Vtbl, CreateQuery),
    SLOT(IDirect3DDevice9Vtbl, CreateStateBlock),
    SLOT(IDirect3DDevice9Vtbl, UpdateSurface),
    SLOT(IDirect3DDevice9Vtbl, UpdateTexture),
    SLOT(IDirect3DDevice9Vtbl, GetRenderTargetData),
    SLOT(IDirect3DDevice9Vtbl, StretchRect),
    SLOT(IDirect3DDevice9Vtbl, ColorFill),
    SLOT(IDirect3DDevice9Vtbl, GetBackBuffer),
    SLOT(IDirect3DDevice9Vtbl, SetRenderTarget),
    SLOT(IDirect3DDevice9Vtbl, GetRenderTarget),
    SLOT(IDirect3DDevice9Vtbl, SetDepthStencilSurface),
    SLOT(IDirect3DDevice9Vtbl, GetDepthStencilSurface),
    SLOT(IDirect3DDevice9Vtbl, BeginScene),
    SLOT(IDirect3DDevice9Vtbl, EndScene),
    SLOT(IDirect3DDevice9Vtbl, Clear),
    SLOT(IDirect3DDevice9Vtbl, SetTransform),
    SLOT(IDirect3DDevice9Vtbl, SetRenderState),
    SLOT(IDirect3DDevice9Vtbl, SetTexture),
    SLOT(IDirect3DDevice9Vtbl, SetTextureStageState),
    SLOT(IDirect3DDevice9Vtbl, SetSamplerState),
    SLOT(IDirect3DDevice9Vtbl, DrawPrimitive),
    SLOT(IDirect3DDevice9Vtbl, DrawIndexedPrimitive),
    SLOT(IDirect3DDevice9Vtbl, DrawPrimitiveUP),
    SLOT(IDirect3DDevice9Vtbl, SetFVF),
    SLOT(IDirect3DDevice9Vtbl, SetVertexShader),
    SLOT(IDirect3DDevice9Vtbl, SetPixelShader),
    SLOT(IDirect3DDevice9Vtbl, SetStreamSource),
    SLOT(IDirect3DDevice9Vtbl, SetIndices),
};

static const SlotName kTexture[] = {
    SLOT(IDirect3DTexture9Vtbl, AddRef),
    SLOT(IDirect3DTexture9Vtbl, Release),
    SLOT(IDirect3DTexture9Vtbl, PreLoad),
    SLOT(IDirect3DTexture9Vtbl, GenerateMipSubLevels),
    SLOT(IDirect3DTexture9Vtbl, GetLevelDesc),
    SLOT(IDirect3DTexture9Vtbl, GetSurfaceLevel),
    SLOT(IDirect3DTexture9Vtbl, LockRect),
    SLOT(IDirect3DTexture9Vtbl, UnlockRect),
};

static const SlotName kSurface[] = {
    SLOT(IDirect3DSurface9Vtbl, Release),
    SLOT(IDirect3DSurface9Vtbl, GetDesc),
    SLOT(IDirect3DSurface9Vtbl, LockRect),
    SLOT(IDirect3DSurface9Vtbl, UnlockRect),
};

static const SlotName kVertexBuffer[] = {
    SLOT(IDirect3DVertexBuffer9Vtbl, Release),
    SLOT(IDirect3DVertexBuffer9Vtbl, Lock),
    SLOT(IDirect3DVertexBuffer9Vtbl, Unlock),
    SLOT(IDirect3DVertexBuffer9Vtbl, GetDesc),
};

static const SlotName kIndexBuffer[] = {
    SLOT(IDirect3DIndexBuffer9Vtbl, Release),
    SLOT(IDirect3DIndexBuffer9Vtbl, Lock),
    SLOT(IDirect3DIndexBuffer9Vtbl, Unlock),
    SLOT(IDirect3DIndexBuffer9Vtbl, GetDesc),
};

static const SlotName kEffect[] = {
    SLOT(ID3DXEffectVtbl, Release),
    SLOT(ID3DXEffectVtbl, SetTechnique),
    SLOT(ID3DXEffectVtbl, SetTexture),
    SLOT(ID3DXEffectVtbl, SetFloat),
    SLOT(ID3DXEffectVtbl, SetFloatArray),
    SLOT(ID3DXEffectVtbl, SetMatrix),
    SLOT(ID3DXEffectVtbl, Begin),
    SLOT(ID3DXEffectVtbl, BeginPass),
    SLOT(ID3DXEffectVtbl, EndPass),
    SLOT(ID3DXEffectVtbl, End),
    SLOT(ID3DXEffectVtbl, OnLostDevice),
    SLOT(ID3DXEffectVtbl, OnResetDevice),
};

static const SlotName kFont[] = {
    SLOT(ID3DXFontVtbl, Release),
    SLOT(ID3DXFontVtbl, DrawTextW),
    SLOT(ID3DXFontVtbl, PreloadCharacters),
    SLOT(ID3DXFontVtbl, OnLostDevice),
    SLOT(ID3DXFontVtbl, OnResetDevice),
};

static const SlotName kSprite[] = {
    SLOT(ID3DXSpriteVtbl, Release),
    SLOT(ID3DXSpriteVtbl, Begin),
    SLOT(ID3DXSpriteVtbl, Draw),
    SLOT(ID3DXSpriteVtbl, End),
};

static const SlotName kMesh[] = {
    SLOT(ID3DXMeshVtbl, Release),
    SLOT(ID3DXMeshVtbl, CloneMeshFVF),
    SLOT(ID3DXMeshVtbl, OptimizeInplace),
    SLOT(ID3DXMeshVtbl, LockVertexBuffer),
    SLOT(ID3DXMeshVtbl, UnlockVertexBuffer),
};

#define TABLE(names) {names, sizeof(names) / sizeof(names[0])}

static const struct {
    const SlotName* names;
    size_t count;
} kTables[] = {TABLE(kDevice), TABLE(kTexture), TABLE(kSurface), TABLE(kVertexBuffer), TABLE(kIndexBuffer),
               TABLE(kEffect), TABLE(kFont),    TABLE(kSprite),  TABLE(kMesh)};

static const char* const kInterfaces[] = {"IDirect3DDevice9",      "IDirect3DTexture9",     "IDirect3DSurface9",
                                          "IDirect3DVertexBuffer9", "IDirect3DIndexBuffer9", "ID3DXEffect",
                                          "ID3DXFont",              "ID3DXSprite",           "ID3DXMesh"};

const char* VoInterfaceName(enum VoInterfaceKind kind)
{
    return (unsigned)kind < sizeof(kInterfaces) / sizeof(kInterfaces[0]) ? kInterfaces[kind] : "";
}

const char* VoMethodName(enum VoInterfaceKind kind, unsigned slot)
{
    size_t i;
    if ((unsigned)kind >= sizeof(kTables) / sizeof(kTables[0]))
        return NULL;
    for (i = 0; i < kTables[kind].count; ++i)
        if (kTables[kind].names[i].offset == slot * sizeof(void*))
            return kTables[kind].names[i].name;
    return NULL;
}
