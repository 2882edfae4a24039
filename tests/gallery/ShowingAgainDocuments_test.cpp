// Every gallery document and the program's own scene, its slide shown again and again in process
// on a real device, as a slide show of several slides shows each of its slides once a round: the
// render targets of the first showing are the ones every later showing draws into. A showing
// that made its layer's targets or the store's again would free and take the same memory at
// every slide change, hours on end.
#include "support/BuildFolderSceneFixture.h"
#include "support/DefaultPoolWatch.h"
#include "support/GalleryDocuments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/ScreenView.h"

namespace {

const int kShowingsAgain = 3;

class ShowingAgainTest : public BuildFolderSceneFixture, public testing::WithParamInterface<std::string> {
};

TEST_P(ShowingAgainTest, MakesNoDefaultPoolResourceAfterTheFirstShowing)
{
    const std::string& name = GetParam();
    const std::vector<uint8_t> bytes = DocumentBytes(name);
    ASSERT_FALSE(bytes.empty()) << "the build lacks " << name;

    DefaultPoolWatch watch(Device());
    LoadDocument(bytes);
    ASSERT_NE(m_root, nullptr);
    m_root->ActivateSlides();
    m_root->SetPicturePosition(ScreenView::kStretch);
    // The first frame shows the first slide; the frames after it make whatever is made at a
    // first draw.
    float time = 0.0f;
    for (; time < 1.0f; time += 0.25f)
        DrawFrame(time);
    const size_t madeByFirstShowing = watch.MadeCount();
    ASSERT_GT(madeByFirstShowing, 0u) << "the first showing made no render target: the watch sees nothing";

    Vo_SlideContainer& slide = *m_root->CurrentSlide();
    for (int showing = 1; showing <= kShowingsAgain; ++showing) {
        // What a slide change does to the slide it shows: laid out at the back buffer's size,
        // its objects restarted and its layer's device objects restored.
        slide.Layout(static_cast<int>(kSize), static_cast<int>(kSize));
        slide.Restore();
        for (const float end = time + 0.5f; time < end; time += 0.25f)
            DrawFrame(time);
        EXPECT_EQ(watch.MadeCount(), madeByFirstShowing)
            << "default-pool resources made again by showing " << showing + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(Documents, ShowingAgainTest, testing::ValuesIn(GalleryDocumentNamesAndEmbeddedScene()),
                         DocumentParamName);

}  // namespace
