#pragma once
// Helpers of the generator tests: the common record levels pushed onto a queued stream, as an
// editor stores them.
#include <cstdint>

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

}  // namespace generator_testing
