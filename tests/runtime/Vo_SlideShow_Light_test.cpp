#include "runtime/Vo_SlideShow_Light.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "model/Vo_DocResManager.h"
#include "runtime/LoadSceneDocument.h"
#include "support/TestPaths.h"
#include "tests/runtime/SlideFakes.h"

namespace {

using Log = std::vector<std::string>;

// The two-slide document of counting fakes: slide "first" (fade-in 1, show 10, fade-out 1) with
// drawn objects 11 (needs the background), 12, 13 (needs it) and update-only object 14; slide
// "second" (no fades, show 5) with drawn object 21 and update-only object 22.
class SlideShowTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_bytes = AssembledTestDocument(L"CountedSlides.bin");
        ASSERT_FALSE(m_bytes.empty());
        m_root.reset(LoadSceneDocumentFrom(m_bytes.data(), m_bytes.data() + m_bytes.size()));
        m_store.reset(CurrentDocResManager);
        slide_fakes::postEffect = false;
        slide_fakes::log.clear();
    }
    void TearDown() override
    {
        m_root.reset();
        m_store.reset();
        slide_fakes::log.clear();
    }

    // The log since the last call.
    Log Take() { return std::exchange(slide_fakes::log, Log()); }

    std::vector<uint8_t> m_bytes;
    std::unique_ptr<Vo_SlideShow_Light> m_root;
    std::unique_ptr<Vo_DocResManager> m_store;
};

bool Contains(const Log& log, const std::string& entry)
{
    return std::find(log.begin(), log.end(), entry) != log.end();
}

TEST_F(SlideShowTest, ActivationMakesObjectsAndDeletesTheRecords)
{
    m_root->ActivateSlides();
    EXPECT_EQ(Take(), (Log{"first: content", "first: layout 1x1", "second: content", "second: layout 1x1"}));
    const Vo_SlideContainer& first = *m_root->Slides()[0];
    EXPECT_EQ(first.DrawnObjects().size(), 3u);
    EXPECT_EQ(first.TrackObjects().size(), 1u);
    EXPECT_TRUE(first.DrawnRecords().empty());
    EXPECT_TRUE(first.TrackRecords().empty());
    // One record clone per runtime object, nothing else.
    EXPECT_EQ(slide_fakes::liveObjects, 6);
    EXPECT_EQ(slide_fakes::liveRecords, 6);
}

TEST_F(SlideShowTest, FirstFrameShowsTheFirstSlide)
{
    m_root->ActivateSlides();
    Take();
    m_root->FrameMove(100.0f);
    EXPECT_EQ(Take(), (Log{"object 11: restart", "object 12: restart", "object 13: restart",
                           "first: restore", "object 14: enable", "first: update 100",
                           "object 11: update", "object 12: update", "object 13: update",
                           "object 14: update"}));
    EXPECT_EQ(m_root->CurrentSlide()->Caption().Value(), L"First");
    EXPECT_TRUE(m_root->Overlay());
}

TEST_F(SlideShowTest, SwitchingDisablesTheUpdateOnlyObjectsOfTheSlideLeft)
{
    m_root->ActivateSlides();
    m_root->FrameMove(100.0f);
    m_root->FrameMove(110.5f);
    Take();
    m_root->FrameMove(111.5f);  // past fade-in + show + fade-out of the first slide
    const Log log = Take();
    EXPECT_EQ(m_root->CurrentSlide()->Caption().Value(), L"Second");
    EXPECT_TRUE(Contains(log, "object 14: disable"));
    EXPECT_TRUE(Contains(log, "object 21: restart"));
    EXPECT_TRUE(Contains(log, "second: restore"));
    EXPECT_TRUE(Contains(log, "object 22: enable"));
    // The drawn objects of the slide left are left as they are.
    EXPECT_FALSE(Contains(log, "object 11: restart"));
    EXPECT_FALSE(Contains(log, "first: update 111"));

    m_root->FrameMove(117.0f);  // the second slide has no fades: back to the first
    const Log back = Take();
    EXPECT_EQ(m_root->CurrentSlide()->Caption().Value(), L"First");
    EXPECT_TRUE(Contains(back, "object 22: disable"));
    EXPECT_TRUE(Contains(back, "object 11: restart"));
    EXPECT_TRUE(Contains(back, "object 14: enable"));
}

// The overlay draws its quad only while it darkens the picture: a fully transparent one (alpha
// byte 0) would write every pixel of the screen unchanged. Times on the slides of the fixture,
// the first slide starting at 100 with its fade-in over (start 99).
TEST_F(SlideShowTest, TheOverlayDrawsOnlyWhileItDarkensThePicture)
{
    struct Frame {
        float time;
        float alpha;  // worked out from the slide times
        UINT primitives;
    };
    const Frame frames[] = {
        {100.0f, 0.0f, 0},     // the first frame: the overlay starts transparent
        {105.0f, 0.0f, 0},     // showing
        {110.002f, 0.002f, 0}, // fading out, but 0.002 x 255 truncates to alpha byte 0
        {110.01f, 0.01f, 2},   // byte 2
        {110.5f, 0.5f, 2},     // half way out
        {111.5f, 0.0f, 0},     // the second slide, without a fade-in
    };
    m_root->ActivateSlides();
    for (const Frame& f : frames) {
        m_root->FrameMove(f.time);
        ASSERT_TRUE(m_root->Overlay());
        EXPECT_EQ(m_root->Overlay()->PrimitiveCount(), f.primitives) << "at " << f.time << ", alpha " << f.alpha;
    }
}

// Objects draw last to first; 13 and 11 need the background: 13 takes the image through a swap
// and 11, the last in drawing order, ends the chain.
TEST_F(SlideShowTest, RenderRunsTheEffectChainOverTheObjectsLastToFirst)
{
    m_root->ActivateSlides();
    m_root->FrameMove(100.0f);
    Take();
    m_root->Render(0);
    EXPECT_EQ(Take(), (Log{"first: effects", "first: begin 0", "first: apply 2", "first: swap",
                           "object 13: draw", "object 12: draw", "first: end effects",
                           "object 11: draw", "first: end 0", "first: overlay"}));

    // A layer with its own post effect counts one more, so no object ends the chain.
    slide_fakes::postEffect = true;
    m_root->Render(1);
    EXPECT_EQ(Take(), (Log{"first: effects", "first: begin 1", "first: apply 3", "first: swap",
                           "object 13: draw", "object 12: draw", "first: swap", "object 11: draw",
                           "first: end 1", "first: overlay"}));
}

TEST_F(SlideShowTest, DisabledObjectsMoveTheChainOnWithoutDrawing)
{
    m_root->ActivateSlides();
    m_root->FrameMove(100.0f);
    m_root->Slides()[0]->DrawnObjects()[2]->SetEnabled(0);
    Take();
    m_root->Render(0);
    EXPECT_EQ(Take(), (Log{"first: effects", "first: begin 0", "first: apply 2", "first: swap",
                           "object 12: draw", "first: end effects", "object 11: draw", "first: end 0",
                           "first: overlay"}));
}

TEST_F(SlideShowTest, InvalidateReachesEverySlideAndRestoreOnlyTheCurrentOne)
{
    m_root->ActivateSlides();
    m_root->RestoreDeviceObjects();  // no slide shown yet: nothing to restore
    m_root->FrameMove(100.0f);
    Take();
    m_root->InvalidateDeviceObjects();
    m_root->RestoreDeviceObjects();
    EXPECT_EQ(Take(), (Log{"first: invalidate", "second: invalidate", "first: restore"}));
}

TEST_F(SlideShowTest, DeletingTheRootDeletesSlidesLayersAndObjects)
{
    m_root->ActivateSlides();
    m_root->FrameMove(100.0f);
    m_root.reset();
    EXPECT_EQ(slide_fakes::liveLights, 0);
    EXPECT_EQ(slide_fakes::liveObjects, 0);
    EXPECT_EQ(slide_fakes::liveRecords, 0);
}

}  // namespace
