#pragma once
// The application: the screen saver of the scene. It names the title and settings key, asks of
// every device what the scene's layers need, and draws each unit.
#include "host/CD3DScreensaver.h"

class CMoireScreensaver;

// The application object; the configuration dialog reaches it through this.
extern CMoireScreensaver* CurrentMoireSaver;

class CMoireScreensaver : public CD3DScreensaver {
public:
    CMoireScreensaver();
    ~CMoireScreensaver() override;

    void ShowConfigDialog() override;
    void ReadSettings() override;
    HRESULT AcceptDevice(const D3DCAPS9* caps, DWORD behavior, D3DFORMAT adapterFormat) override;
    HRESULT DrawUnit() override;
    HRESULT ResetDeviceResources() override;
    HRESULT LoseDeviceResources() override;
    INT_PTR SoundDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;

    // The per-display values under the settings key, read again or written.
    void LoadSettings();
    void SaveSettings();

    INT_PTR HandleConfigDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
};
