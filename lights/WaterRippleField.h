#pragma once
#include <d3dx9math.h>

#include <cstdint>
#include <memory>

#include "lights/WaterVertex.h"
#include "model/ComRef.h"

struct IDirect3DIndexBuffer9;
struct IDirect3DVertexBuffer9;
class RefractionTable;

// A water surface as a grid of heights and velocities, lying in the x-z plane around the origin
// (rows along z, columns along x), that drops disturb and that spreads them as rings. Every
// simulation step also writes the lit mesh of the surface: one vertex per cell whose texture
// coordinates are bent by refraction, drawn as one triangle strip through 16-bit indices. Its
// buffers live in the default pool: the owner releases them before a device reset and makes
// them again afterwards.
class WaterRippleField {
public:
    struct Cell {
        float height;
        float velocity;
    };

    // 16-bit indices reach 65536 vertices, and one cell is one vertex.
    static constexpr uint32_t kMaxCells = 65536;
    // Fewer rows or columns leave no interior to drop into and no strip to draw.
    static constexpr uint32_t kMinSide = 4;

    WaterRippleField();
    WaterRippleField(const WaterRippleField&) = delete;
    WaterRippleField& operator=(const WaterRippleField&) = delete;
    ~WaterRippleField();

    // Points the field at the process-wide refraction table and fills that table.
    void BuildRefractionTable();

    // A grid of 128 x column factor columns for a surface of width x height units, rows in the
    // surface's proportion times the row factor, both even, at least 4 and at most 65536 cells
    // together. The heights start at rest; the buffers are made anew for the new size.
    HRESULT Resize(float width, float height, float rowFactor, float columnFactor);
    // The index buffer (filled with the strip) and the vertex buffer, each only when missing.
    HRESULT CreateBuffers();
    void ReleaseBuffers();

    // A drop at a random cell of the interior; a drop pushes the centre cell down and its eight
    // neighbours by less.
    void AddRandomDrop();
    void AddDrop(uint32_t column, uint32_t row);

    // Four simulation passes, then the mesh for an eye at that position. The heights advance even
    // when the vertex buffer is missing or does not lock (that result is returned).
    HRESULT Simulate(const D3DXVECTOR3& eye);
    // One pass: velocities from the neighbours' heights, then heights from velocities, less the
    // mean so that the surface keeps its level.
    void Step();
    // The mesh of the current heights, vertexCount vertices.
    void WriteVertices(WaterVertex* vertices, const D3DXVECTOR3& eye) const;
    // One triangle strip over the whole grid in rings from the outside inwards, count indices
    // (2 x cells for a grid of even sides), every index below the vertex count.
    static void WriteRingStrip(uint32_t columns, uint32_t rows, uint16_t* indices, uint32_t count);

    // The strip with the current texture 0, under the current transforms.
    HRESULT Draw() const;

    float Width() const { return m_width; }
    float Height() const { return m_height; }
    uint32_t Columns() const { return m_columns; }
    uint32_t Rows() const { return m_rows; }
    uint32_t CellCount() const { return m_cellCount; }
    uint32_t IndexCount() const { return m_indexCount; }
    uint32_t VertexCount() const { return m_vertexCount; }
    // Null until the first resize.
    Cell* Cells() { return m_cells.get(); }
    const Cell* Cells() const { return m_cells.get(); }
    const Cell& At(uint32_t column, uint32_t row) const { return m_cells[row * m_columns + column]; }
    const RefractionTable* Refraction() const { return m_refractionTable; }
    IDirect3DIndexBuffer9* IndexBuffer() const { return m_indexBuffer.Get(); }
    IDirect3DVertexBuffer9* VertexBuffer() const { return m_vertexBuffer.Get(); }

    float Speed() const { return m_speed; }
    float DropDepth() const { return m_dropDepth; }
    float Damping() const { return m_damping; }
    float RefractionStrength() const { return m_refraction; }
    void SetSpeed(float speed) { m_speed = speed; }
    void SetDropDepth(float depth) { m_dropDepth = depth; }
    void SetDamping(float damping) { m_damping = damping; }
    void SetRefractionStrength(float k) { m_refraction = k; }

private:
    HRESULT CreateIndexBuffer();
    HRESULT CreateVertexBuffer();
    void UpdateVelocities(double& sum);
    void UpdateHeights(float mean);
    HRESULT WriteVertexBuffer(const D3DXVECTOR3& eye);

    // What every vertex of one mesh shares.
    struct VertexTerms {
        float left, stepX;
        float k, shrink;
        float inverseWidth, inverseHeight;
    };
    // A row of cells with the rows above and below it (wrapped at the edges).
    struct RowCells {
        const Cell* above;
        const Cell* row;
        const Cell* below;
    };
    // The vertex of column c, its neighbours' columns given (wrapped at the edges).
    static void WriteVertex(WaterVertex* out, const RowCells& cells, uint32_t c, uint32_t left, uint32_t right,
                            float z, const D3DXVECTOR3& eye, const RefractionTable& table, const VertexTerms& terms);
    // The vertices of columns c to c + 3, which all have both neighbours in the row.
    static void WriteFourVertices(WaterVertex* out, const RowCells& cells, uint32_t c, float z,
                                  const D3DXVECTOR3& eye, const RefractionTable& table, const VertexTerms& terms);

    float m_width = 1.0f;
    float m_height = 1.0f;
    float m_inverseWidth = 1.0f;
    float m_inverseHeight = 1.0f;
    uint32_t m_indexCount = 0;
    uint32_t m_vertexCount = 0;
    std::unique_ptr<Cell[]> m_cells;
    const RefractionTable* m_refractionTable = nullptr;
    uint32_t m_columns = kMinSide;
    uint32_t m_rows = kMinSide;
    uint32_t m_cellCount = kMinSide * kMinSide;
    ComRef<IDirect3DIndexBuffer9> m_indexBuffer;
    ComRef<IDirect3DVertexBuffer9> m_vertexBuffer;
    float m_speed = 1.0f;
    float m_dropDepth = 0.5f;
    float m_damping = 0.99f;
    float m_refraction = 0.2f;
};
