#include "objects3d/Vo_SreamAnim.h"

#include <cmath>
#include <cstdlib>

#include "model/NumericFunctions.h"
#include "objects3d/LeafAnimationClock.h"
#include "objects3d/StreamParams.h"
#include "runtime/PicturePlacement.h"

namespace {

const float kMaxStep = 0.2f;

float PictureWidth()
{
    return float(GetPicturePlacement().pictureWidth);
}

float PictureHeight()
{
    return float(GetPicturePlacement().pictureHeight);
}

float UnitRandom()
{
    return float(std::rand()) / 32767.0f;
}

}  // namespace

Vo_SreamAnim::Vo_SreamAnim(const StreamParams* params) : m_params(params)
{
    const float x = RandomBetween(0.0f, PictureWidth());
    const float y = RandomBetween(0.0f, PictureHeight());
    D3DXMatrixTranslation(&m_position, x, y, 0.0f);
    m_lateral = 2.0f * UnitRandom() - 1.0f;
    m_speedFactor = 0.07f + UnitRandom() * 0.06f;
}

void Vo_SreamAnim::SetPosition(float x, float y)
{
    m_position._41 = x;
    m_position._42 = y;
}

void Vo_SreamAnim::Apply(Vo_Frame&)
{
    const float clock = LeafAnimationClock;
    m_dt = std::fabs(clock - m_lastClock);
    if (!(m_dt <= kMaxStep))  // NaN too
        m_dt = kMaxStep;
    m_lastClock = clock;

    const StreamParams& p = *m_params;
    const float width = PictureWidth();
    const float height = PictureHeight();
    const float half = float(p.size.Value()) * 0.5f;
    const float k = float(p.sway.Value()) * 0.02f * m_lateral;
    const float mx = p.direction.direction.x + p.direction.side.x * k;
    const float my = p.direction.direction.y + p.direction.side.y * k;
    const float v = float(p.speed.Value()) * m_speedFactor * m_dt * 50.0f;
    const float stepX = v * mx;
    const float stepY = v * my;

    float& x = m_position._41;
    float& y = m_position._42;
    // A copy that has left the picture comes back in at the opposite edge; it is not moved
    // further in that frame.
    if (stepY > 0.0f && y > height + half) {
        x = RandomBetween(0.0f, width);
        y = -half;
    } else if (stepY < 0.0f && y < -half) {
        x = RandomBetween(0.0f, width);
        y = height + half;
    } else if (stepX > 0.0f && x > width + half) {
        x = -half;
        y = RandomBetween(0.0f, height);
    } else if (stepX < 0.0f && x < -half) {
        x = width + half;
        y = RandomBetween(0.0f, height);
    } else {
        x += stepX;
        y += stepY;
    }

    // Now and then the sway may change sides.
    const unsigned int turnRate = p.turnRate.Value();
    if (turnRate != 0 && (clock - m_lastSwayPick) * float(p.speed.Value()) * 0.1f > 100.0f / float(turnRate)) {
        m_lastSwayPick = clock;
        if (std::rand() % 2)
            m_lateral = RandomBetween(-1.0f, 1.0f);
    }
}
