#pragma once
#include <d3dx9math.h>

#include <vector>

#include "model/MediaParamT.h"
#include "model/UINTSclaleTo.h"
#include "particles/effects/BoltSegment.h"
#include "particles/effects/Vo_GlowEffectCtrl.h"

// An electric discharge: a jagged bolt of glowing sprite segments between two points. Every
// 0.1 s of emitter time a new shape is drawn at random; the segments move from the shape being
// left toward it at the blend speed, and the bolt picture flickers between its two images.
class Vo_DischargeFXConstructor : public Vo_GlowEffectCtrl {
public:
    // The resource module's bolt pictures: the two variants.
    static constexpr int kBoltPicture = 95;
    static constexpr int kAlternateBoltPicture = 98;
    // Emitter seconds between two shapes.
    static constexpr float kReformPeriod = 0.1f;
    // The part of the bolt picture at each side that only the bolt's two ends show.
    static constexpr float kEndMargin = 0.195f;

    Vo_DischargeFXConstructor();
    Vo_DischargeFXConstructor(const Vo_DischargeFXConstructor& other);

    Vo_ParticleSystemCtrl* Clone() const override { return new Vo_DischargeFXConstructor(*this); }
    // Makes both shapes for the particle count; the particle itself is placed by UpdateParticle.
    void SpawnParticle(SpriteParticle& p) override;
    // The k-th particle of a frame becomes segment k of the bolt between the two shapes.
    void UpdateParticle(SpriteParticle& p) override;
    // The effect, then the bolt picture and the glow picture.
    void ResolveEffect() override;
    // Starts the frame's segments from the first; re-forms the bolt when its time has come.
    void PrepareFrame() override;

    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);
    // The main picture becomes the module's bolt picture of the variant; the textures follow.
    void BindTextures();
    // A new random shape from the start to the end point in the bolt's segments.
    void BuildBolt(std::vector<BoltSegment>& bolt) const;
    // Segment i of the current shape moved by t toward the next shape (t is not clamped).
    BoltSegment InterpolateSegment(int i, float t) const;

    MediaParamT<D3DXVECTOR3>& StartPoint() { return m_start; }
    MediaParamT<D3DXVECTOR3>& EndPoint() { return m_end; }
    UINTSclaleTo<float>& Jitter() { return m_jitter; }
    MediaParamT<int>& TextureVariant() { return m_textureVariant; }
    UINTSclaleTo<float>& FlickerPeriod() { return m_flickerPeriod; }
    UINTSclaleTo<float>& BlendSpeed() { return m_blendSpeed; }
    const std::vector<BoltSegment>& CurrentBolt() const { return m_currentBolt; }
    const std::vector<BoltSegment>& NextBolt() const { return m_nextBolt; }
    int SegmentCursor() const { return m_segmentCursor; }
    float LastBoltTime() const { return m_lastBoltTime; }

private:
    MediaParamT<D3DXVECTOR3> m_start;
    MediaParamT<D3DXVECTOR3> m_end;
    UINTSclaleTo<float> m_jitter;
    MediaParamT<int> m_textureVariant;
    UINTSclaleTo<float> m_flickerPeriod;
    UINTSclaleTo<float> m_blendSpeed;
    std::vector<BoltSegment> m_currentBolt;
    std::vector<BoltSegment> m_nextBolt;
    int m_segmentCursor = 0;
    float m_lastBoltTime = 0.0f;
};
