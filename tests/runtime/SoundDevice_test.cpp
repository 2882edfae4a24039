#include "runtime/SoundDevice.h"

#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <gtest/gtest.h>

// The test environment runs a PulseAudio null sink, so a device exists here; the run without
// one is in the host tests (NoAudioDevice), which start a child process without a sound server.

namespace {

class SoundDeviceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_window = CreateWindowExW(0, L"STATIC", L"sound", WS_POPUP, 0, 0, 8, 8, nullptr,
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(m_window, nullptr);
    }
    void TearDown() override
    {
        ReleasePrimarySoundBuffer();
        ReleaseSoundDevice();
        DestroyWindow(m_window);
    }
    HWND m_window = nullptr;
};

}  // namespace

TEST_F(SoundDeviceTest, MakesTheDeviceAndAPlayingPrimaryBufferOnce)
{
    ASSERT_TRUE(CreateDirectSound(m_window));
    ASSERT_NE(SoundDevice, nullptr);
    ASSERT_NE(PrimarySoundBuffer, nullptr);
    EXPECT_EQ(SoundBufferFlags, static_cast<unsigned long>(DSBCAPS_STICKYFOCUS));

    DSBCAPS caps = {};
    caps.dwSize = sizeof(caps);
    ASSERT_EQ(PrimarySoundBuffer->GetCaps(&caps), DS_OK);
    EXPECT_TRUE(caps.dwFlags & DSBCAPS_PRIMARYBUFFER);
    EXPECT_TRUE(caps.dwFlags & DSBCAPS_CTRLVOLUME);
    DWORD status = 0;
    ASSERT_EQ(PrimarySoundBuffer->GetStatus(&status), DS_OK);
    EXPECT_TRUE(status & DSBSTATUS_PLAYING);
    EXPECT_TRUE(status & DSBSTATUS_LOOPING);

    // The volume the host sets at the scene start reaches the buffer.
    ASSERT_EQ(PrimarySoundBuffer->SetVolume(PrimarySoundVolumeLevel(40, false)), DS_OK);
    LONG volume = 0;
    ASSERT_EQ(PrimarySoundBuffer->GetVolume(&volume), DS_OK);
    EXPECT_EQ(volume, -3000);

    // Later calls (further render units, device resets) make nothing new.
    IDirectSound8* device = SoundDevice;
    IDirectSoundBuffer* primary = PrimarySoundBuffer;
    EXPECT_TRUE(CreateDirectSound(m_window));
    EXPECT_EQ(SoundDevice, device);
    EXPECT_EQ(PrimarySoundBuffer, primary);
}

TEST_F(SoundDeviceTest, ReleaseClearsBothAndIsSafeTwice)
{
    ASSERT_TRUE(CreateDirectSound(m_window));
    ReleasePrimarySoundBuffer();
    ReleaseSoundDevice();
    EXPECT_EQ(PrimarySoundBuffer, nullptr);
    EXPECT_EQ(SoundDevice, nullptr);
    ReleasePrimarySoundBuffer();
    ReleaseSoundDevice();
    // With the device gone the next call makes a new one.
    EXPECT_TRUE(CreateDirectSound(m_window));
    EXPECT_NE(PrimarySoundBuffer, nullptr);
}

TEST(PrimarySoundVolumeLevelTest, MapsVolumeAndMuteToHundredthsOfADecibel)
{
    struct Case {
        int volume;
        bool mute;
        long level;
    };
    const Case cases[] = {
        {100, false, 0},
        {40, false, -3000},
        {1, false, -4950},
        {0, false, -5000},
        // Mute wins over any volume and is real silence, quieter than volume 0.
        {100, true, -10000},
        {0, true, -10000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PrimarySoundVolumeLevel(c.volume, c.mute), c.level)
            << "volume " << c.volume << " mute " << c.mute;
}
