#pragma once
#include <d3d9.h>

#include <cstdint>

#include "model/ComRef.h"
#include "model/MeshRecord.h"
#include "model/ModuleResource.h"
#include "model/vo_string.h"

struct _D3DXIMAGE_INFO;
struct ID3DXMesh;

// Makers of the Direct3D objects the scene needs. All of them work on CurrentDevice; without a
// current device they make nothing and fail.

// --- Textures ---

// The program's own "QNT" picture of that id; with the flag a full mip chain. E_FAIL when the
// resource is missing or nothing resulted.
HRESULT LoadTextureFromResource(ComRef<IDirect3DTexture9>& texture, int32_t id, bool fullMipChain);
// A "QNT" picture of a module (null: the program), one level, with the picture's size in info.
HRESULT LoadTextureFromModuleResource(ModuleHandle module, int32_t id,
                                      ComRef<IDirect3DTexture9>& texture, _D3DXIMAGE_INFO& info);
// A picture file held in memory, one level, with the picture's size in info.
HRESULT LoadTextureFromMemory(_D3DXIMAGE_INFO& info, uint32_t size, const uint8_t* bytes,
                              ComRef<IDirect3DTexture9>& texture);
// A default-pool A8R8G8B8 render target of one level; it must be released before a device reset.
void CreateRenderTargetTexture(ComRef<IDirect3DTexture9>& holder, uint32_t width, uint32_t height);
// A managed texture with a full mip chain whose level 0 is the source's level 0, scaled.
void CopyTexture(uint32_t width, uint32_t height, D3DFORMAT format, IDirect3DTexture9* source,
                 ComRef<IDirect3DTexture9>& texture);

// --- Meshes (NormalTexVertex layout, 32-byte vertices, 16-bit indices) ---

constexpr uint32_t kMeshVertexStride = 32;

// Each leaves the record as it was when the .x data does not load or cannot be copied at the
// given stride (only kMeshVertexStride matches the mesh's vertices).
HRESULT LoadMeshFromMemory(const uint8_t* bytes, uint32_t size, uint32_t stride, MeshRecord& record);
HRESULT LoadMeshFromFile(const vo_string& path, uint32_t stride, MeshRecord& record);
HRESULT LoadMeshFromResource(ModuleHandle module, int32_t id, uint32_t stride, MeshRecord& record);

// Copies of a mesh's 16-bit indices and of its vertices into managed buffers. A mesh with 32-bit
// indices, or a stride that is not the mesh's vertex size, gives no buffer.
HRESULT CopyMeshIndices(ComRef<IDirect3DIndexBuffer9>& indexBuffer, ID3DXMesh* mesh);
HRESULT CopyMeshVertices(ComRef<IDirect3DVertexBuffer9>& vertexBuffer, ID3DXMesh* mesh, uint32_t stride);

// --- Other device objects ---

// A triangle list over a grid of vertices, filled by BuildGridIndexBuffer.
struct GridIndexBuffer {
    ComRef<IDirect3DIndexBuffer9> indexBuffer;
    uint32_t triangleCount = 0;
    void* locked = nullptr;  // only while it is filled
};

// Two triangles per cell of a columns x rows vertex grid, row by row. A grid of fewer than 2
// columns or rows, or of more vertices than 16-bit indices reach, gives an empty record.
HRESULT BuildGridIndexBuffer(GridIndexBuffer& record, uint32_t columns, uint32_t rows);

// The back buffer's description; all zeros when there is none.
void GetBackBufferDesc(D3DSURFACE_DESC& desc);
