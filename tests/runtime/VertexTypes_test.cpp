#include <gtest/gtest.h>

#include <d3dx9.h>

#include "runtime/VertexTypes.h"

namespace {

struct LayoutCase {
    const char* name;
    DWORD fvf;
    DWORD expectedFvf;
    size_t size;
    UINT expectedStride;
};

// The FVF code tells the device how large a vertex is; it must agree with the struct the code
// writes, or every vertex after the first is read from the wrong place.
TEST(VertexTypes, FvfCodesMatchTheStructs)
{
    const LayoutCase cases[] = {
        {"TexVertex", TexVertex::kFVF, D3DFVF_XYZ | D3DFVF_TEX1, sizeof(TexVertex), 20},
        {"TwoTexVertex", TwoTexVertex::kFVF, D3DFVF_XYZ | D3DFVF_TEX2, sizeof(TwoTexVertex), 28},
        {"PCT", DX_V::PCT::kFVF, D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1, sizeof(DX_V::PCT), 24},
        {"NormalTexVertex", NormalTexVertex::kFVF, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1,
         sizeof(NormalTexVertex), 32},
        {"ScreenColorVertex", ScreenColorVertex::kFVF, D3DFVF_XYZRHW | D3DFVF_DIFFUSE,
         sizeof(ScreenColorVertex), 20},
        {"ScreenTexVertex", ScreenTexVertex::kFVF, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1,
         sizeof(ScreenTexVertex), 28},
        {"ColorVertex", ColorVertex::kFVF, D3DFVF_XYZ | D3DFVF_DIFFUSE, sizeof(ColorVertex), 16},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.fvf, c.expectedFvf);
        EXPECT_EQ(c.size, c.expectedStride);
        EXPECT_EQ(D3DXGetFVFVertexSize(c.fvf), c.expectedStride);
    }
}

}  // namespace
