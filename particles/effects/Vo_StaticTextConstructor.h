#pragma once
#include <windows.h>

#include "model/ComRef.h"
#include "model/FontMediaParam.h"
#include "model/MediaParamT.h"
#include "particles/effects/Vo_StatBaseFXCtrl.h"

class RenderTargetPair;
struct ID3DXFont;

// One text on the picture: every frame the text is drawn with its font into a render target of
// its own, which the quad at the object's position then shows through the effect's "Common",
// coloured by the sprite colour and faded by the timeline.
class Vo_StaticTextConstructor : public Vo_StatBaseFXCtrl {
public:
    enum Alignment { kNear = 0, kCentre = 1, kFar = 2 };

    // Red text, its fade scaling its opacity, under a new identity.
    Vo_StaticTextConstructor();
    // Keeps the identity, so the clone finds the description's target and font in the store.
    Vo_StaticTextConstructor(const Vo_StaticTextConstructor& other);
    ~Vo_StaticTextConstructor() override;

    Vo_ParticleSystemCtrl* Clone() const override { return new Vo_StaticTextConstructor(*this); }
    // The effect, the target of the object's size, the font and the format flags.
    void ResolveEffect() override;
    // The quad at the position, of the object's width and height.
    void UpdateParticle(SpriteParticle& p) override;
    // Draws the text into the target and binds the target for the quad; false (nothing bound)
    // without a target.
    bool SetEffectParams(Vo_ABRender* layer) override;

    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);
    // The font of the description, from the store under the identity.
    void GetFont();
    // DrawTextW flags from the two alignments.
    void UpdateFormatFlags();

    MediaParamT<int>& VerticalAlignment() { return m_verticalAlignment; }
    const MediaParamT<int>& VerticalAlignment() const { return m_verticalAlignment; }
    MediaParamT<int>& HorizontalAlignment() { return m_horizontalAlignment; }
    const MediaParamT<int>& HorizontalAlignment() const { return m_horizontalAlignment; }
    MediaParamT<vo_string>& Text() { return m_text; }
    const MediaParamT<vo_string>& Text() const { return m_text; }
    FontMediaParam& Font() { return m_font; }
    const FontMediaParam& Font() const { return m_font; }
    int Format() const { return m_format; }
    const GUID& Identity() const { return m_identity; }
    RenderTargetPair* Target() const { return m_target; }
    ID3DXFont* FontObject() const { return m_fontObject.Get(); }

private:
    MediaParamT<int> m_verticalAlignment;
    MediaParamT<int> m_horizontalAlignment;
    MediaParamT<vo_string> m_text;
    FontMediaParam m_font;
    ComRef<ID3DXFont> m_fontObject;
    RenderTargetPair* m_target = nullptr;
    int m_format = 0;
    GUID m_identity = {};
};
