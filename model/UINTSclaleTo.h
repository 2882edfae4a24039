#pragma once
// The scaled numeric parameters: a raw unsigned value as the document stores it, read by its
// owner as offset + scale x raw. UINTSclaleTo<T>, TimeParam and MediaFloat<unsigned int> share
// this file; the speed parameter with its clock is MediaSpeedParam.h.
#include "model/MediaParamT.h"

// offset + scale x raw, worked in double precision and rounded once to float.
float ScaleRawToFloat(unsigned int raw, float scale, float offset);
// offset + scale x raw, truncated toward zero to a signed 32-bit integer whose low byte is kept,
// so results outside 0 to 255 wrap (-2 gives 254). A result outside the 32-bit range, or NaN,
// gives the processor's integer-indefinite value 0x80000000 and so the byte 0.
unsigned char ScaleRawToByte(unsigned int raw, float scale, float offset);

template <class T>
T ScaleRaw(unsigned int raw, float scale, float offset);
template <>
inline float ScaleRaw<float>(unsigned int raw, float scale, float offset)
{
    return ScaleRawToFloat(raw, scale, offset);
}
template <>
inline unsigned char ScaleRaw<unsigned char>(unsigned int raw, float scale, float offset)
{
    return ScaleRawToByte(raw, scale, offset);
}

// A scaled parameter (T = float or unsigned char). It observes its own raw value through its
// control half, so the result is recomputed on change and per-frame code reads a plain field.
// Scale and offset belong to the owning class, never to a document: after changing them the
// owner calls OnParamChanged (or Rescale does both).
template <class T>
class UINTSclaleTo : public MediaParamT<unsigned int>, public MediaControlT<MediaParamT<unsigned int>> {
public:
    using RawParam = MediaParamT<unsigned int>;

    UINTSclaleTo()
    {
        Attach(this);
        OnParamChanged(nullptr);
    }
    // Scale and offset first, then the raw value through SetValue, so the copy's result is
    // computed by the copy and its own (empty) control list sees the change.
    UINTSclaleTo(const UINTSclaleTo& other)
        : RawParam(), MediaControlT<RawParam>(), m_scale(other.m_scale), m_offset(other.m_offset)
    {
        Attach(this);
        OnParamChanged(nullptr);
        SetValue(other.Value(), nullptr);
    }
    UINTSclaleTo& operator=(const UINTSclaleTo&) = delete;
    // The control half leaves its own list before the parameter part tells the remaining
    // controls to forget it.
    ~UINTSclaleTo() override
    {
        RawParam::DetachControl(this);
        m_param = nullptr;
    }

    void OnParamChanged(MediaControl*) override { m_result = ScaleRaw<T>(Value(), m_scale, m_offset); }

    T Result() const { return m_result; }
    float Scale() const { return m_scale; }
    float Offset() const { return m_offset; }
    void SetScale(float scale) { m_scale = scale; }
    void SetOffset(float offset) { m_offset = offset; }
    void Rescale(float scale, float offset)
    {
        m_scale = scale;
        m_offset = offset;
        OnParamChanged(nullptr);
    }

protected:
    T m_result = T();
    float m_scale = 1.0f;
    float m_offset = 0.0f;
};

// A duration stored in hundredths of a second and read in seconds.
class TimeParam : public UINTSclaleTo<float> {
public:
    TimeParam() { Rescale(0.01f, 0.0f); }
};

template <class T>
class MediaFloat;

// A class of its own with the bases, fields and evaluation of UINTSclaleTo<float>, scale 1 and
// offset 0.
template <>
class MediaFloat<unsigned int> : public MediaParamT<unsigned int>,
                                 public MediaControlT<MediaParamT<unsigned int>> {
public:
    using RawParam = MediaParamT<unsigned int>;

    MediaFloat()
    {
        Attach(this);
        OnParamChanged(nullptr);
    }
    MediaFloat(const MediaFloat& other)
        : RawParam(), MediaControlT<RawParam>(), m_scale(other.m_scale), m_offset(other.m_offset)
    {
        Attach(this);
        OnParamChanged(nullptr);
        SetValue(other.Value(), nullptr);
    }
    MediaFloat& operator=(const MediaFloat&) = delete;
    ~MediaFloat() override
    {
        RawParam::DetachControl(this);
        m_param = nullptr;
    }

    void OnParamChanged(MediaControl*) override { m_result = ScaleRawToFloat(Value(), m_scale, m_offset); }

    float Result() const { return m_result; }
    float Scale() const { return m_scale; }
    float Offset() const { return m_offset; }
    void SetScale(float scale) { m_scale = scale; }
    void SetOffset(float offset) { m_offset = offset; }
    void Rescale(float scale, float offset)
    {
        m_scale = scale;
        m_offset = offset;
        OnParamChanged(nullptr);
    }

protected:
    float m_result = 0.0f;
    float m_scale = 1.0f;
    float m_offset = 0.0f;
};
