#pragma once
// Shared pieces of the effect-object tests: the levels that every effect-quad record ends with,
// queued for a QueuedStream, and reading a record through its registered reader.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "model/ClassReaderRegistries.h"
#include "tests/particles/sprites/ParticleTesting.h"
#include "runtime/Vo_ABObj_Constructor.h"
#include "support/QueuedStream.h"

namespace effect_testing {

// The effect emitter's level: its link, then a whole sprite record.
inline void PushFXRecord(QueuedStream& s, const wchar_t* effectPath, int64_t effectStamp,
                         const SpriteRecordValues& sprite)
{
    s.Push(QueuedStream::String{L"Vo_FXParticleSystemCtrl"}).Push(QueuedStream::Int{1});
    s.Push(QueuedStream::String{effectPath}).Push(QueuedStream::Int64{effectStamp});
    PushSpriteRecord(s, sprite);
}

// The placed quad's level (height and width from version 2 on) and the empty level below it.
inline void PushStatBaseRecord(QueuedStream& s, int32_t version, float x, float y, uint32_t height,
                               uint32_t width, const SpriteRecordValues& sprite)
{
    s.Push(QueuedStream::String{L"Vo_StatBaseFXCtrl"}).Push(QueuedStream::Int{version});
    s.Push(QueuedStream::Float{x}).Push(QueuedStream::Float{y}).Push(QueuedStream::Float{0.0f});
    if (version >= 2)
        s.Push(QueuedStream::UInt{height}).Push(QueuedStream::UInt{width});
    s.Push(QueuedStream::String{L"Vo_BaseFXCtrl"}).Push(QueuedStream::Int{1});
    PushFXRecord(s, L"common_res.dll", 164, sprite);
}

}  // namespace effect_testing
