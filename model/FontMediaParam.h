#pragma once
#include <cstdint>

#include "model/MediaParam.h"
#include "model/vo_string.h"

// A font description from which the resource store makes the font. The face default survives a
// record that stores an empty face name.
class FontMediaParam : public MediaParam {
public:
    FontMediaParam() = default;
    FontMediaParam(const FontMediaParam&) = default;
    FontMediaParam& operator=(const FontMediaParam&) = default;

    int32_t Height() const { return m_height; }
    int32_t Weight() const { return m_weight; }
    int32_t Italic() const { return m_italic; }
    const vo_string& Face() const { return m_face; }
    // Direct access for the record reader.
    int32_t& Height() { return m_height; }
    int32_t& Weight() { return m_weight; }
    int32_t& Italic() { return m_italic; }
    vo_string& Face() { return m_face; }

private:
    int32_t m_height = 32;
    int32_t m_weight = 700;
    int32_t m_italic = 0;
    vo_string m_face = L"Arial";
};
