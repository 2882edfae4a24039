#pragma once
#include <d3dx9math.h>

#include <cstdint>

class Vo_BaseSpriteProp;

// One sprite of an emitter: where it is, how it moves, its quad's size and axes, its texture
// ranges, opacity and colour, and the timers some emitter classes keep per particle. A plain
// record; the emitter's runtime object keeps them side by side and never frees one while it lives.
struct SpriteParticle {
    D3DXVECTOR3 direction;  // per-axis sign factors of the flow emitters
    D3DXVECTOR3 velocity;   // pixels per second of emitter time (some classes keep other values)
    D3DXVECTOR3 position;   // sprite centre in picture pixels, y downwards
    float scale;
    D3DXMATRIX spin;        // the fog's per-update rotation of its axes
    float vStart, vEnd;
    float uStart, uEnd;
    float halfWidth, halfHeight;  // a negative half width mirrors the sprite
    float aspect;                 // height / width of one frame of the main picture
    D3DXVECTOR3 right;            // direction of the quad's width
    D3DXVECTOR3 up;               // direction of the quad's height, not always a unit vector
    float opacity;
    float timer;                  // when a class's periodic choice was made last
    float delay;
    int32_t edgeState;            // -1, or the boundary edge 0-3 that owns the particle
    int32_t entering;
    float resumeTime;
    float pauseTimer;
    uint8_t paused;
    uint32_t color;               // ARGB before the fade
    float opacitySpeed;           // signed opacity change per second
};

// A fresh particle: motion zero, at (100, 100), default axes and texture ranges, a random scale
// and the half sizes of the emitter's sprite size and main picture. One rand() call.
void InitSpriteParticle(SpriteParticle& p, const Vo_BaseSpriteProp& emitter);
// Timers cleared, owned by no edge, opacity 1 with the emitter's opacity speed, negated when
// rand() is odd, and the colour. One rand() call.
void ResetSpriteParticle(SpriteParticle& p, const Vo_BaseSpriteProp& emitter);
void ClearSpriteParticleTimers(SpriteParticle& p);
// The longer side of the quad becomes scale x size; the picture's aspect gives the shorter.
void SetSpriteParticleHalfSize(float size, SpriteParticle& p);
D3DXVECTOR3 GetSpriteParticleCorner(const SpriteParticle& p);
// Moves the opacity by the frame step and bounces it between the emitter's minimum and maximum;
// with respawn a particle that falls below the minimum is placed anew first.
void UpdateSpriteParticleBlink(SpriteParticle& p, Vo_BaseSpriteProp& emitter, bool respawn);
// ARGB: alpha byte x opacity (truncated, held to 0..255), RGB of the emitter's colour.
void UpdateSpriteParticleColor(const Vo_BaseSpriteProp& emitter, SpriteParticle& p);

// The whole sprite has left the emitter's rectangle across the edge.
bool IsParticleOutLeft(const SpriteParticle& p, const Vo_BaseSpriteProp& emitter);
bool IsParticleOutRight(const SpriteParticle& p, const Vo_BaseSpriteProp& emitter);
bool IsParticleOutTop(const SpriteParticle& p, const Vo_BaseSpriteProp& emitter);
bool IsParticleOutBottom(const SpriteParticle& p, const Vo_BaseSpriteProp& emitter);
// The sprite reaches over the edge (half sizes taken with their sign).
bool IsParticleTouchingLeft(const SpriteParticle& p, const Vo_BaseSpriteProp& emitter);
bool IsParticleTouchingRight(const SpriteParticle& p, const Vo_BaseSpriteProp& emitter);
bool IsParticleTouchingTop(const SpriteParticle& p, const Vo_BaseSpriteProp& emitter);
bool IsParticleTouchingBottom(const SpriteParticle& p, const Vo_BaseSpriteProp& emitter);
