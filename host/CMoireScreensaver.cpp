#include "host/CMoireScreensaver.h"

#include "host/MusicGraph.h"
#include "host/OpenInBrowser.h"
#include "host/RegistryKey.h"
#include "host/SettingsDialogs.h"
#include "host/SaverErrors.h"
#include "host/SettingsKeyPath.h"
#include "runtime/SoundDevice.h"

#include "model/CurrentDevice.h"
#include "model/Vo_DocResManager.h"
#include "runtime/CurrentScreenView.h"
#include "runtime/LoadSceneDocument.h"

#include <commctrl.h>
#include <mmsystem.h>
#include <dsound.h>
#include <cwchar>

CMoireScreensaver* CurrentMoireSaver = nullptr;

namespace {

const int kTitleString = 1000;
const int kConfigDialog = 106;
const int kSoundDialog = 2214;

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!CurrentMoireSaver)
        return FALSE;
    try {
        return CurrentMoireSaver->HandleConfigDialog(dialog, message, wParam, lParam);
    } catch (...) {
        // An exception must not unwind through the system's dialog code.
        return FALSE;
    }
}

INT_PTR CALLBACK SoundDialogThunk(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!CurrentSaver)
        return FALSE;
    try {
        return CurrentSaver->SoundDialogProc(dialog, message, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}

}  // namespace

CMoireScreensaver::CMoireScreensaver() : m_sceneLoader(LoadSceneDocument)
{
    CurrentMoireSaver = this;
    InitCommonControls();
    wcsncpy(m_settingsKeyPath, kSettingsKeyText, 259);
    wcsncpy(SettingsKeyPath, kSettingsKeyText, 259);
    wchar_t title[200] = {};
    if (LoadStringW(GetModuleHandleW(nullptr), kTitleString, title, 200) > 0)
        std::wcscpy(m_title, title);
    m_useDepthBuffer = true;
}

CMoireScreensaver::~CMoireScreensaver()
{
    // Runs that never ended through the saver's own end (error mode, tests) are cleaned up here.
    ReleaseScene();
    m_currentScene = nullptr;
    CurrentScreenView = nullptr;
    if (CurrentMoireSaver == this)
        CurrentMoireSaver = nullptr;
}

void CMoireScreensaver::ReadSettings() { LoadSettings(); }

HRESULT CMoireScreensaver::AcceptDevice(const D3DCAPS9* caps, DWORD behavior,
                                        D3DFORMAT adapterFormat)
{
    // The lake layer draws its ripples through bump-environment mapping on a V8U8 texture.
    if (!(caps->TextureOpCaps & D3DTEXOPCAPS_BUMPENVMAP))
        return E_FAIL;
    if (!m_d3d || FAILED(m_d3d->CheckDeviceFormat(caps->AdapterOrdinal, caps->DeviceType,
                                                  adapterFormat, 0, D3DRTYPE_TEXTURE,
                                                  D3DFMT_V8U8)))
        return E_FAIL;
    return S_OK;
}

void CMoireScreensaver::OnSelectUnit(int unit)
{
    if (unit < 0 || unit >= kSceneCount)
        return;
    m_currentScene = &m_scenes[unit];
    CurrentDevice = m_device;
    CurrentScreenView = &m_currentScene->View();
    if (Vo_DocResManager* store = m_currentScene->Store())
        CurrentDocResManager = store;
}

HRESULT CMoireScreensaver::DrawUnit()
{
    MonitorScene* const scene = m_currentScene;
    if (!scene || !m_device)
        return S_OK;
    if (scene->Started()) {
        scene->FrameMove(m_time);
        scene->DrawScene();
    } else if (scene->SplashDrawn()) {
        if (!scene->StartScene(m_sceneLoader, m_musicPlayer))
            SetErrorMode(kErrMedia);
    } else {
        scene->DrawSplash(static_cast<int>(m_backBufferDesc.Width),
                          static_cast<int>(m_backBufferDesc.Height));
    }
    return S_OK;
}

HRESULT CMoireScreensaver::ResetDeviceResources()
{
    try {
        CreateDirectSound(m_mainWindow);
        if (m_currentScene)
            m_currentScene->RestoreDeviceObjects();
    } catch (...) {
        SetErrorMode(kErrMedia);
    }
    return S_OK;
}

HRESULT CMoireScreensaver::LoseDeviceResources()
{
    if (PrimarySoundBuffer) {
        PrimarySoundBuffer->SetVolume(0);
        PrimarySoundBuffer->Stop();
    }
    // The graph is not made again in this run: after a reset the music stays silent.
    MusicGraph.Stop();
    ReleaseMusicGraph();
    if (m_currentScene)
        m_currentScene->InvalidateDeviceObjects();
    return S_OK;
}

HRESULT CMoireScreensaver::ReleaseScene()
{
    // The graph lets go of the tracks before their temporary copies are deleted, and the scenes'
    // sound items go while the sound device still exists (it is released at process exit).
    ReleaseMusicGraph();
    for (MonitorScene& scene : m_scenes)
        scene.ReleaseScene();
    return S_OK;
}

void CMoireScreensaver::OnMusicEvent(int eventCode)
{
    if (m_currentScene)
        m_currentScene->PlayNextTrack(eventCode, m_musicPlayer);
}

void CMoireScreensaver::ShowConfigDialog()
{
    // A handle that names no window would make the dialog fail to open at all.
    const HWND owner = (m_parentWindow && IsWindow(m_parentWindow)) ? m_parentWindow : nullptr;
    DialogBoxParamW(m_instance ? m_instance : GetModuleHandleW(nullptr),
                    MAKEINTRESOURCEW(kConfigDialog), owner, ConfigDialogProc, 0);
}

INT_PTR CMoireScreensaver::HandleConfigDialog(HWND dialog, UINT message, WPARAM wParam,
                                              LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowTextW(dialog, m_title);
        // The per-display values read at start are written back, so their subkeys exist.
        SaveSettings();
        FillPicturePositionList(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            StorePicturePositionSelection(dialog);
            SaveSettings();
            EndDialog(dialog, IDOK);
            break;
        case IDCANCEL:
            // Undoes edits made in the display dialog, which only the OK here stores.
            LoadSettings();
            EndDialog(dialog, IDCANCEL);
            break;
        case kSoundSettingsButton:
            DialogBoxParamW(m_instance ? m_instance : GetModuleHandleW(nullptr),
                            MAKEINTRESOURCEW(kSoundDialog), dialog, SoundDialogThunk, 0);
            break;
        case kWebsiteButton:
            OpenInBrowser(kMakerWebsite);
            break;
        case kDisplaySettingsButton:
            ShowDisplayDialog(dialog);
            break;
        }
        return TRUE;
    }
    return FALSE;
}

INT_PTR CMoireScreensaver::SoundDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                           LPARAM lParam)
{
    return HandleSoundDialog(dialog, message, wParam, lParam);
}

void CMoireScreensaver::LoadSettings()
{
    RegistryKey key;
    if (key.Create(HKEY_CURRENT_USER, m_settingsKeyPath))
        ReadScreenSettings(key.Handle());
}

void CMoireScreensaver::SaveSettings()
{
    RegistryKey key;
    if (key.Create(HKEY_CURRENT_USER, m_settingsKeyPath))
        WriteScreenSettings(key.Handle());
}
