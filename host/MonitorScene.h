#pragma once
// The scene host of one render unit: the splash picture in the unit's first frame, the scene's
// start in the second, and from then on the scene moved to the frame's time and drawn.
#include <string>
#include <vector>

#include "host/MusicTrackCursor.h"
#include "runtime/ScreenView.h"
#include "runtime/TexturedQuad.h"

class MusicPlayer;
class Vo_DocResManager;
class Vo_SlideShow_Light;

class MonitorScene {
public:
    // Makes a new root from the scene document and makes the document's store current; throws
    // when the document is missing or damaged.
    using SceneLoader = Vo_SlideShow_Light* (*)();

    MonitorScene();
    ~MonitorScene();
    MonitorScene(const MonitorScene&) = delete;
    MonitorScene& operator=(const MonitorScene&) = delete;

    // The program's splash picture in a centred square of two thirds of the back-buffer height,
    // on black. A failed BeginScene leaves it undrawn, to be tried again next frame.
    void DrawSplash(int backBufferWidth, int backBufferHeight);

    // Loads the document, activates its slides, writes its music tracks to the temporary folder,
    // applies the stored picture position, plays the first track and sets the primary sound
    // volume. The back buffer is cleared so that the frame presents no stale content. False when
    // the document could not be loaded: the host then stays started without a root.
    bool StartScene(SceneLoader load, MusicPlayer& player);

    void FrameMove(float time);
    void DrawScene();

    // A music event: on a completion the next track plays (a single one is rewound).
    void PlayNextTrack(int eventCode, MusicPlayer& player);

    // Device reset: the scene's default-pool objects (the store's included) go before the reset
    // and come back after it.
    void InvalidateDeviceObjects();
    void RestoreDeviceObjects();

    // At the end of the run: destroys the root and the store and gives up the temporary copies of
    // the music tracks, deleting those that no other scene host or saver uses. The music graph
    // must have let go of them first.
    void ReleaseScene();

    bool Started() const { return m_started; }
    bool SplashDrawn() const { return m_splashDrawn; }
    Vo_SlideShow_Light* Root() const { return m_root; }
    Vo_DocResManager* Store() const { return m_store; }
    ScreenView& View() { return m_view; }
    const TexturedQuad& Splash() const { return m_splash; }
    const MusicTrackCursor& Cursor() const { return m_cursor; }

private:
    TexturedQuad m_splash;
    Vo_SlideShow_Light* m_root = nullptr;
    Vo_DocResManager* m_store = nullptr;
    ScreenView m_view;
    MusicTrackCursor m_cursor;
    // The copies in the temporary folder that this host's tracks play, each claimed once.
    std::vector<std::wstring> m_temporaryCopies;
    bool m_started = false;
    bool m_splashDrawn = false;
};

// The primary sound buffer's volume from the stored settings, set when a scene starts.
void ApplyStoredPrimaryVolume();
