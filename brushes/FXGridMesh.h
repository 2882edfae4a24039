#pragma once
#include "runtime/VertexTypes.h"
#include "runtime/Vo_IndexedMesh.h"

// The grid a brush may draw over its region instead of the layer's picture quad: a triangle list
// of columns x rows cells of TexVertex. Copies share the buffers, as the mesh's do.
struct FXGridMesh : Vo_IndexedMesh<DX_V::PCT> {
    int columns = 0;
    int rows = 0;
};

// (Re)creates the grid's vertex buffer ((columns + 1) x (rows + 1) TexVertex, write-only, managed)
// and its index buffer, two triangles per cell; the vertices are left for the region to fill. A
// grid whose buffers cannot be made keeps none and draws nothing; counts outside 1 to 255 change
// nothing (a 16-bit index buffer holds no larger grid).
HRESULT BuildFXGrid(FXGridMesh& mesh, int columns, int rows);
