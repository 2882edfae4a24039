#pragma once
#include <memory>

#include "model/MediaParamT.h"
#include "model/MediaSpeedParam.h"
#include "model/UINTSclaleTo.h"
#include "model/Vo_IOF_Item.h"
#include "model/Vo_ImageFileLink.h"

class Vo_IOF_Virtual;

// A layer's camera. Switched on, it zooms the picture by a fixed factor and lets it sway: it
// keeps picking a random pan target within the zoomed picture's travel and eases towards it on a
// cosine curve, sometimes holding still. It also names the picture of the border quads.
class Kad_Camera : public Vo_IOF_Item {
public:
    // Pans run from -1 to 1 over the zoomed picture's travel; times are in clock seconds.
    struct SwayState {
        float startX = 0.0f;
        float targetX = 0.0f;
        float startY = 0.0f;
        float targetY = 0.0f;
        float startTime = 0.0f;
        float endTime = 0.0f;
    };

    Kad_Camera();
    Kad_Camera(const Kad_Camera&) = delete;
    Kad_Camera& operator=(const Kad_Camera&) = delete;

    // The record's fields after its class name and version.
    void LoadFields(Vo_IOF_Virtual& stream, int version);
    // Takes another camera's values, its speed clock and its sway state.
    void CopyFrom(const Kad_Camera& other);

    // Advances the sway clock to absolute time t and sets the current view's zoom and pan; a
    // camera that is off (or whose slide was never shown) leaves the view unzoomed and centred.
    void Update(float t);
    // Starts a new segment at clock time c from where the last one aimed.
    void PickSwayTarget(float c);
    // The pan at clock time c of the current segment.
    void SwayPan(float c, float& panX, float& panY) const;
    // Sway mode 1 (without notification) and a cleared sway state: the next update starts a
    // segment from pan (0, 0). Called whenever the layer's slide is shown.
    void ResetSway();

    MediaParamT<int>& On() { return m_on; }
    const MediaParamT<int>& On() const { return m_on; }
    UINTSclaleTo<float>& Zoom() { return m_zoom; }
    const UINTSclaleTo<float>& Zoom() const { return m_zoom; }
    MediaSpeedParam& SwaySpeed() { return m_swaySpeed; }
    const MediaSpeedParam& SwaySpeed() const { return m_swaySpeed; }
    MediaParamTB<int>& SwayMode() { return m_swayMode; }
    const MediaParamTB<int>& SwayMode() const { return m_swayMode; }
    Vo_ImageFileLink& BorderPictureLink() { return m_borderLink; }
    const Vo_ImageFileLink& BorderPictureLink() const { return m_borderLink; }
    const SwayState& Sway() const { return m_sway; }

private:
    MediaParamT<int> m_on;
    UINTSclaleTo<float> m_zoom;
    MediaSpeedParam m_swaySpeed;
    MediaParamTB<int> m_swayMode;
    Vo_ImageFileLink m_borderLink;
    SwayState m_sway;
};

// Reads a camera record (class name, version, fields) into a new camera with its defaults.
std::unique_ptr<Kad_Camera> ReadCameraRecord(Vo_IOF_Virtual& stream);
