#pragma once
#include <cstdint>

#include "model/MediaParamT.h"
#include "model/Vo_IOF_Item.h"

class Vo_BaseSpriteProp;
class Vo_IOF_Virtual;
struct SpriteParticle;

// What happens to a flowing particle at one edge of its emitter's rectangle: it fades out, waits
// and comes back through the opposite edge (wrap), turns back as it touches the edge (bounce), or
// turns back after waiting just outside (bounce with pause). While a control handles a particle it
// owns it (the particle's edge state names the edge), and no other control acts on it.
class Vo_BoundControl : public Vo_IOF_Item {
public:
    enum Edge { kTop = 0, kBottom = 1, kLeft = 2, kRight = 3 };
    enum Mode { kWrap = 0, kBounce = 1, kBounceWithPause = 2 };

    // An edge test of a particle against the emitter's rectangle.
    using EdgeTest = bool (*)(const SpriteParticle&, const Vo_BaseSpriteProp&);

    Vo_BoundControl() = default;
    // The edge and its tests are the owning flow's to set; the copy takes neither.
    Vo_BoundControl(const Vo_BoundControl&) = delete;
    Vo_BoundControl& operator=(const Vo_BoundControl&) = delete;

    // Watches `edge` from now on, with that edge's out and touching tests.
    void CreateEdgeTests(int edge);
    // Takes mode and times of another control.
    void CopyValues(const Vo_BoundControl& other);

    // The record's fields after its header.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    // Whether this control handles the particle in this frame: it continues with a particle it
    // owns, and takes one that meets its edge; false for a particle another edge owns.
    bool Apply(SpriteParticle& p, Vo_BaseSpriteProp& emitter);
    // One frame of a particle this control owns; always true.
    bool Continue(SpriteParticle& p, Vo_BaseSpriteProp& emitter);
    // Mode 1: turns the particle back in the frame its sprite first touches the edge.
    bool Bounce(SpriteParticle& p, Vo_BaseSpriteProp& emitter);
    // Mode 2: turns the particle back once it is entirely outside, and holds it there for a pause.
    bool BounceWithPause(SpriteParticle& p, Vo_BaseSpriteProp& emitter);

    int GetEdge() const { return m_edge; }
    MediaParamT<int>& Mode() { return m_mode; }
    const MediaParamT<int>& Mode() const { return m_mode; }
    MediaParamT<unsigned int>& FadeOutTime() { return m_fadeOut; }
    const MediaParamT<unsigned int>& FadeOutTime() const { return m_fadeOut; }
    MediaParamT<unsigned int>& FadeInTime() { return m_fadeIn; }
    const MediaParamT<unsigned int>& FadeInTime() const { return m_fadeIn; }
    MediaParamT<unsigned int>& MinPause() { return m_minPause; }
    const MediaParamT<unsigned int>& MinPause() const { return m_minPause; }
    MediaParamT<unsigned int>& MaxPause() { return m_maxPause; }
    const MediaParamT<unsigned int>& MaxPause() const { return m_maxPause; }

private:
    bool Wrap(SpriteParticle& p, Vo_BaseSpriteProp& emitter);
    void ContinueWrap(SpriteParticle& p, Vo_BaseSpriteProp& emitter);
    void ContinueBounce(SpriteParticle& p, Vo_BaseSpriteProp& emitter);
    void ContinueBounceWithPause(SpriteParticle& p, Vo_BaseSpriteProp& emitter);
    // Just outside the opposite edge, one pixel less than the half size, at a random place
    // along it, waiting to come back in.
    void ReturnAtOppositeEdge(SpriteParticle& p, const Vo_BaseSpriteProp& emitter) const;
    // A pause of a random length between the two pause times starts now.
    void StartPause(SpriteParticle& p, const Vo_BaseSpriteProp& emitter) const;
    // The direction factor across the edge changes sign.
    void TurnBack(SpriteParticle& p) const;
    bool IsHorizontalEdge() const { return m_edge == kTop || m_edge == kBottom; }
    bool IsOut(const SpriteParticle& p, const Vo_BaseSpriteProp& emitter) const
    {
        return m_outTest && m_outTest(p, emitter);
    }
    bool IsTouching(const SpriteParticle& p, const Vo_BaseSpriteProp& emitter) const
    {
        return m_touchingTest && m_touchingTest(p, emitter);
    }

    int m_edge = -1;
    EdgeTest m_outTest = nullptr;
    EdgeTest m_touchingTest = nullptr;
    MediaParamT<int> m_mode;
    MediaParamT<unsigned int> m_fadeOut;
    MediaParamT<unsigned int> m_fadeIn;
    MediaParamT<unsigned int> m_minPause;
    MediaParamT<unsigned int> m_maxPause;
};
