#include "lights/WaterRippleField.h"

#include <d3d9.h>
#include <emmintrin.h>

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

// The inner loops take four cells at a time in SSE registers, with the same operations in the
// same order as one cell at a time, so that every cell gets the value it would get alone.

// The heights of the four cells from p on (cells are height and velocity pairs).
inline __m128 LoadHeights(const WaterRippleField::Cell* p)
{
    const float* f = &p->height;
    return _mm_shuffle_ps(_mm_loadu_ps(f), _mm_loadu_ps(f + 4), _MM_SHUFFLE(2, 0, 2, 0));
}

inline __m128 LoadVelocities(const WaterRippleField::Cell* p)
{
    const float* f = &p->height;
    return _mm_shuffle_ps(_mm_loadu_ps(f), _mm_loadu_ps(f + 4), _MM_SHUFFLE(3, 1, 3, 1));
}

inline void StoreCells(WaterRippleField::Cell* p, __m128 heights, __m128 velocities)
{
    float* f = &p->height;
    _mm_storeu_ps(f, _mm_unpacklo_ps(heights, velocities));
    _mm_storeu_ps(f + 4, _mm_unpackhi_ps(heights, velocities));
}

// Where the mask is set the first value, elsewhere the second.
inline __m128 Select(__m128 mask, __m128 a, __m128 b)
{
    return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b));
}

// Divides each lane of the vector by its length where that length is above 0, as Normalize
// does one vector.
inline void Normalize4(__m128& x, __m128& y, __m128& z)
{
    const __m128 length =
        _mm_sqrt_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(x, x), _mm_mul_ps(y, y)), _mm_mul_ps(z, z)));
    const __m128 positive = _mm_cmpgt_ps(length, _mm_setzero_ps());
    x = Select(positive, _mm_div_ps(x, length), x);
    y = Select(positive, _mm_div_ps(y, length), y);
    z = Select(positive, _mm_div_ps(z, length), z);
}

inline __m128 Dot4(__m128 ax, __m128 ay, __m128 az, __m128 bx, __m128 by, __m128 bz)
{
    return _mm_add_ps(_mm_add_ps(_mm_mul_ps(ax, bx), _mm_mul_ps(ay, by)), _mm_mul_ps(az, bz));
}

// RefractionTable::IndexForCosine for four cosines.
inline __m128i TableIndices(__m128 cosine)
{
    const __m128 scaled = _mm_mul_ps(_mm_set1_ps(255.0f), cosine);
    const __m128i rounded = _mm_cvtps_epi32(scaled);
    const __m128i low = _mm_castps_si128(_mm_cmple_ps(scaled, _mm_setzero_ps()));
    // Not below the top, NaN included.
    const __m128i high = _mm_castps_si128(_mm_cmpnlt_ps(scaled, _mm_set1_ps(255.0f)));
    const __m128i top = _mm_set1_epi32(RefractionTable::kSize - 1);
    return _mm_or_si128(_mm_and_si128(high, top), _mm_andnot_si128(_mm_or_si128(low, high), rounded));
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
    // The buffers hang on the grid's sides only: a field laid out again on the same grid, as at
    // every showing of its slide, keeps them.
    const bool sameGrid = columns == m_columns && rows == m_rows;
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
    if (!sameGrid)
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
    const __m128 twelve = _mm_set1_ps(12.0f), six = _mm_set1_ps(6.0f), quarter = _mm_set1_ps(0.25f);
    const __m128 keep = _mm_set1_ps(damping);
    // Two sums of two lanes each; the order of the additions only moves the double's last bits.
    __m128d sumLow = _mm_setzero_pd(), sumHigh = _mm_setzero_pd();
    for (uint32_t r = 1; r + 1 < rows; ++r) {
        Cell* row = &m_cells[r * columns];
        const Cell* above = row - columns;
        const Cell* below = row + columns;
        uint32_t c = 1;
        // The heights of the cells left of the four: read from the row only for the first four,
        // then made from the heights held in registers, so that no read overlaps the cells
        // just written (a read that half overlaps a recent write waits for it).
        __m128 left = LoadHeights(row);
        // Four cells whose right neighbours all lie in the row.
        for (; c + 4 < columns; c += 4) {
            const __m128 corners = _mm_add_ps(
                _mm_add_ps(_mm_add_ps(LoadHeights(above + c - 1), LoadHeights(above + c + 1)), LoadHeights(below + c - 1)),
                LoadHeights(below + c + 1));
            const __m128 height = LoadHeights(row + c);
            const __m128 edges = _mm_add_ps(_mm_add_ps(_mm_add_ps(LoadHeights(above + c), LoadHeights(below + c)), left),
                                            LoadHeights(row + c + 1));
            const __m128 average = _mm_add_ps(_mm_div_ps(corners, twelve), _mm_div_ps(edges, six));
            if (c + 8 < columns) {
                // Cells c + 3 to c + 6: the last of these four, then the first three of the next.
                const __m128 next = LoadHeights(row + c + 4);
                left = _mm_shuffle_ps(_mm_shuffle_ps(height, next, _MM_SHUFFLE(0, 0, 3, 3)), next,
                                      _MM_SHUFFLE(2, 1, 2, 0));
            }
            const __m128 velocity = _mm_add_ps(_mm_mul_ps(quarter, _mm_sub_ps(average, height)),
                                               _mm_mul_ps(keep, LoadVelocities(row + c)));
            StoreCells(row + c, height, velocity);
            const __m128 total = _mm_add_ps(velocity, height);
            sumLow = _mm_add_pd(sumLow, _mm_cvtps_pd(total));
            sumHigh = _mm_add_pd(sumHigh, _mm_cvtps_pd(_mm_movehl_ps(total, total)));
        }
        for (; c + 1 < columns; ++c) {
            const float corners = above[c - 1].height + above[c + 1].height + below[c - 1].height + below[c + 1].height;
            const float edges = above[c].height + below[c].height + row[c - 1].height + row[c + 1].height;
            const float average = corners / 12.0f + edges / 6.0f;
            Cell& cell = row[c];
            cell.velocity = 0.25f * (average - cell.height) + damping * cell.velocity;
            sum += cell.velocity + cell.height;
        }
    }
    const __m128d lanes = _mm_add_pd(sumLow, sumHigh);
    sum += _mm_cvtsd_f64(lanes) + _mm_cvtsd_f64(_mm_unpackhi_pd(lanes, lanes));
}

void WaterRippleField::UpdateHeights(float mean)
{
    const float speed = m_speed;
    const __m128 speeds = _mm_set1_ps(speed), means = _mm_set1_ps(mean);
    uint32_t i = 0;
    for (; i + 4 <= m_cellCount; i += 4) {
        Cell* cells = &m_cells[i];
        const __m128 velocity = LoadVelocities(cells);
        const __m128 height = _mm_add_ps(LoadHeights(cells), _mm_sub_ps(_mm_mul_ps(velocity, speeds), means));
        StoreCells(cells, height, velocity);
    }
    for (; i < m_cellCount; ++i)
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
    VertexTerms terms;
    terms.left = -0.5f * m_width;
    terms.stepX = m_width / static_cast<float>(columns - 1);
    terms.k = m_refraction;
    terms.shrink = 1.0f - 0.05f * terms.k;
    terms.inverseWidth = m_inverseWidth;
    terms.inverseHeight = m_inverseHeight;
    const float stepZ = m_height / static_cast<float>(rows - 1);
    WaterVertex* out = vertices;
    for (uint32_t r = 0; r < rows; ++r, out += columns) {
        // Neighbours beyond an edge are taken from the opposite edge.
        RowCells cells;
        cells.above = &m_cells[(r == 0 ? rows - 1 : r - 1) * columns];
        cells.row = &m_cells[r * columns];
        cells.below = &m_cells[(r + 1 == rows ? 0 : r + 1) * columns];
        const float z = -0.5f * m_height + static_cast<float>(r) * stepZ;
        WriteVertex(out, cells, 0, columns - 1, 1, z, eye, table, terms);
        uint32_t c = 1;
        // Four vertices whose right neighbours all lie in the row.
        for (; c + 4 < columns; c += 4)
            WriteFourVertices(out + c, cells, c, z, eye, table, terms);
        for (; c < columns; ++c)
            WriteVertex(out + c, cells, c, c - 1, c + 1 == columns ? 0 : c + 1, z, eye, table, terms);
    }
}

void WaterRippleField::WriteVertex(WaterVertex* out, const RowCells& cells, uint32_t c, uint32_t left,
                                   uint32_t right, float z, const D3DXVECTOR3& eye, const RefractionTable& table,
                                   const VertexTerms& terms)
{
    const Cell* above = cells.above;
    const Cell* row = cells.row;
    const Cell* below = cells.below;
    const float x = terms.left + static_cast<float>(c) * terms.stepX;
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
    // A ray that misses the bowl (far corners of very wide pictures) ends where it comes
    // closest to it.
    const float discriminant = std::max(b * b - 4.0f * q, 0.0f);
    const float depth = 0.5f * (std::sqrt(discriminant) - b) * terms.k;

    out->x = x;
    out->y = y;
    out->z = z;
    out->nx = normal.x;
    out->ny = normal.y;
    out->nz = normal.z;
    out->colour = t.colour;
    out->u = terms.shrink * ((x + depth * ray.x) * terms.inverseWidth) + 0.5f;
    out->v = terms.shrink * ((z + depth * ray.z) * terms.inverseHeight) + 0.5f;
}

void WaterRippleField::WriteFourVertices(WaterVertex* out, const RowCells& cells, uint32_t c, float z,
                                         const D3DXVECTOR3& eye, const RefractionTable& table,
                                         const VertexTerms& terms)
{
    const Cell* above = cells.above + c;
    const Cell* row = cells.row + c;
    const Cell* below = cells.below + c;
    const __m128 columnsFromLeft = _mm_cvtepi32_ps(_mm_add_epi32(_mm_set1_epi32(static_cast<int>(c)), _mm_setr_epi32(0, 1, 2, 3)));
    const __m128 x = _mm_add_ps(_mm_set1_ps(terms.left), _mm_mul_ps(columnsFromLeft, _mm_set1_ps(terms.stepX)));
    const __m128 y = LoadHeights(row);
    const __m128 zs = _mm_set1_ps(z);

    const __m128 aboveLeft = LoadHeights(above - 1), aboveRight = LoadHeights(above + 1);
    const __m128 belowLeft = LoadHeights(below - 1), belowRight = LoadHeights(below + 1);
    __m128 nx = _mm_sub_ps(_mm_add_ps(_mm_add_ps(aboveLeft, LoadHeights(row - 1)), belowLeft),
                           _mm_add_ps(_mm_add_ps(aboveRight, LoadHeights(row + 1)), belowRight));
    __m128 nz = _mm_sub_ps(_mm_add_ps(_mm_add_ps(aboveLeft, LoadHeights(above)), aboveRight),
                           _mm_add_ps(_mm_add_ps(belowLeft, LoadHeights(below)), belowRight));
    __m128 ny = _mm_set1_ps(1.0f);
    Normalize4(nx, ny, nz);

    __m128 vx = _mm_sub_ps(_mm_set1_ps(eye.x), x);
    __m128 vy = _mm_sub_ps(_mm_set1_ps(eye.y), y);
    __m128 vz = _mm_sub_ps(_mm_set1_ps(eye.z), zs);
    Normalize4(vx, vy, vz);

    alignas(16) int32_t index[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(index), TableIndices(Dot4(vx, vy, vz, nx, ny, nz)));
    const RefractionTable::Entry& t0 = table[index[0]];
    const RefractionTable::Entry& t1 = table[index[1]];
    const RefractionTable::Entry& t2 = table[index[2]];
    const RefractionTable::Entry& t3 = table[index[3]];
    const __m128 a = _mm_setr_ps(t0.a, t1.a, t2.a, t3.a);
    const __m128 bt = _mm_setr_ps(t0.b, t1.b, t2.b, t3.b);
    const __m128 colour = _mm_castsi128_ps(_mm_setr_epi32(static_cast<int>(t0.colour), static_cast<int>(t1.colour),
                                                          static_cast<int>(t2.colour), static_cast<int>(t3.colour)));

    const __m128 rx = _mm_mul_ps(bt, _mm_add_ps(vx, _mm_mul_ps(a, nx)));
    const __m128 ry = _mm_mul_ps(bt, _mm_add_ps(vy, _mm_mul_ps(a, ny)));
    const __m128 rz = _mm_mul_ps(bt, _mm_add_ps(vz, _mm_mul_ps(a, nz)));
    const __m128 oy = _mm_sub_ps(y, _mm_set1_ps(kBowlCentreHeight));
    const __m128 b = _mm_mul_ps(_mm_set1_ps(2.0f), Dot4(rx, ry, rz, x, oy, zs));
    const __m128 q = _mm_sub_ps(Dot4(x, oy, zs, x, oy, zs), _mm_set1_ps(kBowlRadius * kBowlRadius));
    // As std::max (value, 0): NaN stays NaN.
    const __m128 discriminant =
        _mm_max_ps(_mm_setzero_ps(), _mm_sub_ps(_mm_mul_ps(b, b), _mm_mul_ps(_mm_set1_ps(4.0f), q)));
    const __m128 depth =
        _mm_mul_ps(_mm_mul_ps(_mm_set1_ps(0.5f), _mm_sub_ps(_mm_sqrt_ps(discriminant), b)), _mm_set1_ps(terms.k));
    const __m128 shrink = _mm_set1_ps(terms.shrink), half = _mm_set1_ps(0.5f);
    const __m128 u = _mm_add_ps(
        _mm_mul_ps(shrink, _mm_mul_ps(_mm_add_ps(x, _mm_mul_ps(depth, rx)), _mm_set1_ps(terms.inverseWidth))), half);
    const __m128 v = _mm_add_ps(
        _mm_mul_ps(shrink, _mm_mul_ps(_mm_add_ps(zs, _mm_mul_ps(depth, rz)), _mm_set1_ps(terms.inverseHeight))), half);

    // Lanes to vertices: x, y, z, nx and then ny, nz, colour, u are four adjacent floats of each
    // vertex; v comes last.
    __m128 p0 = x, p1 = y, p2 = zs, p3 = nx;
    _MM_TRANSPOSE4_PS(p0, p1, p2, p3);
    __m128 q0 = ny, q1 = nz, q2 = colour, q3 = u;
    _MM_TRANSPOSE4_PS(q0, q1, q2, q3);
    _mm_storeu_ps(&out[0].x, p0);
    _mm_storeu_ps(&out[0].ny, q0);
    _mm_storeu_ps(&out[1].x, p1);
    _mm_storeu_ps(&out[1].ny, q1);
    _mm_storeu_ps(&out[2].x, p2);
    _mm_storeu_ps(&out[2].ny, q2);
    _mm_storeu_ps(&out[3].x, p3);
    _mm_storeu_ps(&out[3].ny, q3);
    alignas(16) float vs[4];
    _mm_store_ps(vs, v);
    for (int i = 0; i < 4; ++i)
        out[i].v = vs[i];
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
