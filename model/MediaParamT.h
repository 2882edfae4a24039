#pragma once
// The value parameters MediaParamTB<T> and MediaParamT<T>. The structured value types are needed
// complete here, so this header brings in the Windows point and the D3DX vector (no device
// interfaces are used).
#include <windows.h>
#include <d3dx9math.h>

#include "model/MediaParam.h"
#include "model/vo_string.h"

// The value a parameter built by default holds. D3DXVECTOR3's default constructor leaves its
// members undefined, so value-initialisation alone would not give the zero vector.
template <class T>
inline T ParamZeroValue()
{
    return T{};
}

template <>
inline D3DXVECTOR3 ParamZeroValue<D3DXVECTOR3>()
{
    return D3DXVECTOR3(0.0f, 0.0f, 0.0f);
}

// Equality that decides whether SetValue notifies. Structured values compare member by member,
// so a NaN member always counts as a change.
template <class T>
inline bool ParamValueEquals(const T& a, const T& b)
{
    return a == b;
}

inline bool ParamValueEquals(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

inline bool ParamValueEquals(const tagPOINT& a, const tagPOINT& b)
{
    return a.x == b.x && a.y == b.y;
}

// A parameter holding one value of type T.
template <class T>
class MediaParamTB : public MediaParam {
public:
    using ValueType = T;

    MediaParamTB() : m_value(ParamZeroValue<T>()) {}
    explicit MediaParamTB(const T& value) : m_value(value) {}
    // The copy takes the value, not the controls, and notifies nobody.
    MediaParamTB(const MediaParamTB& other) : MediaParam(other), m_value(other.m_value) {}
    MediaParamTB& operator=(const MediaParamTB& other)
    {
        m_value = other.m_value;
        return *this;
    }

    // Stores a different value and tells every control but the sender; an equal value changes
    // nothing and tells nobody.
    void SetValue(const T& value, MediaControl* sender = nullptr)
    {
        if (ParamValueEquals(m_value, value))
            return;
        m_value = value;
        NotifyControls(sender);
    }

    const T& Value() const { return m_value; }
    // Direct access for record readers and copies: writing through it notifies nobody.
    T& ValueRef() { return m_value; }

protected:
    T m_value;
};

// The type in which persistent classes hold their editable values; it behaves exactly as
// MediaParamTB<T>.
template <class T>
class MediaParamT : public MediaParamTB<T> {
public:
    MediaParamT() = default;
    explicit MediaParamT(const T& value) : MediaParamTB<T>(value) {}
};
