// Every gallery document and the program's own scene through a lost and reset device, in process
// on a real device as the host plays them: the scene's invalidate step must let go of every
// default-pool resource (render targets, default-pool buffers, and textures an effect still
// holds), the reset must succeed, and after the restore the same frame must draw the same calls
// and show the scene again.
#include "support/BuildFolderSceneFixture.h"
#include "support/DefaultPoolWatch.h"
#include "support/DrawCallCounter.h"
#include "support/GalleryDocuments.h"
#include "support/ScreenChecks.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <d3d9.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/ScreenView.h"

namespace {

// Pixels of the 64 x 64 target that may differ beyond what the scene changed between the two
// frames before the loss: classes that draw something new in every frame even at one time (the
// falling glyphs' heads) change a different few in each. An object missing after the reset, even
// a line of text, changes more.
const double kFrameNoiseShare = 40.0 / (64 * 64);

// Layers whose restore starts their own animation again, so that the frame after a reset shows
// the scene as it starts rather than as it was: the water ring layer's ripple field is made
// again, at rest with one drop.
bool StartsAtRestOnRestore(const std::string& document)
{
    return document == "Vo_WaterRingLight" || document == "Vo_WaterRingLight_Mode1";
}

std::string Lines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += "\n  " + line;
    return text;
}

class DeviceResetTest : public BuildFolderSceneFixture, public testing::WithParamInterface<std::string> {
protected:
    ScreenPixels Frame()
    {
        ScreenPixels shot;
        shot.width = shot.height = kSize;
        shot.pixels = ReadBack();
        return shot;
    }

    void DrawSeededFrame(float time)
    {
        std::srand(1);
        DrawFrame(time);
    }
};

TEST_P(DeviceResetTest, PlaysOnAfterTheDeviceIsReset)
{
    const std::string& name = GetParam();
    const std::vector<uint8_t> bytes = DocumentBytes(name);
    ASSERT_FALSE(bytes.empty()) << "the build lacks " << name;

    DefaultPoolWatch watch(Device());
    DrawCallCounter draws(Device());
    watch.SetPhase("the load");
    LoadDocument(bytes);
    ASSERT_NE(m_root, nullptr);
    // As the host starts a scene: every slide activated, the picture position applied.
    m_root->ActivateSlides();
    m_root->SetPicturePosition(ScreenView::kStretch);
    watch.SetPhase("the frames before the reset");
    for (float time : {0.0f, 0.3f, 0.6f, 0.9f})
        DrawFrame(time);

    // The frame before the loss, twice: the scene does not move on at one time, but some classes
    // step per frame all the same, and the two show how much. The frame after the reset is drawn
    // at that time again. Each of the three starts the C runtime's generator afresh, so that the
    // classes that draw lots in every frame draw the same ones.
    const float time = 1.2f;
    DrawSeededFrame(time);
    const ScreenPixels previous = Frame();
    draws.Restart();
    DrawSeededFrame(time);
    const long callsBefore = draws.Count();
    const ScreenPixels before = Frame();
    ASSERT_GT(callsBefore, 0);
    const double ownChange = ChangedShare(previous, before);

    // The host's invalidate step before the reset.
    m_root->InvalidateDeviceObjects();
    const std::vector<std::string> held = watch.ReleaseAndListHeld();
    EXPECT_TRUE(held.empty()) << "default-pool resources still held after the invalidate step:" << Lines(held);
    ASSERT_EQ(ResetDevice(), D3D_OK);
    ASSERT_EQ(Device()->TestCooperativeLevel(), D3D_OK);

    // The host's restore step, then the same frame again.
    watch.SetPhase("the restore");
    m_root->RestoreDeviceObjects();
    watch.SetPhase("the frame after the reset");
    draws.Restart();
    DrawSeededFrame(time);
    EXPECT_EQ(draws.Count(), callsBefore) << "draw calls of one frame before and after the reset";
    const ScreenPixels after = Frame();
    ASSERT_FALSE(after.pixels.empty());
    EXPECT_LE(ClearColourPixels(after), kStrayClearColourPixels) << "the magenta the layer clears to shows";
    EXPECT_FALSE(LooksBlack(after)) << "the frame after the reset is black";
    if (!StartsAtRestOnRestore(name)) {
        EXPECT_LE(ChangedShare(before, after), ownChange + kFrameNoiseShare)
            << "the frame after the reset differs from the one before by more than that one from its own previous";
    }
}

INSTANTIATE_TEST_SUITE_P(Documents, DeviceResetTest, testing::ValuesIn(GalleryDocumentNamesAndEmbeddedScene()),
                         DocumentParamName);

}  // namespace
