#include "particles/sprites/Vo_BoundControl.h"

#include "model/NumericFunctions.h"
#include "model/Vo_IOF_Virtual.h"
#include "particles/sprites/SpriteParticle.h"
#include "particles/sprites/Vo_BaseSpriteProp.h"

void Vo_BoundControl::CreateEdgeTests(int edge)
{
    m_edge = edge;
    switch (edge) {
    case kTop:
        m_outTest = &IsParticleOutTop;
        m_touchingTest = &IsParticleTouchingTop;
        break;
    case kBottom:
        m_outTest = &IsParticleOutBottom;
        m_touchingTest = &IsParticleTouchingBottom;
        break;
    case kLeft:
        m_outTest = &IsParticleOutLeft;
        m_touchingTest = &IsParticleTouchingLeft;
        break;
    case kRight:
        m_outTest = &IsParticleOutRight;
        m_touchingTest = &IsParticleTouchingRight;
        break;
    default:
        m_edge = -1;
        m_outTest = nullptr;
        m_touchingTest = nullptr;
        break;
    }
}

void Vo_BoundControl::CopyValues(const Vo_BoundControl& other)
{
    m_mode.ValueRef() = other.m_mode.Value();
    m_fadeOut.ValueRef() = other.m_fadeOut.Value();
    m_fadeIn.ValueRef() = other.m_fadeIn.Value();
    m_minPause.ValueRef() = other.m_minPause.Value();
    m_maxPause.ValueRef() = other.m_maxPause.Value();
}

void Vo_BoundControl::LoadFields(Vo_IOF_Virtual& stream, int32_t)
{
    stream.ReadLong(m_mode.ValueRef());
    stream.ReadUInt(m_fadeOut.ValueRef());
    stream.ReadUInt(m_fadeIn.ValueRef());
    stream.ReadUInt(m_minPause.ValueRef());
    stream.ReadUInt(m_maxPause.ValueRef());
}

bool Vo_BoundControl::Apply(SpriteParticle& p, Vo_BaseSpriteProp& emitter)
{
    if (p.edgeState != -1)
        return p.edgeState == m_edge && Continue(p, emitter);
    switch (m_mode.Value()) {
    case kWrap:
        return Wrap(p, emitter);
    case kBounce:
        return Bounce(p, emitter);
    case kBounceWithPause:
        return BounceWithPause(p, emitter);
    default:
        return false;
    }
}

bool Vo_BoundControl::Wrap(SpriteParticle& p, Vo_BaseSpriteProp& emitter)
{
    if (!IsOut(p, emitter))
        return false;
    p.edgeState = m_edge;
    // A visible particle fades out first; an invisible one comes back through the opposite
    // edge, placed just outside it, and waits there for its pause to end.
    if (p.opacity > 0.0f)
        return true;
    ReturnAtOppositeEdge(p, emitter);
    return true;
}

void Vo_BoundControl::ReturnAtOppositeEdge(SpriteParticle& p, const Vo_BaseSpriteProp& emitter) const
{
    switch (m_edge) {
    case kTop:
        p.position.y = emitter.BottomEdge() + p.halfHeight - 1.0f;
        p.position.x = RandomBetween(emitter.LeftEdge(), emitter.RightEdge());
        break;
    case kBottom:
        p.position.y = emitter.TopEdge() - p.halfHeight + 1.0f;
        p.position.x = RandomBetween(emitter.LeftEdge(), emitter.RightEdge());
        break;
    case kLeft:
        p.position.x = emitter.RightEdge() + p.halfWidth - 1.0f;
        p.position.y = RandomBetween(emitter.TopEdge(), emitter.BottomEdge());
        break;
    case kRight:
        p.position.x = emitter.LeftEdge() - p.halfWidth + 1.0f;
        p.position.y = RandomBetween(emitter.TopEdge(), emitter.BottomEdge());
        break;
    }
    p.entering = 1;
}

bool Vo_BoundControl::Bounce(SpriteParticle& p, Vo_BaseSpriteProp& emitter)
{
    if (!IsTouching(p, emitter))
        return false;
    TurnBack(p);
    p.edgeState = m_edge;
    return true;
}

bool Vo_BoundControl::BounceWithPause(SpriteParticle& p, Vo_BaseSpriteProp& emitter)
{
    if (!IsOut(p, emitter))
        return false;
    TurnBack(p);
    StartPause(p, emitter);
    p.edgeState = m_edge;
    return true;
}

bool Vo_BoundControl::Continue(SpriteParticle& p, Vo_BaseSpriteProp& emitter)
{
    switch (m_mode.Value()) {
    case kWrap:
        ContinueWrap(p, emitter);
        break;
    case kBounce:
        ContinueBounce(p, emitter);
        break;
    case kBounceWithPause:
        ContinueBounceWithPause(p, emitter);
        break;
    default:
        // The mode changed while the control held the particle: it lets go.
        p.edgeState = -1;
        p.entering = 0;
        p.paused = 0;
        break;
    }
    return true;
}

void Vo_BoundControl::ContinueWrap(SpriteParticle& p, Vo_BaseSpriteProp& emitter)
{
    const float step = emitter.ScaledStep();
    if (!p.entering) {
        if (p.opacity <= 0.0f) {
            // Faded out: it waits, let go; the next frame finds it outside and brings it back.
            StartPause(p, emitter);
            if (IsOut(p, emitter)) {
                p.edgeState = -1;
                return;
            }
            // It drifted back over the edge while it faded, where nothing would ever bring it
            // back: it returns through the opposite edge now, unseen, and waits there instead.
            ReturnAtOppositeEdge(p, emitter);
            return;
        }
        // A fade time of 0 acts at once.
        const unsigned int fadeOut = m_fadeOut.Value();
        p.opacity = fadeOut == 0 ? 0.0f : p.opacity - step * 1000.0f / float(fadeOut);
        if (p.opacity < 0.0f)
            p.opacity = 0.0f;
        return;
    }
    p.pauseTimer += step;
    if (!(p.resumeTime < p.pauseTimer))
        return;
    p.paused = 0;
    if (p.opacity < 1.0f) {
        const unsigned int fadeIn = m_fadeIn.Value();
        p.opacity = fadeIn == 0 ? 1.0f : p.opacity + step * 1000.0f / float(fadeIn);
        if (p.opacity > 1.0f)
            p.opacity = 1.0f;
    } else {
        p.edgeState = -1;
        p.entering = 0;
    }
}

void Vo_BoundControl::ContinueBounce(SpriteParticle& p, Vo_BaseSpriteProp& emitter)
{
    // Held a pixel inside, so that the sprite stops touching the edge and is let go.
    if (IsHorizontalEdge()) {
        if (p.position.y > emitter.BottomEdge() - p.halfHeight)
            p.position.y = emitter.BottomEdge() - p.halfHeight - 1.0f;
        if (p.position.y < emitter.TopEdge() + p.halfHeight)
            p.position.y = emitter.TopEdge() + p.halfHeight + 1.0f;
    } else {
        if (p.position.x > emitter.RightEdge() - p.halfWidth)
            p.position.x = emitter.RightEdge() - p.halfWidth - 1.0f;
        if (p.position.x < emitter.LeftEdge() + p.halfWidth)
            p.position.x = emitter.LeftEdge() + p.halfWidth + 1.0f;
    }
    if (!IsTouching(p, emitter))
        p.edgeState = -1;
}

void Vo_BoundControl::ContinueBounceWithPause(SpriteParticle& p, Vo_BaseSpriteProp& emitter)
{
    // Held at most just outside, so that it is back over the edge when the pause ends.
    if (IsHorizontalEdge()) {
        if (p.position.y > emitter.BottomEdge() + p.halfHeight)
            p.position.y = emitter.BottomEdge() + p.halfHeight - 1.0f;
        if (p.position.y < emitter.TopEdge() - p.halfHeight)
            p.position.y = emitter.TopEdge() - p.halfHeight + 1.0f;
    } else {
        if (p.position.x > emitter.RightEdge() + p.halfWidth)
            p.position.x = emitter.RightEdge() + p.halfWidth - 1.0f;
        if (p.position.x < emitter.LeftEdge() - p.halfWidth)
            p.position.x = emitter.LeftEdge() - p.halfWidth + 1.0f;
    }
    p.pauseTimer += emitter.ScaledStep();
    if (p.resumeTime < p.pauseTimer) {
        p.paused = 0;
        if (!IsOut(p, emitter))
            p.edgeState = -1;
    }
}

void Vo_BoundControl::StartPause(SpriteParticle& p, const Vo_BaseSpriteProp& emitter) const
{
    // A maximum below the minimum still gives a pause between the two.
    const float pause = RandomBetween(float(m_minPause.Value()) / 1000.0f, float(m_maxPause.Value()) / 1000.0f);
    p.resumeTime = emitter.AccumulatedTime() + pause;
    p.paused = 1;
    p.pauseTimer = emitter.AccumulatedTime();
}

void Vo_BoundControl::TurnBack(SpriteParticle& p) const
{
    if (IsHorizontalEdge())
        p.direction.y = -p.direction.y;
    else
        p.direction.x = -p.direction.x;
}
