#include "model/RenderTargetPair.h"

#include <d3dx9.h>

#include "model/CurrentDevice.h"
#include "model/D3DResourceMakers.h"

namespace {

// A texture of the current device whose top level has this size.
bool IsTargetOfSize(IDirect3DTexture9* texture, uint32_t width, uint32_t height)
{
    if (!texture || !CurrentDevice)
        return false;
    ComRef<IDirect3DDevice9> device;
    D3DSURFACE_DESC desc;
    return SUCCEEDED(texture->GetDevice(device.Receive())) && device.Get() == CurrentDevice &&
           SUCCEEDED(texture->GetLevelDesc(0, &desc)) && desc.Width == width && desc.Height == height;
}

}  // namespace

void RenderTargetPair::Create(uint32_t width, uint32_t height)
{
    m_width = width;
    m_height = height;
    if (!width || !height)
        return;
    // Every showing of a slide asks again for its layer's pair and the store's pairs. Targets of
    // that size are kept: making them anew would free and take the same memory at each slide
    // change, which Wine's and Mesa's heaps only partly reuse. Whoever draws into a target clears
    // or fills it first, so what a kept target still holds is never seen.
    if (!IsTargetOfSize(m_textures[0].Get(), width, height) || !IsTargetOfSize(m_textures[1].Get(), width, height)) {
        ReleaseTextures();
        CreateRenderTargetTexture(m_textures[0], width, height);
        CreateRenderTargetTexture(m_textures[1], width, height);
    }
    m_current = m_textures[m_index];
    D3DSURFACE_DESC desc;
    if (m_current && SUCCEEDED(m_current->GetLevelDesc(0, &desc))) {
        m_width = desc.Width;
        m_height = desc.Height;
    }
}

void RenderTargetPair::CopyFrom(IDirect3DTexture9* source, uint32_t width, uint32_t height)
{
    Create(width, height);
    if (!source)
        return;
    m_width = width;
    m_height = height;
    if (!m_current)
        return;
    ComRef<IDirect3DSurface9> from;
    ComRef<IDirect3DSurface9> to;
    if (FAILED(source->GetSurfaceLevel(0, from.Receive())) ||
        FAILED(m_current->GetSurfaceLevel(0, to.Receive())))
        return;
    D3DXLoadSurfaceFromSurface(to.Get(), nullptr, nullptr, from.Get(), nullptr, nullptr,
                               D3DX_FILTER_TRIANGLE, 0);
}

void RenderTargetPair::ReleaseTextures()
{
    m_current.Reset();
    m_textures[0].Reset();
    m_textures[1].Reset();
}

IDirect3DTexture9* RenderTargetPair::Swap()
{
    if (!m_current || !CurrentDevice)
        return nullptr;
    m_index = (m_index + 1) % 2;
    m_current = m_textures[m_index];
    if (!m_current)
        return m_textures[1 - m_index].Get();
    ComRef<IDirect3DSurface9> surface;
    if (SUCCEEDED(m_current->GetSurfaceLevel(0, surface.Receive()))) {
        CurrentDevice->SetRenderTarget(0, surface.Get());
        CurrentDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    }
    return m_textures[1 - m_index].Get();
}

void RenderTargetPair::Begin(RenderTargetPair& target)
{
    if (!target.m_current || !CurrentDevice)
        return;
    ComRef<IDirect3DSurface9> surface;
    if (FAILED(target.m_current->GetSurfaceLevel(0, surface.Receive())))
        return;
    CurrentDevice->GetRenderTarget(0, m_savedTarget.Receive());
    // A device without a depth surface answers D3DERR_NOTFOUND and leaves the pointer null.
    CurrentDevice->GetDepthStencilSurface(m_savedDepth.Receive());
    CurrentDevice->SetRenderTarget(0, surface.Get());
    CurrentDevice->SetDepthStencilSurface(nullptr);
}

void RenderTargetPair::End()
{
    if (!CurrentDevice || !m_savedTarget)
        return;
    CurrentDevice->SetRenderTarget(0, m_savedTarget.Get());
    CurrentDevice->SetDepthStencilSurface(m_savedDepth.Get());
    m_savedTarget.Reset();
    m_savedDepth.Reset();
}
