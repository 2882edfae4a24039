#pragma once
#include <d3dx9math.h>

#include <cstdint>
#include <memory>

#include "lights/WaterRippleField.h"
#include "model/MediaParamT.h"
#include "model/UINTSclaleTo.h"
#include "runtime/Vo_2D_Light.h"

struct IDirect3DTexture9;
class Vo_IOF_Virtual;

// A layer that shows its picture through a rippling water surface: a height field that random
// drops disturb is simulated every frame and drawn as a lit mesh whose texture coordinates are
// bent by refraction, with highlights from one directional light. In mode 0 the water replaces
// the picture; in mode 1 the picture and the slide's objects are drawn into the layer's
// render-target pair first and that image is drawn through the water at the end of the frame.
//
// The surface lies in the x-z plane, 30 units high and as wide as the picture's proportion,
// under an orthographic camera 120 units above it, looking down.
class Vo_WaterRingLight : public Vo_2D_Light {
public:
    Vo_WaterRingLight();
    ~Vo_WaterRingLight() override;

    // The water's record (its parameters by version, then the mode), then the base layer's.
    void Load(int32_t version, Vo_IOF_Virtual& stream);

    // Drawing services of the base, with lighting off for the draw: the water leaves it on.
    HRESULT DrawColoredIndexed(Vo_IndexedMesh<DX_V::PCT>* mesh, ID3DXEffect** effect, int primitiveCount,
                               float unused) override;
    HRESULT DrawMeshList(MeshInstance* instance) override;
    HRESULT DrawSpriteMesh(SpriteMeshDrawable* sprites) override;
    HRESULT DrawMeshListTextured(TexturedMesh* mesh) override;

    void LoadContent() override;
    // Replaces the base step: the water's own states, light and material, a new field (at rest
    // with one drop) with its buffers, and the render-target pair.
    void RestoreDeviceObjects() override;
    void InvalidateDeviceObjects() override;
    void EndRender(int nested) override;
    void BeginRender(int nested) override;
    void Update(float time) override;
    void Layout(int width, int height) override;
    void SetPicturePosition(int mode) override;
    HRESULT DrawOverlayQuad(Vo_SimpleMesh<DX_V::PCT>* mesh) override;
    HRESULT DrawTexturedQuad(TexturedQuad* quad) override;
    void BeginEffects() override;
    RenderTargetPair& EndEffects(bool clear) override;
    bool HasOwnPostEffect() const override { return m_mode.Value() == 1; }

    // The surface with the texture, fitted to the target like the picture.
    void DrawWater(IDirect3DTexture9* texture);
    // 0 gives 0.9, 50 gives 0.99, 100 gives 0.999: the share of its velocity a cell keeps.
    void SetDamping(unsigned int value);
    // A field for the picture's proportion at rest, then one drop.
    void ResizeRippleField();
    void SetMaterial();

    MediaParamT<int>& Mode() { return m_mode; }
    MediaParamT<unsigned int>& Speed() { return m_speed; }
    MediaParamT<unsigned int>& RowFactor() { return m_rowFactor; }
    MediaParamT<unsigned int>& ColumnFactor() { return m_columnFactor; }
    MediaParamT<unsigned int>& DropDepth() { return m_dropDepth; }
    MediaParamT<unsigned int>& DampingParam() { return m_damping; }
    MediaParamT<unsigned int>& Refraction() { return m_refraction; }
    UINTSclaleTo<float>& DropRate() { return m_dropRate; }
    UINTSclaleTo<float>& Specular() { return m_specular; }
    UINTSclaleTo<float>& Power() { return m_power; }

    WaterRippleField& RippleField() { return *m_field; }
    const D3DXMATRIX& CameraMatrix() const { return m_cameraMatrix; }
    const D3DXMATRIX& ViewMatrix() const { return m_viewMatrix; }
    const D3DXMATRIX& ProjectionMatrix() const { return m_projectionMatrix; }
    D3DXVECTOR3 EyePosition() const;
    float LastDropTime() const { return m_lastDropTime; }

private:
    void LoadFieldsOfVersion2(Vo_IOF_Virtual& stream);
    void SetWaterStates();
    void SetLight();

    MediaParamT<int> m_mode;
    MediaParamT<unsigned int> m_speed;
    MediaParamT<unsigned int> m_rowFactor;
    MediaParamT<unsigned int> m_columnFactor;
    MediaParamT<unsigned int> m_dropDepth;
    MediaParamT<unsigned int> m_damping;
    MediaParamT<unsigned int> m_refraction;
    // Drops per second.
    UINTSclaleTo<float> m_dropRate;
    UINTSclaleTo<float> m_specular;
    UINTSclaleTo<float> m_power;
    D3DXVECTOR3 m_lightDirection;
    D3DXCOLOR m_lightColour;
    D3DXMATRIX m_worldMatrix;
    D3DXMATRIX m_viewMatrix;
    // Its translation row is the eye.
    D3DXMATRIX m_cameraMatrix;
    D3DXMATRIX m_projectionMatrix;
    std::unique_ptr<WaterRippleField> m_field;
    float m_lastDropTime = 0.0f;
    // The size of the last layout, kept for the layouts the layer makes itself.
    int m_layoutWidth = 0;
    int m_layoutHeight = 0;
};

// The reader registered under "Vo_WaterRingLight": a new layer with the record of that version.
Vo_WaterRingLight* CreateWaterRingLight(Vo_IOF_Virtual& stream, int32_t version);
