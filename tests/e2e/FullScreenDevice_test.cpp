// Device loss on a real full-screen device. Under Wine a full-screen device is lost when its
// window hears WM_ACTIVATEAPP FALSE and waits for a reset after TRUE; windowed devices are never
// lost there, so this needs the full-screen saver's own window and device.
#include "host/CD3DScreensaver.h"

#include <gtest/gtest.h>

namespace {

class LossSaver : public CD3DScreensaver {
public:
    explicit LossSaver(bool keepTargetOnLose) : m_keepTargetOnLose(keepTargetOnLose)
    {
        m_saverMode = kModeFullScreen;
        m_instance = GetModuleHandleW(nullptr);
        m_useDepthBuffer = true;
    }
    ~LossSaver() override
    {
        m_target.Reset();
        ReleaseUnits();
        if (IsWindow(m_mainWindow))
            DestroyWindow(m_mainWindow);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    // Everything the saver does before its loop starts, with a stored display mode when given.
    bool Open(UINT userWidth = 0, UINT userHeight = 0)
    {
        ListMonitors();
        if (FAILED(OpenSaverWindows()))
            return false;
        m_d3d.Attach(Direct3DCreate9(D3D_SDK_VERSION));
        if (!m_d3d || FAILED(EnumerateAdapters()) || m_adapterCount < 1)
            return false;
        m_adapters[0]->userWidth = userWidth;
        m_adapters[0]->userHeight = userHeight;
        m_adapters[0]->userFormat = userWidth ? D3DFMT_X8R8G8B8 : D3DFMT_UNKNOWN;
        CreateUnits();
        return m_unitCount == 1 && !m_errorMode;
    }

    void Frame() { RenderFrame(); }
    const D3DPRESENT_PARAMETERS& Params() const { return m_units[0].presentParams; }
    HRESULT Level() const { return m_units[0].device->TestCooperativeLevel(); }
    HWND DeviceWindow() const { return m_units[0].presentParams.hDeviceWindow; }
    bool Windowed() const { return m_units[0].presentParams.Windowed != FALSE; }
    bool Restored() const { return m_units[0].restored; }

    // A default-pool render target, the kind of object that must be gone before a reset.
    HRESULT ResetDeviceResources() override
    {
        ++restores;
        return m_device->CreateTexture(64, 64, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                       D3DPOOL_DEFAULT, m_target.Receive(), nullptr);
    }
    HRESULT LoseDeviceResources() override
    {
        ++loses;
        if (!m_keepTargetOnLose)
            m_target.Reset();
        return S_OK;
    }
    HRESULT DrawUnit() override
    {
        ++draws;
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

    int restores = 0, loses = 0, draws = 0;

private:
    bool m_keepTargetOnLose;
    ComRef<IDirect3DTexture9> m_target;
};

}  // namespace

TEST(FullScreenDeviceLossTest, LostDeviceSkipsFramesThenIsResetAndRestored)
{
    LossSaver saver(false);
    ASSERT_TRUE(saver.Open());
    ASSERT_FALSE(saver.Windowed());
    EXPECT_EQ(saver.restores, 1);
    saver.Frame();
    EXPECT_EQ(saver.draws, 1);

    SendMessageW(saver.DeviceWindow(), WM_ACTIVATEAPP, FALSE, 0);
    ASSERT_EQ(saver.Level(), D3DERR_DEVICELOST);
    saver.Frame();
    saver.Frame();
    EXPECT_EQ(saver.draws, 1);  // nothing drawn while lost
    EXPECT_EQ(saver.loses, 0);

    SendMessageW(saver.DeviceWindow(), WM_ACTIVATEAPP, TRUE, 0);
    ASSERT_EQ(saver.Level(), D3DERR_DEVICENOTRESET);
    saver.Frame();
    EXPECT_EQ(saver.loses, 1);
    EXPECT_EQ(saver.restores, 2);
    EXPECT_EQ(saver.draws, 2);  // drawn in the frame that reset it
    EXPECT_EQ(saver.Level(), D3D_OK);
    EXPECT_TRUE(saver.Restored());
    EXPECT_FALSE(saver.InErrorMode());
}

TEST(FullScreenDeviceLossTest, ResetRefusedWhileAResourceLivesEntersErrorMode)
{
    // Wine refuses the reset while a default-pool object is alive, as Windows does.
    LossSaver saver(true);
    ASSERT_TRUE(saver.Open());
    saver.Frame();
    SendMessageW(saver.DeviceWindow(), WM_ACTIVATEAPP, FALSE, 0);
    SendMessageW(saver.DeviceWindow(), WM_ACTIVATEAPP, TRUE, 0);
    ASSERT_EQ(saver.Level(), D3DERR_DEVICENOTRESET);
    saver.Frame();
    EXPECT_EQ(saver.loses, 1);
    EXPECT_EQ(saver.restores, 1);  // no restore after the refused reset
    EXPECT_EQ(saver.draws, 1);     // and the unit is not drawn
    EXPECT_TRUE(saver.InErrorMode());
    EXPECT_FALSE(saver.Restored());
}

TEST(FullScreenDeviceTest, DeviceTakesTheDesktopModeAndIgnoresAStoredModeTheAdapterLacks)
{
    for (UINT storedWidth : {0u, 1234u}) {
        LossSaver saver(false);
        ASSERT_TRUE(saver.Open(storedWidth, 567)) << storedWidth;
        const D3DPRESENT_PARAMETERS& pp = saver.Params();
        EXPECT_FALSE(pp.Windowed);
        EXPECT_EQ(pp.BackBufferWidth, static_cast<UINT>(GetSystemMetrics(SM_CXSCREEN)));
        EXPECT_EQ(pp.BackBufferHeight, static_cast<UINT>(GetSystemMetrics(SM_CYSCREEN)));
        EXPECT_EQ(pp.BackBufferFormat, D3DFMT_X8R8G8B8);
        EXPECT_EQ(pp.SwapEffect, D3DSWAPEFFECT_DISCARD);
        EXPECT_EQ(pp.PresentationInterval, D3DPRESENT_INTERVAL_ONE);
        EXPECT_EQ(pp.AutoDepthStencilFormat, D3DFMT_D16);
        EXPECT_EQ(pp.hDeviceWindow, saver.MainWindow());
    }
}
