#include "particles/sprites/SpriteParticle.h"

#include <cmath>
#include <cstdlib>

#include "model/NumericFunctions.h"
#include "particles/sprites/Vo_BaseSpriteProp.h"

void InitSpriteParticle(SpriteParticle& p, const Vo_BaseSpriteProp& emitter)
{
    p.direction = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    p.velocity = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    p.aspect = emitter.MainFrameAspect();
    p.right = D3DXVECTOR3(1.0f, 0.0f, 0.0f);
    p.up = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
    p.position = D3DXVECTOR3(100.0f, 100.0f, 0.0f);
    p.scale = RandomBetween(emitter.MinScale(), emitter.MaxScale());
    SetSpriteParticleHalfSize(float(emitter.SpriteSize().Value()), p);
    p.vStart = 0.0f;
    p.vEnd = 1.0f;
    p.uStart = 0.0f;
    p.uEnd = 1.0f;
}

void ResetSpriteParticle(SpriteParticle& p, const Vo_BaseSpriteProp& emitter)
{
    p.resumeTime = 0.0f;
    p.pauseTimer = 0.0f;
    p.delay = 0.0f;
    p.entering = 0;
    p.timer = 0.0f;
    p.paused = 0;
    p.edgeState = -1;
    p.opacity = 1.0f;
    p.opacitySpeed = emitter.OpacitySpeed();
    const int coin = std::rand();
    if (coin & 1)
        p.opacitySpeed = -p.opacitySpeed;
    UpdateSpriteParticleColor(emitter, p);
}

void ClearSpriteParticleTimers(SpriteParticle& p)
{
    p.resumeTime = 0.0f;
    p.pauseTimer = 0.0f;
    p.delay = 0.0f;
    p.timer = 0.0f;
}

void SetSpriteParticleHalfSize(float size, SpriteParticle& p)
{
    const float c = p.scale * size * 0.5f;
    if (p.aspect < 1.0f) {
        p.halfWidth = c;
        p.halfHeight = p.aspect * c;
    } else {
        p.halfHeight = c;
        p.halfWidth = c / p.aspect;
    }
}

D3DXVECTOR3 GetSpriteParticleCorner(const SpriteParticle& p)
{
    return p.position - p.halfWidth * p.right - p.halfHeight * p.up;
}

void UpdateSpriteParticleBlink(SpriteParticle& p, Vo_BaseSpriteProp& emitter, bool respawn)
{
    p.opacity += emitter.ScaledStep() * p.opacitySpeed;
    if (p.opacity < emitter.MinOpacity()) {
        if (respawn)
            emitter.SpawnParticle(p);
        p.opacity = emitter.MinOpacity();
        p.opacitySpeed = -p.opacitySpeed;
    } else if (p.opacity > emitter.MaxOpacity()) {
        p.opacity = emitter.MaxOpacity();
        p.opacitySpeed = -p.opacitySpeed;
    }
}

void UpdateSpriteParticleColor(const Vo_BaseSpriteProp& emitter, SpriteParticle& p)
{
    float alpha = float(emitter.AlphaByte()) * p.opacity;
    // Opacities outside 0..1 from a document hold the byte to its range; NaN counts as 0.
    if (!(alpha > 0.0f))
        alpha = 0.0f;
    if (alpha > 255.0f)
        alpha = 255.0f;
    p.color = ColorToVertex(emitter.Colour().Value(), static_cast<unsigned char>(alpha));
}

bool IsParticleOutLeft(const SpriteParticle& p, const Vo_BaseSpriteProp& emitter)
{
    return emitter.LeftEdge() > p.position.x + std::fabs(p.halfWidth);
}

bool IsParticleOutRight(const SpriteParticle& p, const Vo_BaseSpriteProp& emitter)
{
    return emitter.RightEdge() < p.position.x - std::fabs(p.halfWidth);
}

bool IsParticleOutTop(const SpriteParticle& p, const Vo_BaseSpriteProp& emitter)
{
    return emitter.TopEdge() > p.position.y + std::fabs(p.halfHeight);
}

bool IsParticleOutBottom(const SpriteParticle& p, const Vo_BaseSpriteProp& emitter)
{
    return emitter.BottomEdge() < p.position.y - std::fabs(p.halfHeight);
}

bool IsParticleTouchingLeft(const SpriteParticle& p, const Vo_BaseSpriteProp& emitter)
{
    return emitter.LeftEdge() > p.position.x - p.halfWidth;
}

bool IsParticleTouchingRight(const SpriteParticle& p, const Vo_BaseSpriteProp& emitter)
{
    return emitter.RightEdge() < p.position.x + p.halfWidth;
}

bool IsParticleTouchingTop(const SpriteParticle& p, const Vo_BaseSpriteProp& emitter)
{
    return emitter.TopEdge() > p.position.y - p.halfHeight;
}

bool IsParticleTouchingBottom(const SpriteParticle& p, const Vo_BaseSpriteProp& emitter)
{
    return emitter.BottomEdge() < p.position.y + p.halfHeight;
}
