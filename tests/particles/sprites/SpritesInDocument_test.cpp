// Stored scenes with a sparkle, a fish and a flow emitter: the documents load through the registered
// readers, activating the slide makes each emitter's sprite array, and the layer draws the
// sprites where their rectangles are and nowhere else.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "particles/sprites/Vo_FishConstructor.h"
#include "particles/sprites/Vo_FlowConstructor.h"
#include "particles/sprites/Vo_SparkleConstructor.h"
#include "particles/sprites/Vo_SpriteArrayObj.h"
#include "runtime/ScreenView.h"
#include "runtime/Vo_TimeLineControl.h"
#include "runtime/Vo_SlideContainer.h"
#include "runtime/Vo_SlideShow_Light.h"
#include "support/SceneDeviceFixture.h"
#include "support/TestPaths.h"

namespace {

const uint32_t kRed = 0xFF0000;
const uint32_t kBlue = 0x0000FF;

class SpritesInDocumentTest : public SceneDeviceFixture {
protected:
    void Play(const wchar_t* document, int moreFrames = 0)
    {
        LoadDocument(AssembledTestDocument(document));
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_EQ(m_root->Slides().size(), 1u);
        m_root->ActivateSlides();
        m_root->SetPicturePosition(ScreenView::kStretch);
        std::vector<float> times = {100.0f, 100.1f, 100.3f};
        for (int i = 1; i <= moreFrames; ++i)
            times.push_back(100.3f + 0.1f * float(i));
        for (float time : times) {
            ASSERT_EQ(m_root->FrameMove(time), S_OK);
            ASSERT_EQ(Device()->BeginScene(), D3D_OK);
            m_root->Render(0);
            Device()->EndScene();
        }
    }

    Vo_SpriteArrayObj* Sprites()
    {
        const auto& objects = m_root->Slides()[0]->DrawnObjects();
        return objects.size() == 1 ? dynamic_cast<Vo_SpriteArrayObj*>(objects[0].Get()) : nullptr;
    }

    // Every pixel outside the box (target pixels, edges included) is the red picture; returns how
    // many inside it are the blue sprite picture.
    int CheckBox(unsigned left, unsigned top, unsigned right, unsigned bottom)
    {
        const std::vector<uint32_t> pixels = ReadBack();
        int blue = 0;
        for (unsigned y = 0; y < kSize; ++y) {
            for (unsigned x = 0; x < kSize; ++x) {
                const uint32_t pixel = pixels[y * kSize + x] & 0x00FFFFFF;
                const bool inside = x >= left && x <= right && y >= top && y <= bottom;
                if (!inside) {
                    EXPECT_TRUE(ColorsNear(pixel, kRed, 3)) << x << ", " << y << ": " << std::hex << pixel;
                } else if (ColorsNear(pixel, kBlue, 3)) {
                    ++blue;
                }
            }
        }
        return blue;
    }
};

TEST_F(SpritesInDocumentTest, SparklesShowInsideTheirRectangle)
{
    Play(L"SparkleSlide.bin");
    Vo_SpriteArrayObj* sprites = Sprites();
    ASSERT_NE(sprites, nullptr);
    ASSERT_NE(dynamic_cast<Vo_SparkleConstructor*>(&sprites->Emitter()), nullptr);
    EXPECT_EQ(sprites->Particles().size(), 30u);
    EXPECT_EQ(sprites->QuadsToDraw(), 30);
    EXPECT_NE(sprites->FrameTexture(), nullptr);
    // Centres in picture pixels 2..6, half a picture pixel each way: target pixels 12 to 52 (one
    // picture pixel is 8 target pixels).
    const int blue = CheckBox(11, 11, 52, 52);
    EXPECT_GT(blue, 200);
}

TEST_F(SpritesInDocumentTest, FishSwimInsideTheirRectangle)
{
    Play(L"FishSlide.bin");
    Vo_SpriteArrayObj* sprites = Sprites();
    ASSERT_NE(sprites, nullptr);
    auto* fish = dynamic_cast<Vo_FishConstructor*>(&sprites->Emitter());
    ASSERT_NE(fish, nullptr);
    EXPECT_FLOAT_EQ(fish->MaxSpeedX(), 1.0f);
    EXPECT_EQ(fish->HorizontalMirror().Value(), 1);
    EXPECT_EQ(sprites->QuadsToDraw(), 20);
    // The top right quarter (target x 32..64, y 0..32), grown by the fish's half length and the
    // way they swam.
    const int blue = CheckBox(26, 0, 63, 38);
    EXPECT_GT(blue, 100);
}

TEST_F(SpritesInDocumentTest, FlowStaysInsideItsBouncingEdges)
{
    // Sprites placed over a corner are turned back by one edge's control, then by the other's:
    // some frames pass before every one is inside.
    Play(L"FlowSlide.bin", 5);
    Vo_SpriteArrayObj* sprites = Sprites();
    ASSERT_NE(sprites, nullptr);
    auto* flow = dynamic_cast<Vo_FlowConstructor*>(&sprites->Emitter());
    ASSERT_NE(flow, nullptr);
    for (int edge = 0; edge < 4; ++edge)
        EXPECT_EQ(flow->Control(edge).Mode().Value(), Vo_BoundControl::kBounce);
    EXPECT_FLOAT_EQ(flow->Spread().Result(), 3.0f);
    EXPECT_EQ(sprites->QuadsToDraw(), 20);
    // The top right quarter (target x 32..64, y 0..32), grown by a target pixel for the little
    // way a sprite reaches over an edge in the frame it bounces.
    const int blue = CheckBox(31, 0, 63, 32);
    EXPECT_GT(blue, 100);
}

TEST_F(SpritesInDocumentTest, AFadingFlowDrawsFewerOfTheQuadsItFills)
{
    Play(L"FlowSlide.bin", 5);
    Vo_SpriteArrayObj* sprites = Sprites();
    ASSERT_NE(sprites, nullptr);
    Vo_TimeLineControl& timeline = sprites->Emitter().Timeline();
    timeline.Mode().SetValue(Vo_TimeLineControl::kCycling);
    timeline.AdvanceLocalTime(timeline.States(), 1.0f);
    timeline.AdvanceLocalTime(timeline.States(), 1.25f);
    ASSERT_FLOAT_EQ(timeline.GetFadeFactor(), 0.5f);

    // Every quad is still written, the ones not drawn included, so that they are up to date
    // when the fade draws them again.
    SpriteParticle& last = sprites->Particles().back();
    last.position.x += 1.0f;
    sprites->Update(100.9f);
    EXPECT_EQ(sprites->QuadsToDraw(), 10);
    void* data = nullptr;
    ASSERT_EQ(sprites->VertexBuffer()->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
    const auto* vertices = static_cast<const DX_V::PCT*>(data);
    const D3DXVECTOR3 corner = GetSpriteParticleCorner(last);
    const DX_V::PCT& written = vertices[4 * 19 + 1];
    EXPECT_FLOAT_EQ(written.x, corner.x);
    EXPECT_FLOAT_EQ(written.y, corner.y);
    sprites->VertexBuffer()->Unlock();

    ASSERT_EQ(Device()->BeginScene(), D3D_OK);
    m_root->Render(0);
    Device()->EndScene();
    // Half transparent now: nothing outside the quarter, something of the sprites inside it.
    CheckBox(31, 0, 63, 32);
    int tinted = 0;
    for (uint32_t pixel : ReadBack())
        tinted += ColorsNear(pixel & 0x00FFFFFF, kRed, 3) ? 0 : 1;
    EXPECT_GT(tinted, 20);
}

}  // namespace
