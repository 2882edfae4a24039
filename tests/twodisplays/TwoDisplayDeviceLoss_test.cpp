// Device loss with two displays, in the two-display Wine world: the full-screen saver's own
// windows and devices, one per display. Under Wine a full-screen device is lost when its focus
// window hears WM_ACTIVATEAPP FALSE and waits for a reset after TRUE.
#include "host/CD3DScreensaver.h"

#include <gtest/gtest.h>

namespace {

class TwoDisplayLossSaver : public CD3DScreensaver {
public:
    TwoDisplayLossSaver()
    {
        m_saverMode = kModeFullScreen;
        m_instance = GetModuleHandleW(nullptr);
        m_useDepthBuffer = true;
    }
    ~TwoDisplayLossSaver() override
    {
        for (auto& target : m_targets)
            target.Reset();
        ReleaseUnits();
        if (IsWindow(m_mainWindow))
            DestroyWindow(m_mainWindow);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    // Everything the saver does before its loop starts; true with a full-screen unit per display.
    bool Open()
    {
        ListMonitors();
        if (FAILED(OpenSaverWindows()))
            return false;
        m_d3d.Attach(Direct3DCreate9(D3D_SDK_VERSION));
        if (!m_d3d || FAILED(EnumerateAdapters()))
            return false;
        CreateUnits();
        return m_unitCount == 2 && !m_errorMode;
    }

    void Frame() { RenderFrame(); }
    int Units() const { return m_unitCount; }
    bool Windowed(int unit) const { return m_units[unit].presentParams.Windowed != FALSE; }
    HWND DeviceWindow(int unit) const { return m_units[unit].presentParams.hDeviceWindow; }
    HRESULT Level(int unit) const { return m_units[unit].device->TestCooperativeLevel(); }
    bool Restored(int unit) const { return m_units[unit].restored; }

    void OnSelectUnit(int unit) override { m_current = unit; }
    // A default-pool render target per device, the kind of object that must be gone before a reset.
    HRESULT ResetDeviceResources() override
    {
        ++restores[m_current];
        return m_device->CreateTexture(64, 64, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                       m_targets[m_current].Receive(), nullptr);
    }
    HRESULT LoseDeviceResources() override
    {
        ++loses[m_current];
        m_targets[m_current].Reset();
        return S_OK;
    }
    HRESULT DrawUnit() override
    {
        ++draws[m_current];
        if (SUCCEEDED(m_device->BeginScene())) {
            m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF203040, 1.0f, 0);
            m_device->EndScene();
        }
        return S_OK;
    }
    // The test plays the focus changes itself; the saver must not end on them here.
    LRESULT HandleMessage(HWND w, UINT m, WPARAM wp, LPARAM lp) override
    {
        if (m == WM_ACTIVATEAPP)
            return DefWindowProcW(w, m, wp, lp);
        return CD3DScreensaver::HandleMessage(w, m, wp, lp);
    }

    int restores[2] = {}, loses[2] = {}, draws[2] = {};

private:
    int m_current = 0;
    ComRef<IDirect3DTexture9> m_targets[2];
};

}  // namespace

// Both devices take the saver's main window as their focus window, and Wine follows a focus
// window for one device only: the first display's. So the loss is provoked there; a lost device
// holds up the whole frame (no display draws or presents, as on Windows, where a focus change
// loses every full-screen device), and after the reset both displays draw again.
TEST(TwoDisplayDeviceLossTest, ALostDeviceHoldsUpBothDisplaysAndAfterItsResetBothDrawAgain)
{
    TwoDisplayLossSaver saver;
    ASSERT_TRUE(saver.Open()) << "units: " << saver.Units();
    ASSERT_FALSE(saver.Windowed(0));
    ASSERT_FALSE(saver.Windowed(1));
    ASSERT_EQ(saver.restores[0], 1);
    ASSERT_EQ(saver.restores[1], 1);
    saver.Frame();
    ASSERT_EQ(saver.draws[0], 1);
    ASSERT_EQ(saver.draws[1], 1);

    SendMessageW(saver.DeviceWindow(0), WM_ACTIVATEAPP, FALSE, 0);
    ASSERT_EQ(saver.Level(0), D3DERR_DEVICELOST);
    saver.Frame();
    saver.Frame();
    EXPECT_EQ(saver.draws[0], 1);
    EXPECT_EQ(saver.draws[1], 1);
    EXPECT_EQ(saver.loses[0], 0);

    SendMessageW(saver.DeviceWindow(0), WM_ACTIVATEAPP, TRUE, 0);
    ASSERT_EQ(saver.Level(0), D3DERR_DEVICENOTRESET);
    saver.Frame();
    // The first display's device is reset and its resources made again; the second keeps its own.
    EXPECT_EQ(saver.loses[0], 1);
    EXPECT_EQ(saver.restores[0], 2);
    EXPECT_EQ(saver.loses[1], 0);
    EXPECT_EQ(saver.restores[1], 1);
    EXPECT_EQ(saver.Level(0), D3D_OK);
    EXPECT_EQ(saver.Level(1), D3D_OK);
    EXPECT_TRUE(saver.Restored(0));
    EXPECT_TRUE(saver.Restored(1));
    // Both draw in the frame of the reset and in the next.
    saver.Frame();
    EXPECT_EQ(saver.draws[0], 3);
    EXPECT_EQ(saver.draws[1], 3);
    EXPECT_FALSE(saver.InErrorMode());
}
