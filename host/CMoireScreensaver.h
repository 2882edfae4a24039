#pragma once
// The application: the screen saver of the scene. It names the title and settings key, asks of
// every device what the scene's layers need, and draws each unit.
#include "host/CD3DScreensaver.h"
#include "host/GraphMusicPlayer.h"
#include "host/MonitorScene.h"

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
    void OnSelectUnit(int unit) override;
    HRESULT DrawUnit() override;
    HRESULT ResetDeviceResources() override;
    HRESULT LoseDeviceResources() override;
    INT_PTR SoundDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;

    // The per-display values under the settings key, read again or written.
    void LoadSettings();
    void SaveSettings();
    void OnMusicEvent(int eventCode) override;
    // After the units are released: the music graph, then every scene's root and store.
    HRESULT ReleaseScene() override;

    // Unit i always uses scene host i.
    static const int kSceneCount = 10;
    MonitorScene& Scene(int unit) { return m_scenes[unit]; }
    MonitorScene* CurrentScene() const { return m_currentScene; }
    // Where the scene hosts get their document; the program's own by default.
    void SetSceneLoader(MonitorScene::SceneLoader load) { m_sceneLoader = load; }

    INT_PTR HandleConfigDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

private:
    MonitorScene m_scenes[kSceneCount];
    MonitorScene* m_currentScene = nullptr;
    MonitorScene::SceneLoader m_sceneLoader;
    GraphMusicPlayer m_musicPlayer;
};
