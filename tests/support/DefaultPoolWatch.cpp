#include "support/DefaultPoolWatch.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include <algorithm>

#include <sstream>

#include "model/ComRef.h"
#include "support/EffectBytes.h"
#include "support/MethodPatch.h"
#include "support/MethodSlots.h"

namespace {

struct Made {
    IUnknown* resource;
    std::string what;
};

struct WatchState {
    std::vector<Made> made;
    // Watched resources that an effect still held when it was told the device is lost.
    std::vector<std::string> boundAtLoss;
    size_t madeCount = 0;
    std::string phase = "start";
    void* originals[9] = {};
};

WatchState* s_watch = nullptr;

enum Method {
    kTexture, kVolumeTexture, kCubeTexture, kVertexBuffer, kIndexBuffer, kRenderTarget, kDepthSurface,
    kOffscreenSurface, kEffectOnLostDevice
};

void Note(HRESULT hr, IUnknown* resource, const std::string& what)
{
    if (FAILED(hr) || !resource || !s_watch)
        return;
    resource->AddRef();
    ++s_watch->madeCount;
    std::ostringstream text;
    text << what << ", made in " << s_watch->phase;
    s_watch->made.push_back({resource, text.str()});
}

template <class F>
F Original(Method m)
{
    return reinterpret_cast<F>(s_watch->originals[m]);
}

std::string Size(UINT w, UINT h) { return std::to_string(w) + " x " + std::to_string(h); }

HRESULT STDMETHODCALLTYPE CreateTexture(IDirect3DDevice9* self, UINT w, UINT h, UINT levels, DWORD usage,
                                        D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** out, HANDLE* shared)
{
    using F = decltype(&CreateTexture);
    const HRESULT hr = Original<F>(kTexture)(self, w, h, levels, usage, format, pool, out, shared);
    if (pool == D3DPOOL_DEFAULT && out)
        Note(hr, *out, std::string(usage & D3DUSAGE_RENDERTARGET ? "render-target texture " : "default-pool texture ") + Size(w, h));
    return hr;
}

HRESULT STDMETHODCALLTYPE CreateVolumeTexture(IDirect3DDevice9* self, UINT w, UINT h, UINT d, UINT levels, DWORD usage,
                                              D3DFORMAT format, D3DPOOL pool, IDirect3DVolumeTexture9** out,
                                              HANDLE* shared)
{
    using F = decltype(&CreateVolumeTexture);
    const HRESULT hr = Original<F>(kVolumeTexture)(self, w, h, d, levels, usage, format, pool, out, shared);
    if (pool == D3DPOOL_DEFAULT && out)
        Note(hr, *out, "default-pool volume texture " + Size(w, h) + " x " + std::to_string(d));
    return hr;
}

HRESULT STDMETHODCALLTYPE CreateCubeTexture(IDirect3DDevice9* self, UINT edge, UINT levels, DWORD usage,
                                            D3DFORMAT format, D3DPOOL pool, IDirect3DCubeTexture9** out, HANDLE* shared)
{
    using F = decltype(&CreateCubeTexture);
    const HRESULT hr = Original<F>(kCubeTexture)(self, edge, levels, usage, format, pool, out, shared);
    if (pool == D3DPOOL_DEFAULT && out)
        Note(hr, *out, "default-pool cube texture " + std::to_string(edge));
    return hr;
}

HRESULT STDMETHODCALLTYPE CreateVertexBuffer(IDirect3DDevice9* self, UINT length, DWORD usage, DWORD fvf,
                                             D3DPOOL pool, IDirect3DVertexBuffer9** out, HANDLE* shared)
{
    using F = decltype(&CreateVertexBuffer);
    const HRESULT hr = Original<F>(kVertexBuffer)(self, length, usage, fvf, pool, out, shared);
    if (pool == D3DPOOL_DEFAULT && out)
        Note(hr, *out, "default-pool vertex buffer of " + std::to_string(length) + " bytes");
    return hr;
}

HRESULT STDMETHODCALLTYPE CreateIndexBuffer(IDirect3DDevice9* self, UINT length, DWORD usage, D3DFORMAT format,
                                            D3DPOOL pool, IDirect3DIndexBuffer9** out, HANDLE* shared)
{
    using F = decltype(&CreateIndexBuffer);
    const HRESULT hr = Original<F>(kIndexBuffer)(self, length, usage, format, pool, out, shared);
    if (pool == D3DPOOL_DEFAULT && out)
        Note(hr, *out, "default-pool index buffer of " + std::to_string(length) + " bytes");
    return hr;
}

HRESULT STDMETHODCALLTYPE CreateRenderTarget(IDirect3DDevice9* self, UINT w, UINT h, D3DFORMAT format,
                                             D3DMULTISAMPLE_TYPE samples, DWORD quality, BOOL lockable,
                                             IDirect3DSurface9** out, HANDLE* shared)
{
    using F = decltype(&CreateRenderTarget);
    const HRESULT hr = Original<F>(kRenderTarget)(self, w, h, format, samples, quality, lockable, out, shared);
    if (out)
        Note(hr, *out, "render-target surface " + Size(w, h));
    return hr;
}

HRESULT STDMETHODCALLTYPE CreateDepthStencilSurface(IDirect3DDevice9* self, UINT w, UINT h, D3DFORMAT format,
                                                    D3DMULTISAMPLE_TYPE samples, DWORD quality, BOOL discard,
                                                    IDirect3DSurface9** out, HANDLE* shared)
{
    using F = decltype(&CreateDepthStencilSurface);
    const HRESULT hr = Original<F>(kDepthSurface)(self, w, h, format, samples, quality, discard, out, shared);
    if (out)
        Note(hr, *out, "depth surface " + Size(w, h));
    return hr;
}

HRESULT STDMETHODCALLTYPE CreateOffscreenPlainSurface(IDirect3DDevice9* self, UINT w, UINT h, D3DFORMAT format,
                                                      D3DPOOL pool, IDirect3DSurface9** out, HANDLE* shared)
{
    using F = decltype(&CreateOffscreenPlainSurface);
    const HRESULT hr = Original<F>(kOffscreenSurface)(self, w, h, format, pool, out, shared);
    if (pool == D3DPOOL_DEFAULT && out)
        Note(hr, *out, "default-pool surface " + Size(w, h));
    return hr;
}

bool IsTextureType(D3DXPARAMETER_TYPE type)
{
    return type == D3DXPT_TEXTURE || type == D3DXPT_TEXTURE1D || type == D3DXPT_TEXTURE2D ||
           type == D3DXPT_TEXTURE3D || type == D3DXPT_TEXTURECUBE;
}

// Before the effect lets go of what the device loses, notes every watched texture still set on
// one of its parameters. D3DX holds a reference to each texture set on an effect; Wine's effect
// happens to drop default-pool ones here, which the scene code must not count on.
HRESULT STDMETHODCALLTYPE EffectOnLostDevice(ID3DXEffect* self)
{
    D3DXEFFECT_DESC desc = {};
    if (SUCCEEDED(self->GetDesc(&desc)))
        for (UINT i = 0; i < desc.Parameters; ++i) {
            D3DXHANDLE parameter = self->GetParameter(nullptr, i);
            D3DXPARAMETER_DESC parameterDesc = {};
            if (!parameter || FAILED(self->GetParameterDesc(parameter, &parameterDesc)) ||
                !IsTextureType(parameterDesc.Type))
                continue;
            ComRef<IDirect3DBaseTexture9> texture;
            if (FAILED(self->GetTexture(parameter, texture.Receive())) || !texture)
                continue;
            IUnknown* bound = texture.Get();
            const auto made = std::find_if(s_watch->made.begin(), s_watch->made.end(),
                                           [bound](const Made& m) { return m.resource == bound; });
            if (made != s_watch->made.end())
                s_watch->boundAtLoss.push_back(made->what + ", still set on the effect's \"" +
                                               parameterDesc.Name + "\" when the device was lost");
        }
    using F = decltype(&EffectOnLostDevice);
    return Original<F>(kEffectOnLostDevice)(self);
}

}  // namespace

DefaultPoolWatch::DefaultPoolWatch(IDirect3DDevice9* device)
{
    if (s_watch) {
        ADD_FAILURE() << "a default-pool watch is already running";
        return;
    }
    s_watch = new WatchState();
    m_watching = true;
    const struct {
        Method method;
        unsigned slot;
        void* replacement;
    } methods[] = {
        {kTexture, kCreateTextureSlot, reinterpret_cast<void*>(&CreateTexture)},
        {kVolumeTexture, kCreateVolumeTextureSlot, reinterpret_cast<void*>(&CreateVolumeTexture)},
        {kCubeTexture, kCreateCubeTextureSlot, reinterpret_cast<void*>(&CreateCubeTexture)},
        {kVertexBuffer, kCreateVertexBufferSlot, reinterpret_cast<void*>(&CreateVertexBuffer)},
        {kIndexBuffer, kCreateIndexBufferSlot, reinterpret_cast<void*>(&CreateIndexBuffer)},
        {kRenderTarget, kCreateRenderTargetSlot, reinterpret_cast<void*>(&CreateRenderTarget)},
        {kDepthSurface, kCreateDepthStencilSurfaceSlot, reinterpret_cast<void*>(&CreateDepthStencilSurface)},
        {kOffscreenSurface, kCreateOffscreenPlainSurfaceSlot, reinterpret_cast<void*>(&CreateOffscreenPlainSurface)},
    };
    for (const auto& m : methods) {
        m_patches.push_back(std::make_unique<MethodPatch>(device, m.slot, m.replacement));
        s_watch->originals[m.method] = m_patches.back()->Original();
    }
    // Every effect shares the table of this one.
    const std::vector<uint8_t> bytes = AlphaBlendEffectBytes();
    ComRef<ID3DXEffect> effect;
    if (FAILED(D3DXCreateEffect(device, bytes.data(), static_cast<UINT>(bytes.size()), nullptr, nullptr, 0, nullptr,
                                effect.Receive(), nullptr)) || !effect) {
        ADD_FAILURE() << "no effect whose table the watch could patch";
        return;
    }
    m_patches.push_back(std::make_unique<MethodPatch>(effect.Get(), kEffectOnLostDeviceSlot,
                                                      reinterpret_cast<void*>(&EffectOnLostDevice)));
    s_watch->originals[kEffectOnLostDevice] = m_patches.back()->Original();
}

DefaultPoolWatch::~DefaultPoolWatch()
{
    m_patches.clear();
    if (!m_watching)
        return;
    ReleaseAndListHeld();
    delete s_watch;
    s_watch = nullptr;
}

std::vector<std::string> DefaultPoolWatch::ReleaseAndListHeld()
{
    std::vector<std::string> held;
    if (!s_watch)
        return held;
    held.swap(s_watch->boundAtLoss);
    for (const Made& made : s_watch->made) {
        const ULONG others = made.resource->Release();
        if (others > 0)
            held.push_back(made.what + " (" + std::to_string(others) + " reference" + (others == 1 ? "" : "s") + " held)");
    }
    s_watch->made.clear();
    return held;
}

size_t DefaultPoolWatch::MadeCount() const { return s_watch ? s_watch->madeCount : 0; }

void DefaultPoolWatch::SetPhase(const std::string& phase)
{
    if (s_watch)
        s_watch->phase = phase;
}
