#include "lights/HeatHazePass.h"

#include <d3dx9.h>

#include "model/CurrentDevice.h"
#include "model/Vo_DocResManager.h"

HeatHazePass::HeatHazePass() : m_bumpLink(62, L"common_res.dll"), m_effectLink(63, L"common_res.dll")
{
    m_speed.Rescale(0.001f, 0.0f);
    m_speed.SetValue(50);
    m_strength.Rescale(0.002f, 0.0f);
    m_strength.SetValue(25);
    m_bump.Rescale(-0.009f, 1.0f);
    m_bump.SetValue(88);
}

HeatHazePass::~HeatHazePass() = default;

bool HeatHazePass::LoadContent()
{
    // Positions until Resize places the quad over the picture.
    const float quad[20] = {0, 600, 0, 0, 1,  0, 0, 0, 0, 0,  800, 600, 0, 1, 1,  800, 0, 0, 1, 0};
    if (CurrentDevice)
        m_quad.BuildWorldQuad(quad);
    m_bumpTexture.Reset();
    m_effect.Reset();
    if (CurrentDocResManager) {
        const TextureFrameSet& frames = CurrentDocResManager->GetTextureFrameSet(m_bumpLink);
        if (frames.currentFrame < frames.frames.size())
            m_bumpTexture = frames.frames[frames.currentFrame];
        m_effect = CurrentDocResManager->GetEffect(m_effectLink);
    }
    return static_cast<bool>(m_effect);
}

void HeatHazePass::Resize(float width, float height)
{
    const float positions[12] = {0, height, 0,  0, 0, 0,  width, height, 0,  width, 0, 0};
    m_quad.SetWorldCorners(positions);
    // A picture without width keeps the last aspect rather than dividing by zero.
    if (width > 0.0f)
        m_aspect = height / width;
}

void HeatHazePass::Update(float time)
{
    if (!m_effect)
        return;
    m_speed.Advance(time);
    const float c = m_speed.Accumulated();
    const float b = m_bump.Result();
    m_effect->SetFloat("stenght", m_strength.Result() * 0.05f);
    const float offset[2] = {c, -c};
    m_effect->SetFloatArray("Offset", offset, 2);
    const float bumpScale[2] = {b, m_aspect * b};
    m_effect->SetFloatArray("bump_scale", bumpScale, 2);
}

void HeatHazePass::Draw(IDirect3DTexture9* sceneTexture)
{
    IDirect3DDevice9* device = CurrentDevice;
    if (!m_effect || !device || !m_quad.VertexBuffer())
        return;
    m_effect->SetTexture("SceneTex", sceneTexture);
    m_effect->SetTexture("Bumpmap", m_bumpTexture.Get());
    m_effect->SetTechnique("BumpmapDistortLow2");
    UINT passes = 0;
    if (SUCCEEDED(m_effect->Begin(&passes, 0))) {
        for (UINT i = 0; i < passes; ++i) {
            if (FAILED(m_effect->BeginPass(i)))
                break;
            m_quad.BindWorldStream();
            device->DrawPrimitive(m_quad.PrimitiveType(), 0, m_quad.PrimitiveCount());
            m_effect->EndPass();
        }
        m_effect->End();
    }
    // The image is a texture of the layer's render-target pair: an effect that kept a reference
    // to it would make the next device reset fail.
    m_effect->SetTexture("SceneTex", nullptr);
}
