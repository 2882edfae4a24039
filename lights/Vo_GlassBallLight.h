#pragma once
#include <d3d9.h>
#include <d3dx9math.h>

#include <cstdint>

#include "model/ComRef.h"
#include "model/MediaColor.h"
#include "model/MediaParamT.h"
#include "model/TextureInfo.h"
#include "model/UINTSclaleTo.h"
#include "model/Vo_ImageFileLink.h"
#include "runtime/TexturedQuad.h"
#include "runtime/Vo_2D_Light.h"
#include "runtime/Vo_SimpleMesh.h"

class Vo_IOF_Virtual;

// A layer that shows the slide through a glass ball standing in front of a background. The
// picture and the slide's objects are drawn into the layer's render-target pair (optionally
// scrolled sideways), and the frame is then composed: the background (a vertical two-colour
// gradient or a picture), the ball (a square whose texture is the scene image, bent by a
// hemispherical bump-environment map and projected with camera-space texture coordinates), two
// highlight pictures over it, a circular mask that puts the background back around the ball, a
// stand below it and black bars around a fitted background picture.
//
// The ball lives in a 500-unit frame centred on the target, seen by a perspective camera; its
// position moves it in that frame and its size moves the camera.
class Vo_GlassBallLight : public Vo_2D_Light {
public:
    enum Motion { kStill = 0, kScrollLeft = 1, kScrollRight = 2, kWobble = 3 };

    // Texture sizes of the procedural textures.
    static constexpr int kBumpSize = 256;
    static constexpr int kMaskSize = 1024;
    static constexpr int kGradientSize = 256;

    // The terms that follow from ball size and lens, with the view scales of the last layout.
    struct LensTerms {
        float distance;  // camera distance D (negative: the eye looks along +z)
        float depth;     // depth term Q of the ball's texture projection
        float p;
        float r;         // how far the wobble moves the image in the ball
    };

    Vo_GlassBallLight();
    ~Vo_GlassBallLight() override;

    // The record's fields by version (every version reads them all), then the base layer's.
    void Load(int32_t version, Vo_IOF_Virtual& stream);

    void PushTargetSize(const D3DSURFACE_DESC& surface, int mode) override;
    void PopTargetSize() override;
    void LoadContent() override;
    void RestoreDeviceObjects() override;
    void InvalidateDeviceObjects() override;
    void EndRender(int nested) override;
    // The picture always goes onto a cleared target: the frame is composed at the end.
    void BeginRender(int nested) override;
    void Update(float time) override;
    void Layout(int width, int height) override;
    void SetPicturePosition(int mode) override;
    bool HasOwnPostEffect() const override { return m_ballOff.Value() == 0; }

    void ApplyGradientBackground();
    void SelectBackground();
    void FetchPicture();
    void ComputeLensTerms();
    void BuildBumpMap();
    void BuildCircleMask();
    void BuildGradientTexture();
    // World, view, projection and the stage-1 texture matrix for the ball pass or for the
    // passes that map the background (highlights, mask).
    void SetBallTransforms(bool ballPass);

    // The texel fills of the procedural textures, for rows `pitch` bytes apart.
    static void FillBumpMap(uint8_t* bits, int pitch);
    static void FillCircleMask(uint8_t* bits, int pitch);
    // Colours are 0x00BBGGRR; every texel of a row gets the row's colour with alpha 0.
    static void FillGradient(uint8_t* bits, int pitch, unsigned long colour1, unsigned long colour2);
    // The lens terms of a ball size and lens under view scales k1 and s1.
    static LensTerms LensTermsFor(unsigned size, unsigned lens, float k1, float s1);
    // The wobble at an accumulated motion: a triangle wave between -1 and 1, period 2.
    static float WobbleAt(float accumulator);
    // The motion accumulator that every glass-ball layer of the process shares.
    static float MotionAccumulator();

    Vo_ImageFileLink& HighlightALink() { return m_highlightALink; }
    Vo_ImageFileLink& HighlightBLink() { return m_highlightBLink; }
    Vo_ImageFileLink& StandLink() { return m_standLink; }
    Vo_ImageFileLink& BackgroundLink() { return m_backgroundLink; }
    UINTSclaleTo<float>& Speed() { return m_speed; }
    MediaParamTB<tagPOINT>& BallPosition() { return m_ballPosition; }
    MediaParamT<unsigned int>& BallSize() { return m_ballSize; }
    MediaParamT<unsigned int>& Lens() { return m_lens; }
    MediaParamT<int>& HighlightA() { return m_highlightA; }
    MediaParamT<int>& HighlightB() { return m_highlightB; }
    MediaParamT<int>& Stand() { return m_stand; }
    MediaParamT<int>& BackgroundSwitch() { return m_backgroundSwitch; }
    MediaParamT<int>& MotionParam() { return m_motion; }
    MediaColor& GradientColor1() { return m_gradient1; }
    MediaColor& GradientColor2() { return m_gradient2; }

    const LensTerms& Terms() const { return m_lensTerms; }
    float Wobble() const { return m_wobble; }
    int PlacementMode() const { return m_mode; }
    const TextureInfo& BackgroundPicture() const { return m_backgroundPicture; }
    IDirect3DTexture9* BackgroundTexture() const { return m_backgroundTexture.Get(); }
    IDirect3DTexture9* GradientTexture() const { return m_gradientTexture.Get(); }
    IDirect3DTexture9* BumpMap() const { return m_bumpMap.Get(); }
    IDirect3DTexture9* CircleMask() const { return m_circleMask.Get(); }
    IDirect3DVertexBuffer9* BallQuad() const { return m_ballQuad.Get(); }
    const TexturedQuad& BackgroundQuad() const { return m_backgroundQuad; }
    const TexturedQuad& ScrollQuad(int i) const { return m_scrollQuads[i & 1]; }
    const Vo_SimpleMesh<DX_V::PCT>& Bar(int i) const { return m_bars[i & 3]; }
    const D3DXMATRIX& TextureMatrix() const { return m_textureMatrix; }
    float ScaleK1() const { return m_k1; }
    float ScaleK2() const { return m_k2; }
    float ShareS0() const { return m_s0; }
    float ShareS1() const { return m_s1; }
    float OffsetX() const { return m_ox; }
    float OffsetY() const { return m_oy; }

private:
    // The background picture's size; without one (a missing module picture), the layer
    // picture's, and without that the kept size, so that no ratio is undefined.
    void BackgroundSize(float& width, float& height) const;
    // The layer picture's width / height, 1 without a size.
    float PictureRatio() const;
    // The size the ball is laid out for: the kept size while a size is pushed, else the back
    // buffer's.
    void FrameSize(float& width, float& height) const;
    void PlaceBars(const ScreenQuad& fitted);
    void UpdateScroll(float c);
    void DrawBallQuad(IDirect3DVertexBuffer9* buffer);

    Vo_ImageFileLink m_highlightALink;
    Vo_ImageFileLink m_highlightBLink;
    Vo_ImageFileLink m_standLink;
    Vo_ImageFileLink m_backgroundLink;
    UINTSclaleTo<float> m_speed;
    MediaParamTB<tagPOINT> m_ballPosition;
    MediaParamT<unsigned int> m_ballSize;
    MediaParamT<unsigned int> m_lens;
    // Not stored; nothing sets it.
    MediaParamT<int> m_ballOff;
    MediaParamT<int> m_highlightA;
    MediaParamT<int> m_highlightB;
    MediaParamT<int> m_stand;
    MediaParamT<int> m_backgroundSwitch;
    MediaParamT<int> m_motion;
    MediaColor m_gradient1;
    MediaColor m_gradient2;

    ComRef<IDirect3DTexture9> m_bumpMap;
    ComRef<IDirect3DTexture9> m_circleMask;
    ComRef<IDirect3DTexture9> m_gradientTexture;
    TextureInfo m_backgroundPicture;
    ComRef<IDirect3DTexture9> m_highlightATexture;
    ComRef<IDirect3DTexture9> m_highlightBTexture;
    ComRef<IDirect3DTexture9> m_standTexture;
    ComRef<IDirect3DVertexBuffer9> m_ballQuad;
    ComRef<IDirect3DVertexBuffer9> m_standQuad;
    float m_wobble = 0.0f;
    Vo_SimpleMesh<DX_V::PCT> m_bars[4];
    TexturedQuad m_backgroundQuad;
    TexturedQuad m_scrollQuads[2];
    ComRef<IDirect3DTexture9> m_backgroundTexture;

    LensTerms m_lensTerms = {-600.0f, 0.0f, 0.0f, 0.125f};
    float m_s1 = 1.0f;
    float m_s0 = 1.0f;
    float m_ox = 0.0f;
    float m_oy = 0.0f;
    float m_k1 = 1.0f;
    float m_k2 = 1.0f;
    int m_mode = 1;
    int m_savedMode = 1;
    uint8_t m_sizePushed = 0;
    int m_keptWidth = 0;
    int m_keptHeight = 0;
    D3DXMATRIX m_textureMatrix;
};

// The reader registered under "Vo_GlassBallLight": a new layer with the record of that version.
Vo_GlassBallLight* CreateGlassBallLight(Vo_IOF_Virtual& stream, int32_t version);
