#include "host/MonitorScene.h"

#include <windows.h>
#include <d3d9.h>
#include <mmsystem.h>
#include <dsound.h>

#include "host/MusicPlayer.h"
#include "host/SettingsValues.h"
#include "host/TrackCopyClaims.h"
#include "model/CurrentDevice.h"
#include "model/D3DResourceMakers.h"
#include "model/Vo_DocResManager.h"
#include "runtime/SoundDevice.h"
#include "runtime/Vo_SlideShow_Light.h"

namespace {

const int32_t kSplashPicture = 5;

}  // namespace

MonitorScene::MonitorScene() = default;

MonitorScene::~MonitorScene() = default;

void MonitorScene::DrawSplash(int backBufferWidth, int backBufferHeight)
{
    IDirect3DDevice9* const device = CurrentDevice;
    if (!device)
        return;
    m_splash.ReleaseTexture();
    ComRef<IDirect3DTexture9> texture;
    LoadTextureFromResource(texture, kSplashPicture, false);
    m_splash.SetTexturedQuad(texture.Get(), TexturedQuad::SplashQuad(backBufferWidth, backBufferHeight));
    m_splash.SetQuadAlpha(255, 1.0f);
    if (FAILED(device->BeginScene()))
        return;
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00000000, 1.0f, 0);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetTexture(0, m_splash.Texture());
    if (m_splash.VertexBuffer()) {
        m_splash.BindScreenTexStream();
        device->DrawPrimitive(m_splash.PrimitiveType(), 0, m_splash.PrimitiveCount());
    }
    device->SetTexture(0, nullptr);
    device->EndScene();
    m_splashDrawn = true;
}

bool MonitorScene::StartScene(SceneLoader load, MusicPlayer& player)
{
    m_started = true;
    // The frame that starts the scene draws nothing of it, but is presented all the same: it
    // must show black rather than whatever the back buffer held.
    if (IDirect3DDevice9* const device = CurrentDevice)
        if (SUCCEEDED(device->BeginScene())) {
            device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00000000, 1.0f, 0);
            device->EndScene();
        }
    try {
        m_root = load();
    } catch (...) {
        m_root = nullptr;
    }
    if (!m_root)
        return false;
    m_root->ActivateSlides();
    m_store = CurrentDocResManager;

    std::vector<std::wstring> paths;
    for (const auto& track : m_root->Tracks()) {
        const bool embedded = track->GetData().Size() != 0;
        const vo_string before = track->GetData().Name();
        track->ExtractAudioFileToTemp();
        const vo_string& after = track->GetData().Name();
        if (embedded && !after.empty() && after != before) {
            TrackCopyClaims::Claim(after);
            m_temporaryCopies.push_back(after);
        }
        paths.push_back(after);
    }
    m_root->SetPicturePosition(GetPicturePosition());
    m_cursor.Start(std::move(paths), player);
    ApplyStoredPrimaryVolume();
    return true;
}

void MonitorScene::FrameMove(float time)
{
    if (m_root)
        m_root->FrameMove(time);
}

void MonitorScene::DrawScene()
{
    IDirect3DDevice9* const device = CurrentDevice;
    if (!device || !m_root)
        return;
    if (SUCCEEDED(device->BeginScene()))
        m_root->Render(0);
    device->EndScene();
}

void MonitorScene::PlayNextTrack(int eventCode, MusicPlayer& player)
{
    m_cursor.OnMusicEvent(eventCode, player);
}

void MonitorScene::InvalidateDeviceObjects()
{
    if (m_root)
        m_root->InvalidateDeviceObjects();
}

void MonitorScene::RestoreDeviceObjects()
{
    if (m_root)
        m_root->RestoreDeviceObjects();
}

void MonitorScene::ReleaseScene()
{
    // The root's sound items go before the store whose data they play.
    delete m_root;
    m_root = nullptr;
    if (CurrentDocResManager == m_store)
        CurrentDocResManager = nullptr;
    delete m_store;
    m_store = nullptr;
    for (const std::wstring& path : m_temporaryCopies)
        TrackCopyClaims::Release(path);
    m_temporaryCopies.clear();
}

void ApplyStoredPrimaryVolume()
{
    int volume = 100;
    int mute = 0;
    ReadSoundVolume(&volume);
    ReadMuteSound(&mute);
    if (PrimarySoundBuffer)
        PrimarySoundBuffer->SetVolume(PrimarySoundVolumeLevel(volume, mute != 0));
}
