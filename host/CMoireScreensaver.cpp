#include "host/CMoireScreensaver.h"

#include "host/MusicGraph.h"
#include "host/OpenInBrowser.h"
#include "host/RegistryKey.h"
#include "host/SettingsDialogs.h"
#include "host/SettingsKeyPath.h"
#include "runtime/SoundDevice.h"

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

CMoireScreensaver::CMoireScreensaver()
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

HRESULT CMoireScreensaver::DrawUnit()
{
    if (!m_device)
        return S_OK;
    if (SUCCEEDED(m_device->BeginScene())) {
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00000000, 1.0f, 0);
        m_device->EndScene();
    }
    return S_OK;
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

HRESULT CMoireScreensaver::ResetDeviceResources()
{
    // Only the first unit's call makes the device; its cooperative level is set for the main
    // window. Without an audio device the saver stays silent.
    CreateDirectSound(m_mainWindow);
    return S_OK;
}

HRESULT CMoireScreensaver::LoseDeviceResources()
{
    if (PrimarySoundBuffer) {
        PrimarySoundBuffer->SetVolume(DSBVOLUME_MAX);
        PrimarySoundBuffer->Stop();
    }
    // The graph is not made again during the run: after a device reset the music stays silent.
    MusicGraph.Stop();
    ReleaseMusicGraph();
    return S_OK;
}
