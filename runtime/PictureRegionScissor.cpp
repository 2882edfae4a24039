#include "runtime/PictureRegionScissor.h"

#include <d3d9.h>
#include <d3dx9.h>

#include <algorithm>
#include <cmath>

#include "model/ComRef.h"
#include "model/CurrentDevice.h"
#include "runtime/CurrentScreenView.h"
#include "runtime/ScreenView.h"

namespace {

bool RenderTargetSize(IDirect3DDevice9* device, LONG& width, LONG& height)
{
    ComRef<IDirect3DSurface9> target;
    D3DSURFACE_DESC desc = {};
    if (FAILED(device->GetRenderTarget(0, target.Receive())) || !target || FAILED(target->GetDesc(&desc)))
        return false;
    width = static_cast<LONG>(desc.Width);
    height = static_cast<LONG>(desc.Height);
    return true;
}

}  // namespace

PictureRegionScissor::PictureRegionScissor(const _D3DMATRIX& pictureWorld, unsigned pictureWidth,
                                           unsigned pictureHeight, float u0, float v0, float u1, float v1)
{
    IDirect3DDevice9* device = CurrentDevice;
    LONG width = 0, height = 0;
    if (!device || !CurrentScreenView || !RenderTargetSize(device, width, height))
        return;
    // The same transform the draw gets: the picture's world matrix through the view's world,
    // view and projection, then the viewport over the whole render target.
    D3DXMATRIX toClip;
    CurrentScreenView->GetWorldViewProj(toClip, static_cast<const D3DXMATRIX&>(pictureWorld));
    float left = 1e30f, top = 1e30f, right = -1e30f, bottom = -1e30f;
    const float us[2] = {u0, u1};
    const float vs[2] = {v0, v1};
    for (float u : us)
        for (float v : vs) {
            const D3DXVECTOR4 corner(u * static_cast<float>(pictureWidth), v * static_cast<float>(pictureHeight), 0.0f, 1.0f);
            D3DXVECTOR4 clip;
            D3DXVec4Transform(&clip, &corner, &toClip);
            if (!(clip.w > 0.0f))
                return;
            const float x = (clip.x / clip.w + 1.0f) * 0.5f * static_cast<float>(width);
            const float y = (1.0f - clip.y / clip.w) * 0.5f * static_cast<float>(height);
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    if (!std::isfinite(left) || !std::isfinite(right) || !std::isfinite(top) || !std::isfinite(bottom))
        return;
    const float kMargin = 1.0f;
    m_rect.left = std::max<LONG>(0, static_cast<LONG>(std::floor(std::max(left - kMargin, -1.0f))));
    m_rect.top = std::max<LONG>(0, static_cast<LONG>(std::floor(std::max(top - kMargin, -1.0f))));
    m_rect.right = std::min<LONG>(width, static_cast<LONG>(std::ceil(std::min(right + kMargin, width + 1.0f))));
    m_rect.bottom = std::min<LONG>(height, static_cast<LONG>(std::ceil(std::min(bottom + kMargin, height + 1.0f))));
    if (m_rect.right < m_rect.left)
        m_rect.right = m_rect.left;
    if (m_rect.bottom < m_rect.top)
        m_rect.bottom = m_rect.top;
    if (FAILED(device->SetScissorRect(&m_rect)))
        return;
    device->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
    m_targetWidth = width;
    m_targetHeight = height;
    m_active = true;
}

int PictureRegionScissor::RectanglesAround(RECT (&around)[4]) const
{
    if (!m_active)
        return 0;
    const RECT candidates[4] = {
        {0, 0, m_targetWidth, m_rect.top},
        {0, m_rect.bottom, m_targetWidth, m_targetHeight},
        {0, m_rect.top, m_rect.left, m_rect.bottom},
        {m_rect.right, m_rect.top, m_targetWidth, m_rect.bottom},
    };
    int count = 0;
    for (const RECT& candidate : candidates)
        if (candidate.right > candidate.left && candidate.bottom > candidate.top)
            around[count++] = candidate;
    return count;
}

PictureRegionScissor::~PictureRegionScissor()
{
    if (m_active && CurrentDevice)
        CurrentDevice->SetRenderState(D3DRS_SCISSORTESTENABLE, FALSE);
}
