#include "lights/WaterRippleField.h"

#include <d3d9.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "lights/RefractionTable.h"
#include "model/CurrentDevice.h"
#include "runtime/VertexBuffers.h"

namespace {

// The refracted rays end on a bowl: the sphere of this radius around a point this far above the
// rest level, whose lowest point lies 15 units under the surface.
const float kBowlCentreHeight = 20.0f;
const float kBowlRadius = 35.0f;
const int kPassesPerStep = 4;

// In place: the per-vertex loop stays inline rather than calling into D3DX for every vertex.
void Normalize(D3DXVECTOR3& v)
{
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length > 0.0f)
        v /= length;
}

// A grid side from a real count: truncated, kept within 16-bit index reach, made even.
uint32_t EvenSide(float count)
{
    // NaN and negative counts fall through to 0; the minimum grid is applied afterwards.
    const float reach = static_cast<float>(WaterRippleField::kMaxCells);
    const uint32_t side = count >= 0.0f ? static_cast<uint32_t>(std::min(count, reach)) : 0u;
    return side & ~1u;
}

}  // namespace

WaterRippleField::WaterRippleField() = default;

WaterRippleField::~WaterRippleField() = default;

void WaterRippleField::BuildRefractionTable()
{
    if (m_refractionTable)
        return;
    RefractionTable& table = RefractionTable::Shared();
    table.Fill();
    m_refractionTable = &table;
}

HRESULT WaterRippleField::Resize(float width, float height, float rowFactor, float columnFactor)
{
    const float k = std::floor(std::min(columnFactor * 128.0f, static_cast<float>(kMaxCells)));
    uint32_t columns = EvenSide(k);
    uint32_t rows = EvenSide(k * (height / width) * rowFactor);
    // A picture so wide or so tall that a side would vanish keeps the smallest grid that has an
    // interior and a strip.
    columns = std::max(columns, kMinSide);
    rows = std::max(rows, kMinSide);
    if (uint64_t(columns) * rows > kMaxCells) {
        columns = (kMaxCells / rows) & ~1u;
        if (columns < kMinSide) {
            columns = kMinSide;
            rows = kMaxCells / kMinSide;
        }
    }
    m_columns = columns;
    m_rows = rows;
    m_cellCount = columns * rows;
    m_width = width;
    m_height = height;
    m_vertexCount = m_cellCount;
    m_indexCount = 2 * m_cellCount;
    m_inverseWidth = 1.0f / width;
    m_inverseHeight = 1.0f / height;

    m_cells.reset(new Cell[m_cellCount]());
    ReleaseBuffers();
    return CreateBuffers();
}

HRESULT WaterRippleField::CreateBuffers()
{
    const HRESULT hr = CreateIndexBuffer();
    if (FAILED(hr))
        return hr;
    return CreateVertexBuffer();
}

void WaterRippleField::ReleaseBuffers()
{
    m_indexBuffer.Reset();
    m_vertexBuffer.Reset();
}

HRESULT WaterRippleField::CreateIndexBuffer()
{
    if (m_indexBuffer)
        return S_OK;
    IDirect3DDevice9* device = CurrentDevice;
    if (!device)
        return D3DERR_INVALIDCALL;
    HRESULT hr = device->CreateIndexBuffer(m_indexCount * sizeof(uint16_t), 0, D3DFMT_INDEX16, D3DPOOL_DEFAULT,
                                           m_indexBuffer.Receive(), nullptr);
    if (FAILED(hr))
        return hr;
    void* data = nullptr;
    hr = m_indexBuffer->Lock(0, 0, &data, 0);
    if (FAILED(hr)) {
        // Made again, and filled, by the next attempt.
        m_indexBuffer.Reset();
        return hr;
    }
    WriteRingStrip(m_columns, m_rows, static_cast<uint16_t*>(data), m_indexCount);
    return m_indexBuffer->Unlock();
}

HRESULT WaterRippleField::CreateVertexBuffer()
{
    if (m_vertexBuffer)
        return S_OK;
    if (!CurrentDevice)
        return D3DERR_INVALIDCALL;
    return CreateLayoutVertexBuffer(m_vertexBuffer, m_vertexCount, sizeof(WaterVertex), WaterVertex::kFVF,
                                    D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, D3DPOOL_DEFAULT);
}

void WaterRippleField::WriteRingStrip(uint32_t columns, uint32_t rows, uint16_t* indices, uint32_t count)
{
    const int64_t vertexCount = int64_t(columns) * rows;
    uint32_t written = 0;
    // Vertices outside the grid (where the sides are odd) and writes past the end are dropped.
    auto put = [&](int64_t r, int64_t c) {
        if (written >= count)
            return;
        const int64_t index = r * columns + c;
        indices[written++] = index >= 0 && index < vertexCount ? static_cast<uint16_t>(index) : 0;
    };
    int64_t r = 0, c = 0, n = columns, m = rows;
    while (written < count && n > 0 && m > 0) {
        // Top: zigzag along the ring's first two rows, left to right.
        for (int64_t k = 0; k < n; ++k, ++c) {
            put(r, c);
            put(r + 1, c);
        }
        c -= 1;
        r += 1;
        // Right: down the last two columns.
        if (m > 1) {
            for (int64_t k = 0; k < m - 1; ++k, ++r) {
                put(r, c);
                put(r, c - 1);
            }
            r -= 1;
            c -= 1;
        }
        // Bottom: the last two rows, right to left.
        if (n > 1) {
            for (int64_t k = 0; k < n - 1; ++k, --c) {
                put(r, c);
                put(r - 1, c);
            }
            c += 1;
            r -= 1;
        }
        // Left: up the first two columns.
        if (m > 2) {
            for (int64_t k = 0; k < m - 2; ++k, --r) {
                put(r, c);
                put(r, c + 1);
            }
        }
        m -= 2;
        n -= 2;
        r += 1;
        c += 1;
    }
    while (written < count)
        indices[written++] = 0;
}

void WaterRippleField::AddRandomDrop()
{
    if (!m_cells || m_columns < 3 || m_rows < 3)
        return;
    const uint32_t column = static_cast<uint32_t>(std::rand()) % (m_columns - 2) + 1;
    const uint32_t row = static_cast<uint32_t>(std::rand()) % (m_rows - 2) + 1;
    AddDrop(column, row);
}

void WaterRippleField::AddDrop(uint32_t column, uint32_t row)
{
    if (!m_cells || column < 1 || row < 1 || column + 1 >= m_columns || row + 1 >= m_rows)
        return;
    const float d = m_dropDepth;
    Cell* centre = &m_cells[row * m_columns + column];
    Cell* above = centre - m_columns;
    Cell* below = centre + m_columns;
    centre[0].velocity -= d * 0.25f;
    centre[-1].velocity -= d * 0.125f;
    centre[1].velocity -= d * 0.125f;
    above[0].velocity -= d * 0.125f;
    below[0].velocity -= d * 0.125f;
    above[-1].velocity -= d * 0.0625f;
    above[1].velocity -= d * 0.0625f;
    below[-1].velocity -= d * 0.0625f;
    below[1].velocity -= d * 0.0625f;
}

HRESULT WaterRippleField::Simulate(const D3DXVECTOR3& eye)
{
    for (int pass = 0; pass < kPassesPerStep; ++pass)
        Step();
    return WriteVertexBuffer(eye);
}

void WaterRippleField::Step()
{
    if (!m_cells)
        return;
    double sum = 0.0;
    UpdateVelocities(sum);
    UpdateHeights(static_cast<float>(sum / m_cellCount));
}

void WaterRippleField::UpdateVelocities(double& sum)
{
    const uint32_t columns = m_columns, rows = m_rows;
    const float damping = m_damping;
    // The border is held at rest, all of it before any cell reads it; heights are only read
    // here, so the order of the cells does not matter.
    for (uint32_t c = 0; c < columns; ++c) {
        m_cells[c] = Cell{0.0f, 0.0f};
        m_cells[(rows - 1) * columns + c] = Cell{0.0f, 0.0f};
    }
    for (uint32_t r = 1; r + 1 < rows; ++r) {
        m_cells[r * columns] = Cell{0.0f, 0.0f};
        m_cells[r * columns + columns - 1] = Cell{0.0f, 0.0f};
    }
    for (uint32_t r = 1; r + 1 < rows; ++r) {
        Cell* row = &m_cells[r * columns];
        const Cell* above = row - columns;
        const Cell* below = row + columns;
        for (uint32_t c = 1; c + 1 < columns; ++c) {
            const float corners = above[c - 1].height + above[c + 1].height + below[c - 1].height + below[c + 1].height;
            const float edges = above[c].height + below[c].height + row[c - 1].height + row[c + 1].height;
            const float average = corners / 12.0f + edges / 6.0f;
            Cell& cell = row[c];
            cell.velocity = 0.25f * (average - cell.height) + damping * cell.velocity;
            sum += cell.velocity + cell.height;
        }
    }
}

void WaterRippleField::UpdateHeights(float mean)
{
    const float speed = m_speed;
    for (uint32_t i = 0; i < m_cellCount; ++i)
        m_cells[i].height += m_cells[i].velocity * speed - mean;
}

HRESULT WaterRippleField::WriteVertexBuffer(const D3DXVECTOR3& eye)
{
    if (!m_vertexBuffer || !m_cells)
        return D3DERR_INVALIDCALL;
    void* data = nullptr;
    // Every vertex is written anew, so the old contents may go.
    const HRESULT hr = m_vertexBuffer->Lock(0, 0, &data, D3DLOCK_DISCARD);
    if (FAILED(hr))
        return hr;
    WriteVertices(static_cast<WaterVertex*>(data), eye);
    return m_vertexBuffer->Unlock();
}

void WaterRippleField::WriteVertices(WaterVertex* vertices, const D3DXVECTOR3& eye) const
{
    if (!m_cells)
        return;
    const RefractionTable& table = m_refractionTable ? *m_refractionTable : RefractionTable::Shared();
    const uint32_t columns = m_columns, rows = m_rows;
    const float stepX = m_width / static_cast<float>(columns - 1);
    const float stepZ = m_height / static_cast<float>(rows - 1);
    const float k = m_refraction;
    const float shrink = 1.0f - 0.05f * k;
    WaterVertex* out = vertices;
    for (uint32_t r = 0; r < rows; ++r) {
        // Neighbours beyond an edge are taken from the opposite edge.
        const Cell* above = &m_cells[(r == 0 ? rows - 1 : r - 1) * columns];
        const Cell* row = &m_cells[r * columns];
        const Cell* below = &m_cells[(r + 1 == rows ? 0 : r + 1) * columns];
        const float z = -0.5f * m_height + static_cast<float>(r) * stepZ;
        for (uint32_t c = 0; c < columns; ++c, ++out) {
            const uint32_t left = c == 0 ? columns - 1 : c - 1;
            const uint32_t right = c + 1 == columns ? 0 : c + 1;
            const float x = -0.5f * m_width + static_cast<float>(c) * stepX;
            const float y = row[c].height;

            const float gx = (above[left].height + row[left].height + below[left].height) -
                             (above[right].height + row[right].height + below[right].height);
            const float gz = (above[left].height + above[c].height + above[right].height) -
                             (below[left].height + below[c].height + below[right].height);
            D3DXVECTOR3 normal(gx, 1.0f, gz);
            Normalize(normal);

            D3DXVECTOR3 toEye(eye.x - x, eye.y - y, eye.z - z);
            Normalize(toEye);
            const RefractionTable::Entry& t = table.ForCosine(D3DXVec3Dot(&toEye, &normal));

            const D3DXVECTOR3 ray = t.b * (toEye + t.a * normal);
            const D3DXVECTOR3 fromCentre(x, y - kBowlCentreHeight, z);
            const float b = 2.0f * D3DXVec3Dot(&ray, &fromCentre);
            const float q = D3DXVec3LengthSq(&fromCentre) - kBowlRadius * kBowlRadius;
            // A ray that misses the bowl (far corners of very wide pictures) ends where it
            // comes closest to it.
            const float discriminant = std::max(b * b - 4.0f * q, 0.0f);
            const float depth = 0.5f * (std::sqrt(discriminant) - b) * k;

            out->x = x;
            out->y = y;
            out->z = z;
            out->nx = normal.x;
            out->ny = normal.y;
            out->nz = normal.z;
            out->colour = t.colour;
            out->u = shrink * ((x + depth * ray.x) * m_inverseWidth) + 0.5f;
            out->v = shrink * ((z + depth * ray.z) * m_inverseHeight) + 0.5f;
        }
    }
}

HRESULT WaterRippleField::Draw() const
{
    IDirect3DDevice9* device = CurrentDevice;
    if (!device || !m_vertexBuffer || !m_indexBuffer || m_indexCount < 3)
        return D3DERR_INVALIDCALL;
    BindVertexStream(device, m_vertexBuffer.Get(), sizeof(WaterVertex), WaterVertex::kFVF);
    device->SetIndices(m_indexBuffer.Get());
    return device->DrawIndexedPrimitive(D3DPT_TRIANGLESTRIP, 0, 0, m_vertexCount, 0, m_indexCount - 2);
}
