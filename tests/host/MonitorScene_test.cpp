#include "host/MonitorScene.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <d3d9.h>
#include <mmsystem.h>
#include <dsound.h>

#include <cstdint>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "host/CMoireScreensaver.h"
#include "host/GraphMusicPlayer.h"
#include "host/MusicGraph.h"
#include "host/MusicPlayer.h"
#include "host/SaverErrors.h"
#include "host/SettingsKeyPath.h"
#include "host/SettingsValues.h"
#include "model/CurrentDevice.h"
#include "model/Vo_DocResManager.h"
#include "runtime/CurrentScreenView.h"
#include "runtime/LoadSceneDocument.h"
#include "runtime/SoundDevice.h"
#include "runtime/Vo_SlideShow_Light.h"
#include "support/DeviceFixture.h"
#include "support/OwnTempFolder.h"
#include "support/ProcessSettingsKey.h"
#include "support/TestPaths.h"

namespace {

const ProcessSettingsKey kTestKeys(L"GlimmerSaverSceneHostTests");
const wchar_t* const kTestRoot = kTestKeys.Root();
const wchar_t* const kTestKey = kTestKeys.Settings();
const uint32_t kRed = 0xFFFF0000;
const uint32_t kBlack = 0x00000000;  // the clear colour, alpha included
const uint32_t kGreen = 0xFF00FF00;
const uint32_t kBlue = 0xFF0000FF;

std::vector<uint8_t> s_document;

Vo_SlideShow_Light* LoadTestDocument()
{
    return LoadSceneDocumentFrom(s_document.data(), s_document.data() + s_document.size());
}

std::wstring TempPath(const wchar_t* name)
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

bool FileExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

class RecordingPlayer : public MusicPlayer {
public:
    void PlayTrack(const wchar_t* path) override { calls.push_back(path); }
    void RewindTrack() override { calls.push_back(L"rewind"); }
    std::vector<std::wstring> calls;
};

// The application with a device of the test's own as its current unit.
class SceneSaver : public CMoireScreensaver {
public:
    void UseDevice(IDirect3DDevice9* device, unsigned width, unsigned height)
    {
        m_device = device;
        m_backBufferDesc.Width = width;
        m_backBufferDesc.Height = height;
    }
    void SetFrameTime(float time) { m_time = time; }
};

class MonitorSceneTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        // Tests of this program run side by side and copy the same tracks under the same names.
        ASSERT_TRUE(m_tempFolder.Made());
        std::wcscpy(m_savedKeyPath, SettingsKeyPath);
        m_saver.reset(new SceneSaver());
        // The saver's constructor names the real key; the tests keep to a key of their own.
        std::wcscpy(SettingsKeyPath, kTestKey);
        RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot);
        m_saver->UseDevice(Device(), kSize, kSize);
        s_document = AssembledTestDocument(L"SceneWithTracks.bin");
        ASSERT_FALSE(s_document.empty());
    }

    void TearDown() override
    {
        // The scenes go before the device they were made on.
        m_saver.reset();
        CurrentDevice = nullptr;
        CurrentScreenView = nullptr;
        RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot);
        std::wcscpy(SettingsKeyPath, m_savedKeyPath);
        DeviceFixture::TearDown();
    }

    void FillTarget(uint32_t color)
    {
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET, color, 1.0f, 0);
    }

    void Frame(int unit = 0)
    {
        m_saver->OnSelectUnit(unit);
        m_saver->DrawUnit();
    }

    OwnTempFolder m_tempFolder{L"MonitorSceneTest"};
    std::unique_ptr<SceneSaver> m_saver;
    wchar_t m_savedKeyPath[260] = {};
};

TEST_F(MonitorSceneTest, FirstFrameShowsTheSplashInACentredSquareOnBlack)
{
    FillTarget(kRed);
    Frame();
    EXPECT_TRUE(m_saver->Scene(0).SplashDrawn());
    EXPECT_FALSE(m_saver->Scene(0).Started());

    // Side 2/3 of 64 = 42.7 pixels, from 10.7 to 53.3 on both axes; the picture is green over
    // blue, so it stands the right way up.
    const struct {
        unsigned x, y;
        uint32_t color;
    } cases[] = {
        {32, 14, kGreen}, {12, 30, kGreen}, {51, 30, kGreen}, {32, 50, kBlue}, {12, 34, kBlue},
        {51, 34, kBlue},  {8, 32, kBlack},  {56, 32, kBlack}, {32, 8, kBlack}, {32, 56, kBlack},
        {2, 2, kBlack},   {61, 61, kBlack},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(ColorsNear(PixelAt(c.x, c.y), c.color, 8))
            << c.x << "," << c.y << ": " << std::hex << PixelAt(c.x, c.y);
    if (HasFailure())
        SaveTarget("MonitorScene_splash");
}

TEST_F(MonitorSceneTest, MissingDocumentPutsTheSaverIntoErrorModeInTheSecondFrame)
{
    // The test program holds no scene document, so the program's own loader finds none.
    m_saver->SetSceneLoader(LoadSceneDocument);
    Frame();
    FillTarget(kRed);
    Frame();
    EXPECT_TRUE(m_saver->InErrorMode());
    EXPECT_EQ(m_saver->ErrorCode(), kErrMedia);
    EXPECT_TRUE(m_saver->Scene(0).Started());
    EXPECT_EQ(m_saver->Scene(0).Root(), nullptr);
    // The frame is presented all the same: it shows black, not what the buffer held.
    EXPECT_TRUE(ColorsNear(PixelAt(32, 32), kBlack));
    // Later frames draw nothing and try nothing again.
    FillTarget(kRed);
    Frame();
    EXPECT_TRUE(ColorsNear(PixelAt(32, 32), kRed));
}

TEST_F(MonitorSceneTest, SecondFrameStartsTheSceneAndLaterFramesDrawIt)
{
    m_saver->SetSceneLoader(LoadTestDocument);
    Frame();
    FillTarget(kRed);
    Frame();
    ASSERT_FALSE(m_saver->InErrorMode());
    MonitorScene& scene = m_saver->Scene(0);
    ASSERT_NE(scene.Root(), nullptr);
    EXPECT_EQ(scene.Root()->Slides().size(), 1u);
    EXPECT_NE(scene.Store(), nullptr);
    EXPECT_EQ(scene.Store(), CurrentDocResManager);
    EXPECT_TRUE(ColorsNear(PixelAt(32, 32), kBlack));
    // The embedded tracks were written to the temporary folder, the first one is playing.
    EXPECT_TRUE(FileExists(TempPath(L"scenehost_dawn.mp3")));
    EXPECT_TRUE(FileExists(TempPath(L"scenehost_noon.mp3")));
    EXPECT_EQ(scene.Cursor().Position(), 1u);

    for (float time : {0.5f, 1.0f, 2.0f}) {
        m_saver->SetFrameTime(time);
        Frame();
    }
    EXPECT_FALSE(m_saver->InErrorMode());
    EXPECT_TRUE(scene.Started());
}

TEST_F(MonitorSceneTest, SelectingAUnitSetsTheReferencesOfItsScene)
{
    m_saver->SetSceneLoader(LoadTestDocument);
    Frame(0);
    Frame(0);
    Vo_DocResManager* const store = m_saver->Scene(0).Store();
    ASSERT_NE(store, nullptr);

    m_saver->OnSelectUnit(1);
    EXPECT_EQ(m_saver->CurrentScene(), &m_saver->Scene(1));
    EXPECT_EQ(CurrentDevice, Device());
    EXPECT_EQ(CurrentScreenView, &m_saver->Scene(1).View());
    // A scene without a store leaves the last one current.
    EXPECT_EQ(CurrentDocResManager, store);

    CurrentDocResManager = nullptr;
    m_saver->OnSelectUnit(0);
    EXPECT_EQ(CurrentScreenView, &m_saver->Scene(0).View());
    EXPECT_EQ(CurrentDocResManager, store);
}

TEST_F(MonitorSceneTest, TracksPlayInOrderOnCompletionAndWrap)
{
    CurrentDevice = Device();
    MonitorScene scene;
    RecordingPlayer player;
    ASSERT_TRUE(scene.StartScene(LoadTestDocument, player));
    const std::wstring dawn = TempPath(L"scenehost_dawn.mp3");
    const std::wstring noon = TempPath(L"scenehost_noon.mp3");
    const std::wstring dusk = L"C:\\music\\dusk.mp3";

    scene.PlayNextTrack(2, player);   // not a completion
    scene.PlayNextTrack(-1, player);  // no event
    for (int i = 0; i < 4; ++i)
        scene.PlayNextTrack(1, player);
    const std::vector<std::wstring> expected = {dawn, noon, dusk, dawn, noon};
    EXPECT_EQ(player.calls, expected);

    // The end of the run deletes the copies it made, and only those.
    scene.ReleaseScene();
    EXPECT_EQ(scene.Root(), nullptr);
    EXPECT_EQ(scene.Store(), nullptr);
    EXPECT_FALSE(FileExists(dawn));
    EXPECT_FALSE(FileExists(noon));
}

TEST_F(MonitorSceneTest, DeviceResetDropsAndRestoresTheSceneAndItGoesOnDrawing)
{
    m_saver->SetSceneLoader(LoadTestDocument);
    Frame();
    Frame();
    m_saver->SetFrameTime(0.5f);
    Frame();
    ASSERT_NE(m_saver->Scene(0).Root(), nullptr);

    m_saver->OnSelectUnit(0);
    EXPECT_EQ(m_saver->LoseDeviceResources(), S_OK);
    // Reset refuses while anything of the default pool lives.
    ASSERT_EQ(ResetDevice(), D3D_OK);
    m_saver->UseDevice(Device(), kSize, kSize);
    m_saver->OnSelectUnit(0);
    EXPECT_EQ(m_saver->ResetDeviceResources(), S_OK);
    m_saver->SetFrameTime(1.0f);
    Frame();
    EXPECT_FALSE(m_saver->InErrorMode());
    // A second cycle works as well.
    m_saver->LoseDeviceResources();
    EXPECT_EQ(ResetDevice(), D3D_OK);
}

TEST_F(MonitorSceneTest, PrimaryVolumeFollowsTheStoredSettings)
{
    // The test environment always has a sound server; without one this test has nothing to show.
    CreateDirectSound(Window());
    ASSERT_NE(PrimarySoundBuffer, nullptr) << "no audio device: is the sound server running?";
    const struct {
        int volume, mute;
        long level;
    } cases[] = {{40, 0, -3000}, {100, 0, 0}, {0, 0, -5000}, {40, 1, -10000}};
    for (const auto& c : cases) {
        WriteRegistryValue(c.volume, kSoundVolumeValue);
        WriteRegistryValue(c.mute, kMuteSoundValue);
        ApplyStoredPrimaryVolume();
        LONG level = 1;
        PrimarySoundBuffer->GetVolume(&level);
        EXPECT_EQ(level, c.level) << c.volume << " " << c.mute;
    }
    // Before a reset and at the end the buffer is set to no attenuation and stopped.
    m_saver->OnSelectUnit(0);
    m_saver->LoseDeviceResources();
    LONG level = 1;
    PrimarySoundBuffer->GetVolume(&level);
    EXPECT_EQ(level, 0);
    DWORD status = DSBSTATUS_PLAYING;
    PrimarySoundBuffer->GetStatus(&status);
    EXPECT_FALSE(status & DSBSTATUS_PLAYING);
}

// Two displays: each scene host starts the same scene with its embedded tracks on the one music
// graph. The second host finds the copies that the first one plays and plays them too; the
// graph's completions reach the host made current last, whose tracks must go on playing.
TEST_F(MonitorSceneTest, TwoScenesOfOneProcessShareTheTrackCopiesAndTheMusicGoesOn)
{
    s_document = ReadBuiltFile(L"tests\\e2e\\SceneWithMusic.bin");
    ASSERT_FALSE(s_document.empty());
    ASSERT_EQ(InitMusicGraph(Window()), 1);
    CurrentDevice = Device();
    GraphMusicPlayer player;
    MonitorScene first;
    MonitorScene second;
    ASSERT_TRUE(first.StartScene(LoadTestDocument, player));
    ASSERT_TRUE(second.StartScene(LoadTestDocument, player));

    const std::wstring low = TempPath(L"glimmer_e2e_low.mp3");
    const std::wstring high = TempPath(L"glimmer_e2e_high.mp3");
    for (const MonitorScene* scene : {&first, &second}) {
        ASSERT_EQ(scene->Root()->Tracks().size(), 2u);
        EXPECT_EQ(scene->Root()->Tracks()[0]->GetData().Name(), low);
        EXPECT_EQ(scene->Root()->Tracks()[1]->GetData().Name(), high);
    }

    // Low, high, then low again: each completion is the graph's own, after the track played.
    int completions = 0;
    const ULONGLONG deadline = GetTickCount64() + 20000;
    while (completions < 3 && GetTickCount64() < deadline) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        const int code = GetMusicEvent();
        if (code == -1) {
            Sleep(10);
            continue;
        }
        completions += code == 1 ? 1 : 0;
        second.PlayNextTrack(code, player);
    }
    EXPECT_EQ(completions, 3);
    EXPECT_EQ(second.Cursor().Position(), 2u);

    // The copies go with the last host that plays them.
    ReleaseMusicGraph();
    first.ReleaseScene();
    EXPECT_TRUE(FileExists(low));
    EXPECT_TRUE(FileExists(high));
    second.ReleaseScene();
    EXPECT_FALSE(FileExists(low));
    EXPECT_FALSE(FileExists(high));
}

}  // namespace
