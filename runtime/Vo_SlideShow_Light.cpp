#include "runtime/Vo_SlideShow_Light.h"

#include <d3d9.h>

#include "model/ClassReaderRegistries.h"
#include "model/D3DResourceMakers.h"
#include "model/Vo_DocResManager.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/ScreenQuad.h"
#include "runtime/Vo_2D_Light.h"

namespace {

// The overlay's triangle strip over the back buffer, and what it draws while fully transparent.
const UINT kOverlayPrimitives = 2;
const UINT kTransparentOverlayPrimitives = 0;

}  // namespace

Vo_SlideShow_Light::Vo_SlideShow_Light() : m_currentSlide(nullptr)
{
}

Vo_SlideShow_Light::~Vo_SlideShow_Light()
{
    m_overlay.reset();
    m_tracks.clear();
    m_slides.clear();
    m_currentSlide.Release();
}

bool Vo_SlideShow_Light::LoadSlides(Vo_IOF_Virtual& stream)
{
    int32_t count = 0;
    stream.ReadInt(count);
    if (stream.Failed() || count < 0)
        return false;
    for (int32_t i = 0; i < count; ++i) {
        CountedHandle<Vo_SlideContainer> slide(ReadSlideRecord(stream));
        if (!slide)
            return false;
        m_slides.push_back(slide);
        if (stream.Failed() || !slide->LoadedCompletely())
            return false;
    }
    return true;
}

bool Vo_SlideShow_Light::LoadAudioFiles(Vo_IOF_Virtual& stream)
{
    int32_t count = 0;
    stream.ReadInt(count);
    if (stream.Failed() || count < 0)
        return false;
    for (int32_t i = 0; i < count; ++i) {
        m_tracks.push_back(CountedHandle<Vo_AudioFile>(ReadAudioFileRecord(stream).release()));
        if (stream.Failed())
            return false;
    }
    return true;
}

Vo_SlideShow_Light* ReadRootSlideShow(Vo_IOF_Virtual& stream)
{
    vo_string className;
    int32_t version = 0;
    stream.ReadString(className);
    stream.ReadInt(version);
    std::unique_ptr<Vo_SlideShow_Light> root(new Vo_SlideShow_Light());
    if (!root->LoadSlides(stream) || !root->LoadAudioFiles(stream) || stream.Failed())
        return nullptr;
    // Nothing could be shown: every frame needs a slide.
    if (root->Slides().empty())
        return nullptr;
    return root.release();
}

void Vo_SlideShow_Light::ActivateSlides()
{
    for (const auto& slide : m_slides)
        slide->Activate();
}

void Vo_SlideShow_Light::SetPicturePosition(int mode)
{
    for (const auto& slide : m_slides)
        slide->SetPicturePosition(mode);
}

void Vo_SlideShow_Light::ShowSlide()
{
    Vo_SlideContainer* slide = m_currentSlide.Get();
    if (!slide)
        return;
    D3DSURFACE_DESC desc = {};
    GetBackBufferDesc(desc);
    if (desc.Width != 0)
        slide->Layout(static_cast<int>(desc.Width), static_cast<int>(desc.Height));
    if (CountedHandle<Vo_2D_Light> layer = slide->GetLight())
        ResetCameraSway(*layer);
    slide->Restore();
    slide->SetTrackObjectsEnabled(true);
}

void Vo_SlideShow_Light::CreateOverlay()
{
    D3DSURFACE_DESC desc = {};
    GetBackBufferDesc(desc);
    ScreenQuad quad;
    InitBackBufferQuad(quad, static_cast<float>(desc.Width), static_cast<float>(desc.Height));
    m_overlay.reset(new Vo_SimpleMesh<DX_V::PCT>());
    m_overlay->SetQuadWithColor(0x00000000, quad);
    m_overlay->SetPrimitiveCount(kTransparentOverlayPrimitives);
}

void Vo_SlideShow_Light::SetOverlayAlpha(float alpha)
{
    if (!m_overlay)
        return;
    m_overlay->SetCornerAlphas(alpha, alpha, alpha, alpha);
    // A transparent overlay blends to exactly the image under it: the layer still sets its
    // states (the next frame's draws see them as always) but draws no primitive, which would
    // write every pixel of the screen to no effect.
    m_overlay->SetPrimitiveCount(AlphaByteFromFloat(alpha) ? kOverlayPrimitives : kTransparentOverlayPrimitives);
}

HRESULT Vo_SlideShow_Light::FrameMove(float time)
{
    if (m_slides.empty())
        return S_OK;
    if (!m_currentSlide || !m_overlay) {
        m_currentSlide = m_slides[0];
        m_schedule.Start(time, m_currentSlide->Times());
        ShowSlide();
        CreateOverlay();
    } else if (m_slides.size() >= 2) {
        if (m_schedule.Advance(time, m_currentSlide->Times(), m_slides.size())) {
            m_currentSlide->SetTrackObjectsEnabled(false);
            m_currentSlide = m_slides[m_schedule.CurrentIndex()];
            ShowSlide();
        }
        SetOverlayAlpha(m_schedule.OverlayAlpha(time, m_currentSlide->Times()));
    }
    m_currentSlide->Update(time);
    return S_OK;
}

HRESULT Vo_SlideShow_Light::Render(int nested)
{
    Vo_SlideContainer* slide = m_currentSlide.Get();
    if (!slide)
        return S_OK;
    slide->Render(nested);
    slide->EndRender(nested);
    if (m_overlay)
        if (CountedHandle<Vo_2D_Light> layer = slide->GetLight())
            layer->DrawOverlayQuad(m_overlay.get());
    return S_OK;
}

HRESULT Vo_SlideShow_Light::InvalidateDeviceObjects()
{
    for (const auto& slide : m_slides)
        slide->InvalidateDeviceObjects();
    // The store's render-target pairs, effects and fonts live in the default pool too.
    if (CurrentDocResManager)
        CurrentDocResManager->OnLostDevice();
    return S_OK;
}

HRESULT Vo_SlideShow_Light::RestoreDeviceObjects()
{
    if (Vo_SlideContainer* slide = m_currentSlide.Get())
        if (CountedHandle<Vo_2D_Light> layer = slide->GetLight())
            layer->RestoreDeviceObjects();
    return S_OK;
}
