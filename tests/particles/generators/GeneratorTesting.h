#pragma once
// Helpers of the generator tests: the common record levels pushed onto a queued stream, as an
// editor stores them, and the fan of rays that one seed grows.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "particles/generators/Vo_RadialRays.h"
#include "runtime/VertexTypes.h"
#include "support/QueuedStream.h"

namespace generator_testing {

struct PictureLink {
    const wchar_t* path;
    int64_t stamp;
};

// The texture level (given version) with its pictures and colours, then the generator level and
// a version-1 scene-object record (a name only).
inline void PushTexRecord(QueuedStream& s, int32_t version, std::initializer_list<PictureLink> pictures,
                          uint32_t colour1, uint32_t transparency1, uint32_t colour2, uint32_t transparency2,
                          int32_t blendMode, int32_t verticalMirror = 0, int32_t horizontalMirror = 0)
{
    s.Push(QueuedStream::String{L"Vo_TexParticleGenerator"}).Push(QueuedStream::Int{version});
    s.Push(QueuedStream::Int{static_cast<int32_t>(pictures.size())});
    for (const PictureLink& picture : pictures)
        s.Push(QueuedStream::String{picture.path}).Push(QueuedStream::Int64{picture.stamp});
    s.Push(QueuedStream::String{L"common_res.dll"}).Push(QueuedStream::Int64{160});
    s.Push(QueuedStream::Int{static_cast<int32_t>(colour1)}).Push(QueuedStream::UInt{transparency1});
    s.Push(QueuedStream::Int{static_cast<int32_t>(colour2)}).Push(QueuedStream::UInt{transparency2});
    s.Push(QueuedStream::Long{blendMode});
    if (version >= 2)
        s.Push(QueuedStream::Long{verticalMirror}).Push(QueuedStream::Long{horizontalMirror});
    s.Push(QueuedStream::String{L"Vo_ParticleGenerator"}).Push(QueuedStream::Int{1});
    s.Push(QueuedStream::String{L"Vo_ABObj_Constructor"}).Push(QueuedStream::Int{1});
    s.Push(QueuedStream::String{L"generator"});
}

inline void PushOrigin(QueuedStream& s, float x, float y, float z = 0.0f)
{
    s.Push(QueuedStream::Float{x}).Push(QueuedStream::Float{y}).Push(QueuedStream::Float{z});
}

// The origin level with its header, then a plain texture level.
inline void PushStaticRecord(QueuedStream& s, float x, float y, int32_t texVersion = 2, int32_t verticalMirror = 0,
                             int32_t horizontalMirror = 0)
{
    s.Push(QueuedStream::String{L"Vo_StaticGenerator"}).Push(QueuedStream::Int{1});
    PushOrigin(s, x, y);
    PushTexRecord(s, texVersion, {{L"a.png", 1}}, 0x00336699, 20, 0x00FFFFFF, 0, 0, verticalMirror,
                  horizontalMirror);
}

// The fan of seed 2026 around (50, 60): three rays of length 100 and width 10 with minimum length
// raw 50 (m' = 0.5), so each ray is k = 0.5 + 0.5 x rand() / 32767 long and wide and turns the
// next by 0.5 to 1.5 regular steps (2 pi / 3), two draws a ray. Ends (from the origin) and widths
// worked out once from those steps with msvcrt's rand(); after srand(2026) and the fan the next
// draw is 22735.
inline void MakeSeededFan(Vo_RadialRays& rays)
{
    rays.Length().ValueRef() = 100;
    rays.Width().ValueRef() = 10;
    rays.Count().ValueRef() = 3;
    rays.Origin().ValueRef() = D3DXVECTOR3(50, 60, 0);
    rays.Random().ValueRef() = 1;
    rays.Seed().ValueRef() = 2026;
    rays.MinimumLength().SetValue(50);
}

inline void ExpectSeededFan(const DX_V::PCT* vertices)
{
    const struct {
        float x, y, width;
    } expected[] = {
        {60.1535f, 0.0f, 6.0154f},
        {-52.9481f, 24.2897f, 5.8254f},
        {38.7824f, -32.0372f, 5.0304f},
    };
    for (unsigned i = 0; i < 3; ++i) {
        SCOPED_TRACE("ray " + std::to_string(i));
        // The far end: the midpoint of vertices 2 and 3; the width: from vertex 0 to vertex 1.
        const DX_V::PCT* quad = vertices + 4 * i;
        EXPECT_NEAR((quad[2].x + quad[3].x) / 2 - 50, expected[i].x, 2e-3f);
        EXPECT_NEAR((quad[2].y + quad[3].y) / 2 - 60, expected[i].y, 2e-3f);
        EXPECT_NEAR(std::hypot(quad[0].x - quad[1].x, quad[0].y - quad[1].y), expected[i].width, 2e-3f);
    }
}

}  // namespace generator_testing
