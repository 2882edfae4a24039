#include "runtime/Kad_Camera.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "model/Vo_IOF_Virtual.h"
#include "runtime/CurrentScreenView.h"
#include "runtime/ScreenView.h"

namespace {

const unsigned kDefaultZoomRaw = 120;      // x 0.01: zoom 1.2
const unsigned kDefaultSpeedRaw = 50;      // x 0.02: speed 1.0
const int32_t kDefaultBorderPictureId = 6;

// A raw value read from a record: observers hear of it only when it differs, so the scaled
// value follows.
void LoadRaw(Vo_IOF_Virtual& stream, MediaParamT<unsigned int>& param)
{
    uint32_t raw = param.Value();
    stream.ReadUInt(raw);
    if (raw != param.Value())
        param.SetValue(raw, nullptr);
}

// A value in 0..2 from the process's random sequence, then shifted to -1..1.
float RandomPan()
{
    return static_cast<float>(std::rand() / 32767.0 * 2.0) - 1.0f;
}

}  // namespace

Kad_Camera::Kad_Camera() : m_borderLink(kDefaultBorderPictureId, L"common_res.dll")
{
    m_zoom.Rescale(0.01f, 0.0f);
    m_zoom.SetValue(kDefaultZoomRaw, nullptr);
    m_swaySpeed.Rescale(0.02f, 0.0f);
    m_swaySpeed.SetValue(kDefaultSpeedRaw, nullptr);
}

void Kad_Camera::LoadFields(Vo_IOF_Virtual& stream, int version)
{
    int32_t on = m_on.Value();
    stream.ReadLong(on);
    m_on.ValueRef() = on;
    LoadRaw(stream, m_zoom);
    LoadRaw(stream, m_swaySpeed);
    if (version >= 2)
        ReadFileLink(stream, m_borderLink);
}

void Kad_Camera::CopyFrom(const Kad_Camera& other)
{
    m_on.ValueRef() = other.m_on.Value();
    m_zoom.Rescale(other.m_zoom.Scale(), other.m_zoom.Offset());
    m_zoom.SetValue(other.m_zoom.Value(), nullptr);
    m_swaySpeed.Rescale(other.m_swaySpeed.Scale(), other.m_swaySpeed.Offset());
    m_swaySpeed.SetValue(other.m_swaySpeed.Value(), nullptr);
    m_swaySpeed.CopyClock(other.m_swaySpeed);
    m_swayMode.ValueRef() = other.m_swayMode.Value();
    m_borderLink.Assign(other.m_borderLink.GetPath(), other.m_borderLink.GetKey().Stamp());
    m_sway = other.m_sway;
}

void Kad_Camera::Update(float t)
{
    m_swaySpeed.Advance(t);
    const float c = m_swaySpeed.Accumulated();
    float zoom = 1.0f, panX = 0.0f, panY = 0.0f;
    if (m_on.Value() != 0 && m_swayMode.Value() == 1) {
        if (c >= m_sway.endTime)
            PickSwayTarget(c);
        zoom = m_zoom.Result();
        SwayPan(c, panX, panY);
    }
    if (CurrentScreenView)
        CurrentScreenView->ZoomPan(zoom, panX, panY);
}

void Kad_Camera::PickSwayTarget(float c)
{
    m_sway.startTime = c;
    m_sway.startX = m_sway.targetX;
    m_sway.startY = m_sway.targetY;
    if (std::rand() % 2 == 0) {
        // Hold: the target stays, so the picture rests for half a clock second.
        m_sway.endTime = c + 0.5f;
        return;
    }
    m_sway.targetX = RandomPan();
    m_sway.targetY = RandomPan();
    const float length = static_cast<float>(static_cast<float>(std::rand() / 32767.0 * 2.0) + 5.0f);
    m_sway.endTime = length + c;
}

void Kad_Camera::SwayPan(float c, float& panX, float& panY) const
{
    const float duration = m_sway.endTime - m_sway.startTime;
    // A segment without length has no curve to follow: stay at its start.
    float u = 0.0f;
    if (duration > 0.0f) {
        const float angle = static_cast<float>((c - m_sway.startTime) * 3.1415927 / duration);
        u = static_cast<float>((1.0 - std::cos(angle)) * 0.5);
    }
    panX = m_sway.startX + u * (m_sway.targetX - m_sway.startX);
    panY = m_sway.startY + u * (m_sway.targetY - m_sway.startY);
}

void Kad_Camera::ResetSway()
{
    m_swayMode.ValueRef() = 1;
    m_sway = SwayState();
}

std::unique_ptr<Kad_Camera> ReadCameraRecord(Vo_IOF_Virtual& stream)
{
    vo_string className;
    int32_t version = 0;
    stream.ReadString(className);
    stream.ReadInt(version);
    auto camera = std::make_unique<Kad_Camera>();
    camera->LoadFields(stream, version);
    return camera;
}
