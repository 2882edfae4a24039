#pragma once
// The screen-saver framework: reads the mode, lists the displays, opens the saver windows,
// creates Direct3D and the devices, runs the idle frame loop with device-loss handling, shows
// failures and ends the saver. The application derives from it and fills in the hooks.
#include <windows.h>
#include <d3d9.h>

#include "host/SaverMode.h"
#include "host/SaverRecords.h"
#include "host/UnitFrameOps.h"

#include <vector>

class CD3DScreensaver;

// The one saver object; the window and dialog procedures reach it through this.
extern CD3DScreensaver* CurrentSaver;

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The display-settings dialog's procedure; hands every message to the current saver.
INT_PTR CALLBACK DisplayDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

class CD3DScreensaver : public UnitFrameOps {
public:
    CD3DScreensaver();
    ~CD3DScreensaver() override;
    CD3DScreensaver(const CD3DScreensaver&) = delete;
    CD3DScreensaver& operator=(const CD3DScreensaver&) = delete;

    virtual HRESULT Initialize(HINSTANCE instance);
    virtual int Execute();
    virtual void ShowConfigDialog() {}
    virtual void ShowInfoDialog(HWND parent) {}
    virtual void ReadSettings() {}
    virtual void PaintErrorBox(HWND window, HDC dc);
    virtual LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual INT_PTR SoundDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
    {
        return 0;
    }
    virtual void DescribeDevices() {}
    virtual void UpdateFrameStats() {}
    virtual BOOL GetErrorText(HRESULT code, wchar_t* buffer, unsigned bufferChars);
    virtual void OnSelectUnit(int unit) {}
    virtual HRESULT PrepareEnumeration() { return S_OK; }
    virtual HRESULT AcceptDevice(const D3DCAPS9* caps, DWORD behavior, D3DFORMAT adapterFormat)
    {
        return S_OK;
    }
    virtual HRESULT CheckCreatedDevice(IDirect3DDevice9* device) { return S_OK; }
    virtual HRESULT PrepareScene() { return S_OK; }
    virtual HRESULT CreateDeviceResources() { return S_OK; }
    HRESULT ResetDeviceResources() override { return S_OK; }
    virtual HRESULT AdvanceFrame() { return S_OK; }
    HRESULT DrawUnit() override { return S_OK; }
    HRESULT LoseDeviceResources() override { return S_OK; }
    virtual HRESULT DestroyDeviceResources() { return S_OK; }
    virtual HRESULT ReleaseScene() { return S_OK; }
    virtual void OnMusicEvent(int eventCode) {}

    // Shows the failure text in a message box; returns the code.
    HRESULT ShowError(HRESULT code);
    void ChangePassword();
    // Ends the run on user input, deactivation or suspend: acts only in the full-screen and
    // test modes.
    void InterruptSaver();
    // Ends the run when a saver window is destroyed.
    void EndSaver();

    HRESULT RunSaverLoop();
    void RenderFrame();
    void SelectUnit(int unit) override;

    // The modal display-settings dialog: 200 for one adapter, 201 with a tab per display.
    void ShowDisplayDialog(HWND parent);
    INT_PTR HandleDisplayDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    // Registers "D3DSaverWndClass"; true when it is registered.
    bool RegisterSaverWindowClass();

    SaverMode Mode() const { return m_saverMode; }
    HWND MainWindow() const { return m_mainWindow; }
    bool InErrorMode() const { return m_errorMode; }
    HRESULT ErrorCode() const { return m_errorCode; }
    const wchar_t* Title() const { return m_title; }

protected:
    void ListMonitors();
    HRESULT OpenSaverWindows();
    HRESULT EnumerateAdapters();
    void CreateUnits();
    HRESULT CreateFullScreenUnit(RenderUnit& unit);
    HRESULT CreateWindowedUnit(RenderUnit& unit);
    HRESULT ConfirmBehavior(const AdapterRecord& adapter, int adapterIndex, const DeviceRecord& record,
                            D3DFORMAT format, DWORD* behavior, D3DFORMAT* depthFormat);
    bool PickDeviceDepthFormat(int adapterIndex, D3DDEVTYPE type, D3DFORMAT format,
                               D3DFORMAT* depthFormat);
    bool OfferVertexProcessing(const D3DCAPS9& caps, D3DFORMAT format, DWORD* behavior);
    void ReleaseUnits();
    // Releases the unit's device; the current device is cleared when it was this one.
    static void ReleaseUnitDevice(RenderUnit& unit);
    void AnimateErrorBox();
    void SetErrorMode(HRESULT code);
    void HandleMouseMove(LPARAM lParam);
    void StoreFallbackMode(int adapterIndex, const DisplayModeEntry& mode);
    // The per-display values under the settings key (leave black, disable hardware, user mode).
    void ReadScreenSettings(HKEY settingsKey);
    void WriteScreenSettings(HKEY settingsKey);
    void FreeAdapters();
    // Shows the selected display's values in the display-settings dialog.
    void FillDisplayPage(HWND dialog);
    int SelectedDisplay(HWND dialog, bool filling) const;
    AdapterRecord* DisplayAdapter(int display) const;
    bool PreviewParentGone() const;

    // UnitFrameOps, over the real units.
    int UnitCount() const override { return m_unitCount; }
    bool UnitHasDevice(int i) const override;
    HRESULT TestUnitCooperativeLevel(int i) override;
    void BeforeUnitReset(int i) override;
    HRESULT ResetUnitDevice(int i) override;
    bool UnitRestored(int i) const override;
    void SetUnitRestored(int i, bool restored) override;
    void EnterResetErrorMode() override;
    void PresentUnit(int i) override;

    SaverMode m_saverMode = kModeConfig;
    int m_allScreensSame = 0;
    // The adapter records and reverse-order choice as the display dialog found them, put back
    // on Cancel; empty while the dialog is closed.
    std::vector<AdapterRecord> m_savedAdapters;
    int m_savedAllScreensSame = 0;
    HWND m_mainWindow = nullptr;
    HWND m_parentWindow = nullptr;
    HINSTANCE m_instance = nullptr;
    bool m_previewSettling = false;
    int m_mouseMoveCount = 0;
    bool m_windowed = false;
    bool m_errorMode = false;
    HRESULT m_errorCode = S_OK;
    wchar_t m_errorText[400] = {};

    MonitorRecord m_monitors[kMaxMonitors] = {};
    int m_monitorCount = 0;
    RenderUnit m_units[kMaxUnits] = {};
    int m_unitCount = 0;
    AdapterRecord* m_adapters[kMaxAdapters] = {};
    int m_adapterCount = 0;

    ComRef<IDirect3D9> m_d3d;
    IDirect3DDevice9* m_device = nullptr;  // the current unit's, borrowed
    RECT m_windowRect = {};
    RECT m_screenRect = {};
    D3DSURFACE_DESC m_backBufferDesc = {};
    wchar_t m_title[200] = {};

    bool m_allowReference = false;
    bool m_useDepthBuffer = false;
    bool m_multithreaded = false;
    bool m_oneScreenOnly = false;
    wchar_t m_settingsKeyPath[260] = {};
    unsigned m_minDepthBits = 16;
    unsigned m_minStencilBits = 0;
    D3DSWAPEFFECT m_fullScreenSwapEffect = D3DSWAPEFFECT_DISCARD;
    D3DSWAPEFFECT m_windowedSwapEffect = D3DSWAPEFFECT_COPY;

    float m_time = 0;
    float m_frameTime = 0;
};
