#include "brushes/FXGridMesh.h"

#include "model/D3DResourceMakers.h"
#include "runtime/VertexBuffers.h"

HRESULT BuildFXGrid(FXGridMesh& mesh, int columns, int rows)
{
    if (columns < 1 || rows < 1 || columns > 255 || rows > 255)
        return E_INVALIDARG;
    mesh.columns = columns;
    mesh.rows = rows;
    const UINT vertexCount = static_cast<UINT>((columns + 1) * (rows + 1));
    HRESULT hr = CreateWorldVertexBuffer(mesh.VertexBufferRef(), vertexCount, D3DUSAGE_WRITEONLY, D3DPOOL_MANAGED);
    mesh.SetVertexCount(SUCCEEDED(hr) ? vertexCount : 0);
    mesh.SetPrimitiveType(D3DPT_TRIANGLELIST);
    mesh.SetPrimitiveCount(0);
    GridIndexBuffer indices;
    HRESULT indexResult = BuildGridIndexBuffer(indices, static_cast<uint32_t>(columns + 1),
                                               static_cast<uint32_t>(rows + 1));
    mesh.IndexBufferRef() = indices.indexBuffer;
    mesh.SetIndexedPrimitiveCount(indices.triangleCount);
    return FAILED(hr) ? hr : indexResult;
}
