#pragma once
#include "model/MediaParamT.h"

class Vo_IOF_Virtual;

// A scene object's rectangle in picture coordinates, with the two further values its record
// carries: the rectangle ignores them, the objects that own one read them as their centre in
// picture pixels.
class MediaRectangle : public MediaParam {
public:
    MediaRectangle() = default;
    MediaRectangle(const MediaRectangle&) = default;
    MediaRectangle& operator=(const MediaRectangle&) = delete;

    // Left, right, top, bottom, centre x, centre y: six longs written straight into the values,
    // notifying nobody.
    void Load(Vo_IOF_Virtual& stream);
    // Takes the six values of another rectangle, notifying nobody.
    void CopyValues(const MediaRectangle& other);
    // True when the point (target pixels), mapped into the picture laid out last, lies inside the
    // rectangle, edges included. It maps through the screen view, so it is defined with the
    // picture placement in runtime/MediaRectangle_hittest.cpp.
    bool HitTest(float x, float y) const;

    MediaParamT<int>& Left() { return m_left; }
    MediaParamT<int>& Right() { return m_right; }
    MediaParamT<int>& Top() { return m_top; }
    MediaParamT<int>& Bottom() { return m_bottom; }
    MediaParamTB<int>& CenterX() { return m_centerX; }
    MediaParamTB<int>& CenterY() { return m_centerY; }
    const MediaParamT<int>& Left() const { return m_left; }
    const MediaParamT<int>& Right() const { return m_right; }
    const MediaParamT<int>& Top() const { return m_top; }
    const MediaParamT<int>& Bottom() const { return m_bottom; }
    const MediaParamTB<int>& CenterX() const { return m_centerX; }
    const MediaParamTB<int>& CenterY() const { return m_centerY; }

private:
    MediaParamT<int> m_left;
    MediaParamT<int> m_right;
    MediaParamT<int> m_top;
    MediaParamT<int> m_bottom;
    MediaParamTB<int> m_centerX;
    MediaParamTB<int> m_centerY;
};
