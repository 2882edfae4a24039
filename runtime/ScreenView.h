#pragma once
#include <d3dx9math.h>

#include "runtime/TexturedQuad.h"

struct TextureInfo;
class Vo_ImageFileLink;

// The 2D view of one render unit. It maps the slide's picture (in picture pixels) onto the render
// target by the picture-position mode, applies the camera's zoom and pan, and keeps four border
// quads that fill the margins around the picture. Matrices are row-vector: A x B applies A first.
class ScreenView {
public:
    enum Mode { kStretch = 0, kFit = 1, kFill = 2, kRenderTarget = 3 };
    enum Border { kLeft = 0, kRight = 1, kTop = 2, kBottom = 3 };

    struct PictureRect {
        int left, top, right, bottom;
    };

    ScreenView();

    // Lays the picture out for a w x h target. The back-buffer size is passed in, so the
    // arithmetic runs without a device; no transform is sent to the device. With noScaling the
    // quad stays in target pixels (a target of the caller's own is drawn, not the back buffer).
    // A back buffer of size 0 (no device) counts as the target itself.
    void Layout(unsigned pictureWidth, unsigned pictureHeight, int width, int height, int mode,
                bool noScaling, int backBufferWidth, int backBufferHeight);

    // The same with the back buffer of CurrentDevice, then the transforms sent to it.
    void Layout(const TextureInfo& picture, int width, int height, int mode, bool noScaling);

    // World, view and projection to CurrentDevice.
    void ApplyTransforms() const;
    // World := M x K x O x P (K left out in render-target mode) on CurrentDevice.
    void SetWorldTransform(const D3DXMATRIX& matrix) const;

    // M x K x O x P x view x projection (K left out in render-target mode).
    void GetWorldViewProj(D3DXMATRIX& out, const D3DXMATRIX& matrix) const;
    // (O x P in render-target mode, else P) x view x projection.
    void GetViewProj(D3DXMATRIX& out) const;
    // K x O without its x and y translation.
    void GetCombinedMatrix(D3DXMATRIX& out) const;

    // Camera matrix for a zoom about the picture's centre and a pan in -1..1 over the zoomed
    // picture's travel.
    void ZoomPan(float zoom, float panX, float panY);

    // Offsets that keep the picture's centre in place under a scale of sx, sy.
    void CenterOffsets(float sx, float sy, float& offsetX, float& offsetY) const;
    void SetOffsetScale(float offsetX, float offsetY, float sx, float sy);

    // New border quads (positions 0 until the next layout places them; texture coordinates
    // (1, 1), (0, 1), (1, 0), (0, 0)) with the texture of the current frame of the link's frame
    // set in the current resource store. A set without frames leaves the borders untextured,
    // and DrawBorders skips them.
    void BindBorderTextures(const Vo_ImageFileLink& link);

    // Draws the four border quads that have a texture, under the picture's placement and camera.
    void DrawBorders() const;

    int Mode() const { return m_mode; }
    unsigned PictureWidth() const { return m_pictureWidth; }
    unsigned PictureHeight() const { return m_pictureHeight; }
    float ScaleX() const { return m_scaleX; }
    float ScaleY() const { return m_scaleY; }
    float FitScale() const { return m_fitScale; }
    const PictureRect& GetPictureRect() const { return m_pictureRect; }
    float InverseScaleX() const { return m_inverseScaleX; }
    float InverseScaleY() const { return m_inverseScaleY; }
    float OffsetX() const { return m_offsetX; }
    float OffsetY() const { return m_offsetY; }

    const D3DXMATRIX& Placement() const { return m_placement; }
    const D3DXMATRIX& OffsetScale() const { return m_offsetScale; }
    const D3DXMATRIX& World() const { return m_world; }
    const D3DXMATRIX& View() const { return m_view; }
    const D3DXMATRIX& Projection() const { return m_projection; }
    const D3DXMATRIX& Camera() const { return m_camera; }

    TexturedQuad& BorderQuad(int side) { return m_borders[side]; }
    const TexturedQuad& BorderQuad(int side) const { return m_borders[side]; }

    // Corners of one border quad (bottom-left, top-left, bottom-right, top-right) for a picture
    // of W x H pixels; each border reaches 3 x max(W, H) beyond the picture's edge.
    static void BorderCorners(int side, unsigned pictureWidth, unsigned pictureHeight,
                              D3DXVECTOR3 corners[4]);

private:
    void PlaceBorders();

    D3DXMATRIX m_placement;
    D3DXMATRIX m_offsetScale;
    D3DXMATRIX m_world;
    D3DXMATRIX m_view;
    D3DXMATRIX m_projection;
    float m_inverseScaleX = 1.0f;
    float m_inverseScaleY = 1.0f;
    float m_offsetX = 0.0f;
    float m_offsetY = 0.0f;
    D3DXMATRIX m_camera;
    TexturedQuad m_borders[4];
    int m_mode = kFit;
    unsigned m_pictureWidth = 0;
    unsigned m_pictureHeight = 0;
    float m_scaleX = 1.0f;
    float m_scaleY = 1.0f;
    float m_fitScale = 1.0f;
    PictureRect m_pictureRect = {0, 0, 0, 0};
};
