#pragma once
// Shared pieces of the sprite and effect emitter tests: the picture that emitters measure their
// rectangle in, and the base records that every emitter record ends with, queued for a
// QueuedStream.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "model/Vo_FileLink3.h"
#include "particles/sprites/Vo_BaseSpriteProp.h"
#include "runtime/PicturePlacement.h"
#include "runtime/ScreenQuad.h"
#include "support/KeptPicturePlacement.h"
#include "support/QueuedStream.h"

// The picture that layouts record process-wide; emitters read their rectangle against it.
inline void PlaceParticlePicture(int width, int height)
{
    ScreenQuad quad;
    InitScreenQuad(quad);
    SetPicturePlacement(quad, width, height, width, height, width, height);
}

// The values a test writes into a sprite record; the defaults are those an editor stores.
struct SpriteRecordValues {
    int32_t version = 7;
    float minX = 0.0f, maxX = 1.0f, minY = 0.0f, maxY = 1.0f;
    uint32_t speed = 50;
    uint32_t count = 3;
    uint32_t size = 20;
    uint32_t transparency = 10;
    int32_t additive = 1;
    int32_t colour = 0x00336699;
    float opacitySpeed = 0.5f, minOpacity = 0.25f, maxOpacity = 0.75f, minScale = 1.0f, maxScale = 2.0f;
    const wchar_t* mainPath = L"C:\\sprites\\star.png";
    int64_t mainStamp = 0x01D9000000000011;
    const wchar_t* secondPath = L"";
    uint32_t frameCount = 4;
    float frameRate = 10.0f;
    bool animated = true;
    int32_t pictureSource = 1;
    int32_t verticalMirror = 1, horizontalMirror = 1;
    int32_t refill = 1;
    uint32_t frameSpeed = 250;
};

// The placed-object record with its scene-object record and a cycling timeline.
inline void PushViewObjRecord(QueuedStream& s, const SpriteRecordValues& v)
{
    s.Push(QueuedStream::String{L"Vo_ViewObjCtrl"}).Push(QueuedStream::Int{2});
    for (int32_t edge : {0, 0, 0, 0, 0, 0})
        s.Push(QueuedStream::Long{edge});
    s.Push(QueuedStream::Float{v.minX}).Push(QueuedStream::Float{v.maxX});
    s.Push(QueuedStream::Float{v.minY}).Push(QueuedStream::Float{v.maxY});
    s.Push(QueuedStream::Bool{false}).Push(QueuedStream::UInt{v.speed});
    s.Push(QueuedStream::String{L"Vo_ABObj_Constructor"}).Push(QueuedStream::Int{2});
    s.Push(QueuedStream::String{L"Sprites"});
    s.Push(QueuedStream::String{L"Vo_TimeLineControl"}).Push(QueuedStream::Int{1});
    s.Push(QueuedStream::Long{1}).Push(QueuedStream::Long{1});
    for (uint32_t duration : {100u, 200u, 300u, 400u, 50u, 60u})
        s.Push(QueuedStream::UInt{duration});
    s.Push(QueuedStream::Int{0});
}

// The fields of a sprite record of the given version after its header.
inline void PushSpriteFields(QueuedStream& s, const SpriteRecordValues& v)
{
    PushViewObjRecord(s, v);
    s.Push(QueuedStream::UInt{v.count});
    if (v.version < 3)
        s.Push(QueuedStream::UInt{v.speed + 1});
    s.Push(QueuedStream::UInt{v.size}).Push(QueuedStream::UInt{v.transparency});
    s.Push(QueuedStream::Long{v.additive}).Push(QueuedStream::Int{v.colour});
    for (float f : {v.opacitySpeed, v.minOpacity, v.maxOpacity, v.minScale, v.maxScale})
        s.Push(QueuedStream::Float{f});
    if (v.version == 1) {
        FileBlob frame;
        const uint8_t bytes[3] = {1, 2, 3};
        frame.SetData(3, bytes);
        s.Push(QueuedStream::Int{2}).Push(QueuedStream::Blob{frame}).Push(QueuedStream::Blob{frame});
        s.Push(QueuedStream::Blob{FileBlob()});
    } else {
        s.Push(QueuedStream::String{v.mainPath}).Push(QueuedStream::Int64{v.mainStamp});
        s.Push(QueuedStream::String{v.secondPath}).Push(QueuedStream::Int64{0});
    }
    s.Push(QueuedStream::UInt{5}).Push(QueuedStream::Float{1.5f});
    s.Push(QueuedStream::UInt{v.frameCount}).Push(QueuedStream::Float{v.frameRate});
    s.Push(QueuedStream::Bool{v.animated});
    if (v.version == 1) {
        s.Push(QueuedStream::Int{2}).Push(QueuedStream::Float{0.1f}).Push(QueuedStream::Float{0.2f});
        return;
    }
    if (v.version > 3)
        s.Push(QueuedStream::Long{v.pictureSource});
    if (v.version > 4)
        s.Push(QueuedStream::Long{v.verticalMirror}).Push(QueuedStream::Long{v.horizontalMirror});
    if (v.version > 5)
        s.Push(QueuedStream::Long{v.refill});
    if (v.version > 6)
        s.Push(QueuedStream::UInt{v.frameSpeed});
}

// A whole sprite record with its header.
inline void PushSpriteRecord(QueuedStream& s, const SpriteRecordValues& v)
{
    s.Push(QueuedStream::String{L"Vo_BaseSpriteProp"}).Push(QueuedStream::Int{v.version});
    PushSpriteFields(s, v);
}

// How many rand() calls a piece of code makes: the sequence is seeded, the code runs, and the
// sequence is replayed until it meets the value that came next.
template <class Code>
int CountRandDraws(Code code)
{
    std::srand(4242);
    code();
    const int next = std::rand();
    std::srand(4242);
    for (int draws = 0; draws < 100000; ++draws) {
        if (std::rand() == next)
            return draws;
    }
    return -1;
}
