#include "lights/WaterRippleField.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

#include "lights/RefractionTable.h"

namespace {

// --- Grid size ---

TEST(WaterRippleFieldResize, GridFollowsThePictureProportionWithinSixteenBitReach)
{
    struct Case {
        const char* what;
        float width, height, rowFactor, columnFactor;
        uint32_t columns, rows;
    };
    const Case cases[] = {
        {"4:3 picture, defaults", 40.0f, 30.0f, 1.0f, 1.0f, 128, 96},
        {"square picture", 30.0f, 30.0f, 1.0f, 1.0f, 128, 128},
        {"column factor raw 100", 40.0f, 30.0f, 1.0f, 2.0f, 256, 192},
        {"row factor raw 100", 30.0f, 30.0f, 2.0f, 1.0f, 128, 256},
        // 129 columns before the lowest bit goes; the rows come from the 129.
        {"column factor raw 1, 1:2 picture", 15.0f, 30.0f, 1.0f, 1.01f, 128, 258},
        // 256 x 512 would exceed 65536 cells: fewer columns.
        {"tall picture, column factor raw 100", 15.0f, 30.0f, 1.0f, 2.0f, 128, 512},
        // Fewer than four rows keep the smallest grid's four.
        {"very wide picture", 3000.0f, 30.0f, 1.0f, 1.0f, 128, 4},
        // Rows alone beyond reach: the smallest column count and as many rows as fit.
        {"very tall picture", 0.03f, 30.0f, 1.0f, 1.0f, 4, 16384},
        {"no width", 0.0f, 30.0f, 1.0f, 1.0f, 4, 16384},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WaterRippleField field;
        field.Resize(c.width, c.height, c.rowFactor, c.columnFactor);
        EXPECT_EQ(field.Columns(), c.columns);
        EXPECT_EQ(field.Rows(), c.rows);
        EXPECT_EQ(field.CellCount(), c.columns * c.rows);
        EXPECT_LE(field.CellCount(), WaterRippleField::kMaxCells);
        EXPECT_EQ(field.VertexCount(), field.CellCount());
        EXPECT_EQ(field.IndexCount(), 2 * field.CellCount());
        EXPECT_EQ(field.Width(), c.width);
        EXPECT_EQ(field.Height(), c.height);
        ASSERT_NE(field.Cells(), nullptr);
        for (uint32_t i = 0; i < field.CellCount(); i += 97)
            EXPECT_TRUE(field.Cells()[i].height == 0.0f && field.Cells()[i].velocity == 0.0f);
    }
}

TEST(WaterRippleFieldResize, ANewFieldIsTheSmallestGridWithoutCells)
{
    WaterRippleField field;
    EXPECT_EQ(field.Columns(), 4u);
    EXPECT_EQ(field.Rows(), 4u);
    EXPECT_EQ(field.CellCount(), 16u);
    EXPECT_EQ(field.Cells(), nullptr);
    EXPECT_EQ(field.Speed(), 1.0f);
    EXPECT_EQ(field.DropDepth(), 0.5f);
    EXPECT_EQ(field.Damping(), 0.99f);
    EXPECT_EQ(field.RefractionStrength(), 0.2f);
    // Without a device no buffer is made, and saying so is all that happens.
    EXPECT_TRUE(FAILED(field.Resize(30.0f, 30.0f, 1.0f, 1.0f)));
    EXPECT_EQ(field.VertexBuffer(), nullptr);
    EXPECT_EQ(field.IndexBuffer(), nullptr);
}

// --- The triangle strip ---

// Checks a strip over a columns x rows grid: every real triangle is half of one grid quad, and
// every quad is covered by two halves that meet on a diagonal.
void ExpectStripCoversTheGrid(uint32_t columns, uint32_t rows, const std::vector<uint16_t>& indices)
{
    const uint32_t vertexCount = columns * rows;
    for (size_t i = 0; i < indices.size(); ++i)
        ASSERT_LT(indices[i], vertexCount) << "index " << i;
    // For each quad, the set of its corners that some triangle leaves out (0 top-left,
    // 1 top-right, 2 bottom-left, 3 bottom-right).
    std::vector<std::set<int>> omitted((columns - 1) * (rows - 1));
    for (size_t i = 0; i + 2 < indices.size(); ++i) {
        const uint16_t t[3] = {indices[i], indices[i + 1], indices[i + 2]};
        if (t[0] == t[1] || t[1] == t[2] || t[0] == t[2])
            continue;
        uint32_t minRow = rows, minColumn = columns, maxRow = 0, maxColumn = 0;
        for (uint16_t v : t) {
            minRow = std::min(minRow, v / columns);
            maxRow = std::max(maxRow, v / columns);
            minColumn = std::min(minColumn, v % columns);
            maxColumn = std::max(maxColumn, v % columns);
        }
        ASSERT_EQ(maxRow - minRow, 1u) << "triangle at " << i << " spans rows " << minRow << " to " << maxRow;
        ASSERT_EQ(maxColumn - minColumn, 1u) << "triangle at " << i;
        int corners = 0;
        for (uint16_t v : t)
            corners |= 1 << ((v / columns - minRow) * 2 + (v % columns - minColumn));
        const int missing = 15 & ~corners;
        omitted[minRow * (columns - 1) + minColumn].insert(missing == 1 ? 0 : missing == 2 ? 1 : missing == 4 ? 2 : 3);
    }
    for (uint32_t r = 0; r + 1 < rows; ++r)
        for (uint32_t c = 0; c + 1 < columns; ++c) {
            const std::set<int>& o = omitted[r * (columns - 1) + c];
            const bool covered = (o.count(0) && o.count(3)) || (o.count(1) && o.count(2));
            ASSERT_TRUE(covered) << "quad row " << r << " column " << c << " of " << columns << " x " << rows;
        }
}

TEST(WaterRippleFieldStrip, OneStripCoversEveryQuadWithIndicesBelowTheVertexCount)
{
    struct Size {
        uint32_t columns, rows;
    };
    for (const Size& s : {Size{4, 4}, Size{6, 4}, Size{4, 6}, Size{8, 10}, Size{12, 6}, Size{128, 96}, Size{4, 16384}}) {
        SCOPED_TRACE(testing::Message() << s.columns << " x " << s.rows);
        const uint32_t count = 2 * s.columns * s.rows;
        // One guard value past the end must stay untouched.
        std::vector<uint16_t> indices(count + 1, 0xBEEF);
        WaterRippleField::WriteRingStrip(s.columns, s.rows, indices.data(), count);
        EXPECT_EQ(indices[count], 0xBEEF);
        indices.pop_back();
        ExpectStripCoversTheGrid(s.columns, s.rows, indices);
        // It starts at the top-left corner, zigzagging along the first two rows.
        EXPECT_EQ(indices[0], 0);
        EXPECT_EQ(indices[1], s.columns);
        EXPECT_EQ(indices[2], 1);
        EXPECT_EQ(indices[3], s.columns + 1);
    }
}

TEST(WaterRippleFieldStrip, OddSidesAndShortCountsStayWithinTheBuffer)
{
    struct Case {
        uint32_t columns, rows, count;
    };
    for (const Case& c : {Case{5, 7, 70}, Case{4, 4, 10}, Case{3, 3, 18}, Case{2, 9, 36}}) {
        SCOPED_TRACE(testing::Message() << c.columns << " x " << c.rows << ", " << c.count);
        std::vector<uint16_t> indices(c.count + 1, 0xBEEF);
        WaterRippleField::WriteRingStrip(c.columns, c.rows, indices.data(), c.count);
        EXPECT_EQ(indices[c.count], 0xBEEF);
        for (uint32_t i = 0; i < c.count; ++i)
            ASSERT_LT(indices[i], c.columns * c.rows) << i;
    }
}

// --- Drops ---

// 128 x columnFactor columns, and as many rows on a square surface.
void MakeSmall(WaterRippleField& field, float columnFactor = 0.125f)
{
    field.Resize(30.0f, 30.0f, 1.0f, columnFactor);
}

TEST(WaterRippleFieldDrops, ADropPushesTheCentreAndItsNeighboursDown)
{
    WaterRippleField field;
    MakeSmall(field);
    ASSERT_EQ(field.Columns(), 16u);
    field.SetDropDepth(0.8f);
    field.AddDrop(5, 7);
    const float expected[3][3] = {{-0.05f, -0.1f, -0.05f}, {-0.1f, -0.2f, -0.1f}, {-0.05f, -0.1f, -0.05f}};
    double total = 0.0;
    for (uint32_t r = 0; r < field.Rows(); ++r)
        for (uint32_t c = 0; c < field.Columns(); ++c) {
            const WaterRippleField::Cell& cell = field.At(c, r);
            total += cell.velocity;
            EXPECT_EQ(cell.height, 0.0f);
            const bool inDrop = c >= 4 && c <= 6 && r >= 6 && r <= 8;
            EXPECT_FLOAT_EQ(cell.velocity, inDrop ? expected[r - 6][c - 4] : 0.0f) << "column " << c << " row " << r;
        }
    EXPECT_NEAR(total, -0.8, 1e-6);
    // A drop whose neighbours would leave the grid is not made.
    for (uint32_t c : {0u, 15u})
        field.AddDrop(c, 7);
    field.AddDrop(5, 0);
    field.AddDrop(5, 15);
    EXPECT_FLOAT_EQ(field.At(5, 7).velocity, -0.2f);
    EXPECT_EQ(field.At(0, 7).velocity, 0.0f);
}

// On the smallest grid the interior is 2 x 2 cells and each grid corner is the outer neighbour
// of one of them: every interior cell takes drops, and every drop lies wholly on the grid.
TEST(WaterRippleFieldDrops, RandomDropsFallOnEveryInteriorCell)
{
    WaterRippleField field;
    MakeSmall(field, 0.03125f);
    ASSERT_EQ(field.Columns(), 4u);
    ASSERT_EQ(field.Rows(), 4u);
    std::srand(7);
    const int drops = 300;
    for (int i = 0; i < drops; ++i)
        field.AddRandomDrop();
    double total = 0.0, corners = 0.0;
    for (uint32_t i = 0; i < field.CellCount(); ++i)
        total += field.Cells()[i].velocity;
    for (uint32_t c : {0u, 3u})
        for (uint32_t r : {0u, 3u}) {
            EXPECT_LT(field.At(c, r).velocity, 0.0f) << c << ", " << r;
            corners += field.At(c, r).velocity;
        }
    EXPECT_NEAR(total, -drops * field.DropDepth(), 1e-3);
    EXPECT_NEAR(corners, -drops * field.DropDepth() * 0.0625, 1e-3);
}

TEST(WaterRippleFieldDrops, AFieldWithoutCellsTakesNoDropAndDoesNotMove)
{
    WaterRippleField field;
    field.AddRandomDrop();
    field.AddDrop(1, 1);
    field.Step();
    EXPECT_TRUE(FAILED(field.Simulate(D3DXVECTOR3(0.0f, 120.0f, 0.0f))));
    EXPECT_EQ(field.Cells(), nullptr);
}

// --- Simulation ---

double HeightSum(const WaterRippleField& field)
{
    double sum = 0.0;
    for (uint32_t i = 0; i < field.CellCount(); ++i)
        sum += field.Cells()[i].height;
    return sum;
}

// One pass on the smallest grid, by hand: the heights are all 0, so each interior velocity only
// decays by the damping; the mean of (velocity + height) over the 16 cells is taken off every
// height, the border's (held at 0) included.
TEST(WaterRippleFieldSimulate, OnePassOnTheSmallestGridByHand)
{
    WaterRippleField field;
    field.Resize(30.0f, 30.0f, 1.0f, 0.03125f);
    ASSERT_EQ(field.Columns(), 4u);
    ASSERT_EQ(field.Rows(), 4u);
    field.AddDrop(1, 1);  // d = 0.5: -0.125 at (1, 1), -0.0625 at (2, 1) and (1, 2), -0.03125 at (2, 2)
    field.Step();
    const float v11 = 0.99f * -0.125f, v21 = 0.99f * -0.0625f, v22 = 0.99f * -0.03125f;
    const float mean = (v11 + 2 * v21 + v22) / 16.0f;
    EXPECT_FLOAT_EQ(field.At(1, 1).velocity, v11);
    EXPECT_FLOAT_EQ(field.At(2, 1).velocity, v21);
    EXPECT_FLOAT_EQ(field.At(1, 2).velocity, v21);
    EXPECT_FLOAT_EQ(field.At(2, 2).velocity, v22);
    EXPECT_FLOAT_EQ(field.At(1, 1).height, v11 - mean);
    EXPECT_FLOAT_EQ(field.At(2, 2).height, v22 - mean);
    // The drop's outer ring fell on the border, which is held at rest.
    EXPECT_EQ(field.At(0, 0).velocity, 0.0f);
    EXPECT_EQ(field.At(3, 1).velocity, 0.0f);
    EXPECT_FLOAT_EQ(field.At(0, 0).height, -mean);
    EXPECT_NEAR(HeightSum(field), 0.0, 1e-7);
}

TEST(WaterRippleFieldSimulate, KeepsTheLevelAndTheBorderAtRest)
{
    WaterRippleField field;
    MakeSmall(field, 0.25f);  // 32 x 32
    field.AddDrop(10, 12);
    field.AddDrop(20, 5);
    const uint32_t last = field.Columns() - 1;
    ASSERT_EQ(field.Rows() - 1, last);
    for (int frame = 0; frame < 50; ++frame) {
        field.Simulate(D3DXVECTOR3(0.0f, 120.0f, 0.0f));
        SCOPED_TRACE(frame);
        ASSERT_NEAR(HeightSum(field), 0.0, 1e-4);
        double largest = 0.0;
        for (uint32_t i = 0; i < field.CellCount(); ++i)
            largest = std::max(largest, double(std::fabs(field.Cells()[i].height)));
        ASSERT_GT(largest, 0.01);
        // The border is held still; it lies off the rest level only by the last pass's level
        // correction, one value for all of it, small beside the waves.
        const float border = field.At(0, 0).height;
        EXPECT_LT(std::fabs(border), 0.05 * largest);
        for (uint32_t i = 0; i <= last; ++i) {
            const WaterRippleField::Cell* edge[4] = {&field.At(i, 0), &field.At(i, last), &field.At(0, i), &field.At(last, i)};
            for (const WaterRippleField::Cell* cell : edge) {
                ASSERT_EQ(cell->velocity, 0.0f) << i;
                ASSERT_EQ(cell->height, border) << i;
            }
        }
    }
}

// The update treats rows and columns alike, so a drop on the diagonal spreads symmetrically
// about it.
TEST(WaterRippleFieldSimulate, ADropOnTheDiagonalSpreadsSymmetrically)
{
    WaterRippleField field;
    MakeSmall(field);
    field.AddDrop(6, 6);
    for (int pass = 0; pass < 40; ++pass)
        field.Step();
    for (uint32_t r = 0; r < field.Rows(); ++r)
        for (uint32_t c = 0; c < r; ++c)
            ASSERT_NEAR(field.At(c, r).height, field.At(r, c).height, 1e-6f) << c << ", " << r;
    // The rings have reached the far corner of the interior.
    EXPECT_NE(field.At(14, 14).height, field.At(0, 0).height);
}

TEST(WaterRippleFieldSimulate, DampingDecidesHowLongTheRingsLast)
{
    auto energyAfter = [](float damping) {
        WaterRippleField field;
        MakeSmall(field);
        field.SetDamping(damping);
        field.AddDrop(7, 7);
        for (int pass = 0; pass < 400; ++pass)
            field.Step();
        double energy = 0.0;
        for (uint32_t i = 0; i < field.CellCount(); ++i)
            energy += field.Cells()[i].velocity * field.Cells()[i].velocity;
        return energy;
    };
    const double calm = energyAfter(0.9f), lively = energyAfter(0.999f);
    EXPECT_LT(calm, 1e-12);
    EXPECT_GT(lively, 1e-6);
}

// The passes as the surface is described, in double precision, one cell at a time.
void ReferencePass(std::vector<double>& height, std::vector<double>& velocity, uint32_t columns, uint32_t rows,
                   double damping, double speed)
{
    auto at = [&](uint32_t c, uint32_t r) { return r * columns + c; };
    for (uint32_t r = 0; r < rows; ++r)
        for (uint32_t c = 0; c < columns; ++c)
            if (r == 0 || c == 0 || r + 1 == rows || c + 1 == columns)
                height[at(c, r)] = velocity[at(c, r)] = 0.0;
    double sum = 0.0;
    for (uint32_t r = 1; r + 1 < rows; ++r)
        for (uint32_t c = 1; c + 1 < columns; ++c) {
            const uint32_t i = at(c, r);
            const double corners = height[at(c - 1, r - 1)] + height[at(c + 1, r - 1)] + height[at(c - 1, r + 1)] +
                                   height[at(c + 1, r + 1)];
            const double edges = height[at(c, r - 1)] + height[at(c, r + 1)] + height[at(c - 1, r)] + height[at(c + 1, r)];
            velocity[i] = 0.25 * (corners / 12 + edges / 6 - height[i]) + damping * velocity[i];
            sum += velocity[i] + height[i];
        }
    const double mean = sum / (columns * rows);
    for (size_t i = 0; i < height.size(); ++i)
        height[i] += velocity[i] * speed - mean;
}

// Grids whose interior is no whole number of fours wide, with ripples up to the right edge.
TEST(WaterRippleFieldSimulate, EveryCellFollowsTheDescribedPasses)
{
    struct Case {
        float width, height, columnFactor;
    };
    // 20 x 14, 16 x 16 and 8 x 10 cells.
    const Case cases[] = {{40.0f, 30.0f, 0.15625f}, {30.0f, 30.0f, 0.125f}, {30.0f, 40.0f, 0.0625f}};
    for (const Case& k : cases) {
        WaterRippleField field;
        field.Resize(k.width, k.height, 1.0f, k.columnFactor);
        const uint32_t columns = field.Columns(), rows = field.Rows();
        SCOPED_TRACE(testing::Message() << columns << " x " << rows);
        ASSERT_NE((columns - 2) % 4, 0u);
        field.SetSpeed(1.3f);
        field.SetDamping(0.995f);
        field.AddDrop(columns - 2, rows / 2);
        field.AddDrop(1, 1);
        field.AddDrop(columns / 2, rows - 2);
        std::vector<double> height(field.CellCount()), velocity(field.CellCount());
        for (uint32_t i = 0; i < field.CellCount(); ++i) {
            height[i] = field.Cells()[i].height;
            velocity[i] = field.Cells()[i].velocity;
        }
        for (int pass = 0; pass < 30; ++pass) {
            field.Step();
            ReferencePass(height, velocity, columns, rows, field.Damping(), field.Speed());
        }
        double largest = 0.0;
        for (uint32_t i = 0; i < field.CellCount(); ++i) {
            const WaterRippleField::Cell& cell = field.Cells()[i];
            largest = std::max(largest, std::fabs(height[i]));
            ASSERT_NEAR(cell.height, height[i], 2e-6) << "cell " << i % columns << ", " << i / columns;
            ASSERT_NEAR(cell.velocity, velocity[i], 2e-6) << "cell " << i % columns << ", " << i / columns;
        }
        EXPECT_GT(largest, 1e-3);
    }
}

// --- Vertices ---

// One vertex worked out from the surface's description, in double precision.
WaterVertex Worked(const WaterRippleField& field, uint32_t c, uint32_t r, double eyeHeight)
{
    const uint32_t columns = field.Columns(), rows = field.Rows();
    auto h = [&](int cc, int rr) {
        cc = (cc + int(columns)) % int(columns);
        rr = (rr + int(rows)) % int(rows);
        return double(field.At(uint32_t(cc), uint32_t(rr)).height);
    };
    const double w = field.Width(), hh = field.Height(), k = field.RefractionStrength();
    const double x = -w / 2 + c * w / (columns - 1), z = -hh / 2 + r * hh / (rows - 1), y = h(c, r);
    const int ci = int(c), ri = int(r);
    double gx = (h(ci - 1, ri - 1) + h(ci - 1, ri) + h(ci - 1, ri + 1)) - (h(ci + 1, ri - 1) + h(ci + 1, ri) + h(ci + 1, ri + 1));
    double gz = (h(ci - 1, ri - 1) + h(ci, ri - 1) + h(ci + 1, ri - 1)) - (h(ci - 1, ri + 1) + h(ci, ri + 1) + h(ci + 1, ri + 1));
    double n[3] = {gx, 1.0, gz};
    double nl = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    for (double& e : n)
        e /= nl;
    double v[3] = {-x, eyeHeight - y, -z};
    double vl = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    for (double& e : v)
        e /= vl;
    const double cosine = v[0] * n[0] + v[1] * n[1] + v[2] * n[2];
    const int i = std::min(255, std::max(0, int(std::nearbyint(255.0 * cosine))));
    const double cosI = i / 256.0, sinI = std::sqrt(1 - cosI * cosI), sinT = sinI / 1.333;
    const double a = sinI / sinT * std::sqrt(1 - sinT * sinT) - cosI, b = -sinT / sinI;
    double d[3];
    for (int j = 0; j < 3; ++j)
        d[j] = b * (v[j] + a * n[j]);
    const double o[3] = {x, y - 20.0, z};
    const double bb = 2 * (d[0] * o[0] + d[1] * o[1] + d[2] * o[2]);
    const double q = o[0] * o[0] + o[1] * o[1] + o[2] * o[2] - 35.0 * 35.0;
    const double s = (std::sqrt(std::max(bb * bb - 4 * q, 0.0)) - bb) / 2 * k;
    WaterVertex out;
    out.x = float(x), out.y = float(y), out.z = float(z);
    out.nx = float(n[0]), out.ny = float(n[1]), out.nz = float(n[2]);
    const uint32_t opening = uint32_t(255 - i);
    out.colour = (opening * opening * opening / 65536) << 24;
    out.u = float((1 - 0.05 * k) * ((x + s * d[0]) / w) + 0.5);
    out.v = float((1 - 0.05 * k) * ((z + s * d[2]) / hh) + 0.5);
    return out;
}

void ExpectVerticesAsWorked(const WaterRippleField& field, const std::vector<WaterVertex>& vertices)
{
    for (uint32_t r = 0; r < field.Rows(); r += 3)
        for (uint32_t c = 0; c < field.Columns(); c += 3) {
            SCOPED_TRACE(testing::Message() << "column " << c << " row " << r);
            const WaterVertex& got = vertices[r * field.Columns() + c];
            const WaterVertex want = Worked(field, c, r, 120.0);
            // Positions far from the centre carry float's relative precision.
            const float reach = 1e-4f + 1e-6f * field.Width();
            EXPECT_NEAR(got.x, want.x, reach);
            EXPECT_NEAR(got.y, want.y, 1e-6f);
            EXPECT_NEAR(got.z, want.z, 1e-4f);
            EXPECT_NEAR(got.nx, want.nx, 1e-5f);
            EXPECT_NEAR(got.ny, want.ny, 1e-5f);
            EXPECT_NEAR(got.nz, want.nz, 1e-5f);
            EXPECT_EQ(got.colour, want.colour);
            EXPECT_NEAR(got.u, want.u, 2e-5f);
            EXPECT_NEAR(got.v, want.v, 2e-5f);
        }
}

TEST(WaterRippleFieldVertices, AFlatSurfaceShowsThePictureBarelyShrunk)
{
    WaterRippleField field;
    field.BuildRefractionTable();
    ASSERT_NE(field.Refraction(), nullptr);
    field.Resize(40.0f, 30.0f, 1.0f, 0.125f);
    std::vector<WaterVertex> vertices(field.VertexCount());
    field.WriteVertices(vertices.data(), D3DXVECTOR3(0.0f, 120.0f, 0.0f));
    ExpectVerticesAsWorked(field, vertices);
    // Corners at the surface's corners; with k = 0.2 the picture is shrunk by 1 % about its
    // centre, and the refraction moves the corners a little outwards.
    const WaterVertex& first = vertices.front();
    EXPECT_FLOAT_EQ(first.x, -20.0f);
    EXPECT_FLOAT_EQ(first.z, -15.0f);
    EXPECT_EQ(first.ny, 1.0f);
    EXPECT_NEAR(first.u, 0.005f, 0.01f);
    EXPECT_NEAR(first.v, 0.005f, 0.01f);
    const WaterVertex& last = vertices.back();
    EXPECT_FLOAT_EQ(last.x, 20.0f);
    EXPECT_FLOAT_EQ(last.z, 15.0f);
    EXPECT_NEAR(last.u, 0.995f, 0.01f);
    EXPECT_NEAR(last.v, 0.995f, 0.01f);
}

TEST(WaterRippleFieldVertices, RipplesTiltTheNormalsAndBendTheCoordinates)
{
    WaterRippleField field;
    field.BuildRefractionTable();
    field.Resize(30.0f, 30.0f, 1.0f, 0.125f);
    field.SetRefractionStrength(3.0f);
    field.AddDrop(5, 9);
    field.AddDrop(11, 4);
    for (int pass = 0; pass < 12; ++pass)
        field.Step();
    std::vector<WaterVertex> vertices(field.VertexCount());
    field.WriteVertices(vertices.data(), D3DXVECTOR3(0.0f, 120.0f, 0.0f));
    ExpectVerticesAsWorked(field, vertices);
}

TEST(WaterRippleFieldVertices, RaysThatMissTheBowlStayFinite)
{
    WaterRippleField field;
    field.BuildRefractionTable();
    // A very wide picture: the far corners lie hundreds of units beyond the bowl.
    field.Resize(3000.0f, 30.0f, 1.0f, 1.0f);
    field.AddDrop(2, 1);
    field.Step();
    std::vector<WaterVertex> vertices(field.VertexCount());
    field.WriteVertices(vertices.data(), D3DXVECTOR3(0.0f, 120.0f, 0.0f));
    for (const WaterVertex& v : vertices) {
        ASSERT_TRUE(std::isfinite(v.u) && std::isfinite(v.v)) << v.x << ", " << v.z;
        ASSERT_TRUE(std::isfinite(v.nx) && std::isfinite(v.ny) && std::isfinite(v.nz));
    }
    ExpectVerticesAsWorked(field, vertices);
}

}  // namespace
