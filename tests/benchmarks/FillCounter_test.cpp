// The device's own pixel count, which the benchmark's fill figures rest on, checked against quads
// whose pixel count is known: llvmpipe counts each covered pixel once per draw, clipped to the
// target, overdraw included.
#include "benchmarks/FillCounter.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <d3d9.h>

#include <ostream>
#include <vector>

#include "support/DeviceFixture.h"

namespace {

struct ScreenVertex {
    float x, y, z, rhw;
    DWORD colour;
};

// Pixel edges in target pixels: the quad covers columns left..right-1 and rows top..bottom-1.
struct PixelQuad {
    float left, top, right, bottom;
};

struct FillCase {
    const char* name;
    std::vector<PixelQuad> quads;
    uint64_t pixels;
};

void PrintTo(const FillCase& c, std::ostream* out) { *out << c.name; }

class FillCounterTest : public DeviceFixture, public testing::WithParamInterface<FillCase> {
protected:
    void Draw(const PixelQuad& q)
    {
        // Direct3D 9 samples pixel centres at whole coordinates: edges lie half a pixel before.
        const float l = q.left - 0.5f, t = q.top - 0.5f, r = q.right - 0.5f, b = q.bottom - 0.5f;
        const ScreenVertex strip[4] = {{l, t, 0.5f, 1.0f, 0xFFFFFFFF}, {r, t, 0.5f, 1.0f, 0xFFFFFFFF},
                                       {l, b, 0.5f, 1.0f, 0xFFFFFFFF}, {r, b, 0.5f, 1.0f, 0xFFFFFFFF}};
        Device()->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, strip, sizeof(ScreenVertex));
    }
};

TEST_P(FillCounterTest, CountsThePixelsOfKnownQuads)
{
    const FillCase& c = GetParam();
    FillCounter counter;
    ASSERT_TRUE(counter.Create(Device()));
    Device()->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
    Device()->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    Device()->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    Device()->SetRenderState(D3DRS_LIGHTING, FALSE);
    ASSERT_TRUE(SUCCEEDED(Device()->BeginScene()));
    counter.Begin();
    for (const PixelQuad& q : c.quads)
        Draw(q);
    const uint64_t counted = counter.End();
    Device()->EndScene();
    EXPECT_EQ(counted, c.pixels);
}

const FillCase kCases[] = {
    {"Rectangle", {{10, 20, 30, 30}}, 20 * 10},
    {"WholeTarget", {{0, 0, 64, 64}}, 64 * 64},
    {"ClippedAtTheCorner", {{-10, -10, 10, 10}}, 10 * 10},
    {"OverdrawCountsTwice", {{0, 0, 64, 64}, {10, 20, 30, 30}}, 64 * 64 + 20 * 10},
    {"NothingDrawn", {}, 0},
};

INSTANTIATE_TEST_SUITE_P(Quads, FillCounterTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<FillCase>& info) { return std::string(info.param.name); });

}  // namespace
