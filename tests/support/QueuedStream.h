#pragma once
#include <windows.h>

#include <cstdint>
#include <deque>
#include <stdexcept>
#include <string>
#include <variant>

#include "model/DataBuffer.h"
#include "model/Vo_IOF_Virtual.h"

// A stream for record tests that hands out values queued by the test, in order. A read whose
// type differs from the next queued value, or a read of an empty queue, marks the stream failed
// and leaves the destination alone, so a reader that reads fields in the wrong order shows.
class QueuedStream : public Vo_IOF_Virtual {
public:
    struct Int { int32_t v; };
    struct UInt { uint32_t v; };
    struct Long { int32_t v; };
    struct Char { uint8_t v; };
    struct Bool { bool v; };
    struct Float { float v; };
    struct Int64 { int64_t v; };
    struct Point { int32_t x, y; };
    struct String { vo_string v; };
    struct Buffer { DataBuffer v; };
    struct Blob { FileBlob v; };
    using Value = std::variant<Int, UInt, Long, Char, Bool, Float, Int64, Point, String, Buffer, Blob>;

    QueuedStream& Push(Value value)
    {
        m_values.push_back(std::move(value));
        return *this;
    }
    size_t Remaining() const { return m_values.size(); }
    bool Failed() const override { return m_failed; }

    void ReadFileBlob(FileBlob& blob) override { Take<Blob>([&](const Blob& b) { blob = b.v; }); }
    void ReadDataBuffer(DataBuffer& buffer) override { Take<Buffer>([&](const Buffer& b) { buffer = b.v; }); }
    void ReadString(vo_string& text) override
    {
        // An empty stored string leaves the destination as it was, as the real reader does.
        Take<String>([&](const String& s) { if (!s.v.empty()) text = s.v; });
    }
    void ReadInt64(int64_t& value) override { Take<Int64>([&](const Int64& v) { value = v.v; }); }
    void ReadFloat(float& value) override { Take<Float>([&](const Float& v) { value = v.v; }); }
    void ReadPoint(tagPOINT& point) override
    {
        Take<Point>([&](const Point& p) { point.x = p.x; point.y = p.y; });
    }
    void ReadInt(int32_t& value) override { Take<Int>([&](const Int& v) { value = v.v; }); }
    void ReadUInt(uint32_t& value) override { Take<UInt>([&](const UInt& v) { value = v.v; }); }
    void ReadChar(uint8_t& value) override { Take<Char>([&](const Char& v) { value = v.v; }); }
    void ReadBool(bool& value) override { Take<Bool>([&](const Bool& v) { value = v.v; }); }
    void ReadLong(int32_t& value) override { Take<Long>([&](const Long& v) { value = v.v; }); }

private:
    template <class T, class F>
    void Take(F assign)
    {
        if (m_failed || m_values.empty() || !std::holds_alternative<T>(m_values.front())) {
            m_failed = true;
            return;
        }
        assign(std::get<T>(m_values.front()));
        m_values.pop_front();
    }

    std::deque<Value> m_values;
    bool m_failed = false;
};
