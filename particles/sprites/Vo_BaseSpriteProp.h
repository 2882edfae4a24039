#pragma once
#include <cstdint>
#include <vector>

#include "model/DataBuffer.h"
#include "model/MediaColor.h"
#include "model/MediaParamT.h"
#include "model/MediaSpeedParam.h"
#include "model/UINTSclaleTo.h"
#include "model/Vo_ImageFileLink.h"
#include "runtime/Vo_ViewObjCtrl.h"

struct SpriteParticle;
class Vo_IOF_Virtual;

// The most sprites one emitter makes and draws; a larger stored count is held to it, so a damaged
// document cannot ask for gigabytes of particles.
constexpr unsigned int kMaxSpriteParticles = 1u << 18;

// The sprite appearance every particle emitter shares: how many sprites, their size, colour,
// transparency and blending, how their opacity blinks and their scale varies, the sprite picture
// with its strip animation and mirrors, an optional second picture, and the clock of the
// picture's own frame delays. The per-particle behaviour is the emitter classes'.
class Vo_BaseSpriteProp : public Vo_ViewObjCtrl {
public:
    Vo_BaseSpriteProp();
    // Copies every value, the frame speed's clock included; parameters get fresh observer lists.
    Vo_BaseSpriteProp(const Vo_BaseSpriteProp& other);
    ~Vo_BaseSpriteProp() override;

    void GetPreviewInfo(ObjectPreviewInfo& info) const override;

    // Places a new or recycled particle.
    virtual void SpawnParticle(SpriteParticle&) {}
    // Advances one particle by the frame step.
    virtual void UpdateParticle(SpriteParticle&) {}
    // The strip frame after `index`.
    virtual unsigned NextFrame(unsigned index);
    // How many sprites are drawn.
    virtual unsigned GetParticleCount() const
    {
        return m_count.Value() < kMaxSpriteParticles ? m_count.Value() : kMaxSpriteParticles;
    }
    // The colour with its alpha scaled by the timeline's fade.
    virtual uint32_t ApplyFade(uint32_t argb) const;

    // The record of this level: header, the placed-object record, then the sprite fields.
    void Load(Vo_IOF_Virtual& stream);
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);
    // Pictures that an old record carried inline go to the resource store, and the links take
    // their place. Nothing happens when the main link is set.
    void ResolveImages();

    // The frame count, a stored 0 counting as 1.
    unsigned FrameCount() const { return m_frameCount == 0 ? 1u : m_frameCount; }
    // Height / width of one frame of the main picture, from the resource store; 1 without one.
    float MainFrameAspect() const;
    // The rectangle's edges in picture pixels, from the picture laid out last.
    float LeftEdge() const;
    float RightEdge() const;
    float TopEdge() const;
    float BottomEdge() const;
    // Alpha byte of the transparency.
    uint8_t AlphaByte() const { return m_transparency.Result(); }

    MediaParamT<unsigned int>& Count() { return m_count; }
    const MediaParamT<unsigned int>& Count() const { return m_count; }
    MediaParamT<unsigned int>& SpriteSize() { return m_spriteSize; }
    const MediaParamT<unsigned int>& SpriteSize() const { return m_spriteSize; }
    UINTSclaleTo<unsigned char>& Transparency() { return m_transparency; }
    const UINTSclaleTo<unsigned char>& Transparency() const { return m_transparency; }
    MediaParamT<int>& Additive() { return m_additive; }
    const MediaParamT<int>& Additive() const { return m_additive; }
    MediaColor& Colour() { return m_colour; }
    const MediaColor& Colour() const { return m_colour; }
    float& OpacitySpeed() { return m_opacitySpeed; }
    float OpacitySpeed() const { return m_opacitySpeed; }
    float& MinOpacity() { return m_minOpacity; }
    float MinOpacity() const { return m_minOpacity; }
    float& MaxOpacity() { return m_maxOpacity; }
    float MaxOpacity() const { return m_maxOpacity; }
    float& MinScale() { return m_minScale; }
    float MinScale() const { return m_minScale; }
    float& MaxScale() { return m_maxScale; }
    float MaxScale() const { return m_maxScale; }
    Vo_ImageFileLink& MainPicture() { return m_mainPicture; }
    const Vo_ImageFileLink& MainPicture() const { return m_mainPicture; }
    Vo_ImageFileLink& SecondPicture() { return m_secondPicture; }
    const Vo_ImageFileLink& SecondPicture() const { return m_secondPicture; }
    uint32_t ReservedCount() const { return m_reservedCount; }
    float ReservedRate() const { return m_reservedRate; }
    uint32_t& StoredFrameCount() { return m_frameCount; }
    uint32_t StoredFrameCount() const { return m_frameCount; }
    float& FrameRate() { return m_frameRate; }
    float FrameRate() const { return m_frameRate; }
    bool& Animated() { return m_animated; }
    bool Animated() const { return m_animated; }
    int32_t& PictureSource() { return m_pictureSource; }
    int32_t PictureSource() const { return m_pictureSource; }
    MediaParamT<int>& VerticalMirror() { return m_verticalMirror; }
    const MediaParamT<int>& VerticalMirror() const { return m_verticalMirror; }
    MediaParamT<int>& HorizontalMirror() { return m_horizontalMirror; }
    const MediaParamT<int>& HorizontalMirror() const { return m_horizontalMirror; }
    MediaParamT<int>& RefillOnFrame() { return m_refillOnFrame; }
    const MediaParamT<int>& RefillOnFrame() const { return m_refillOnFrame; }
    const std::vector<float>& LegacyDelays() const { return m_legacyDelays; }
    const std::vector<FileBlob>& LegacyBlobs() const { return m_legacyBlobs; }
    const FileBlob& LegacySecondBlob() const { return m_legacySecondBlob; }
    MediaSpeedParam& FrameSpeed() { return m_frameSpeed; }
    const MediaSpeedParam& FrameSpeed() const { return m_frameSpeed; }

private:
    MediaParamT<unsigned int> m_count;
    MediaParamT<unsigned int> m_spriteSize;
    UINTSclaleTo<unsigned char> m_transparency;
    MediaParamT<int> m_additive;
    MediaColor m_colour;
    float m_opacitySpeed = 0.0f;
    float m_minOpacity = 0.0f;
    float m_maxOpacity = 1.0f;
    float m_minScale = 1.0f;
    float m_maxScale = 1.0f;
    Vo_ImageFileLink m_mainPicture;
    Vo_ImageFileLink m_secondPicture;
    uint32_t m_reservedCount = 1;
    float m_reservedRate = 0.0f;
    uint32_t m_frameCount = 1;
    float m_frameRate = 0.0f;
    bool m_animated = false;
    int32_t m_pictureSource = 0;
    MediaParamT<int> m_verticalMirror;
    MediaParamT<int> m_horizontalMirror;
    MediaParamT<int> m_refillOnFrame;
    std::vector<float> m_legacyDelays;
    std::vector<FileBlob> m_legacyBlobs;
    FileBlob m_legacySecondBlob;
    MediaSpeedParam m_frameSpeed;
};
