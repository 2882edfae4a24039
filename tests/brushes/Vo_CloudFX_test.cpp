#include <gtest/gtest.h>

#include <memory>

#include "brushes/Vo_BrushObj.h"
#include "brushes/Vo_CloudFX.h"
#include "model/ClassReaderRegistries.h"
#include "runtime/PicturePlacement.h"
#include "support/DeviceFixture.h"
#include "support/KeptPicturePlacement.h"
#include "support/RegistryReading.h"
#include "support/BrushTesting.h"
#include "support/EffectTesting.h"

using namespace brush_testing;

namespace {

std::unique_ptr<Vo_CloudFX> ReadCloud(QueuedStream& stream)
{
    return ReadObjectThroughRegistry<Vo_CloudFX>(L"Vo_CloudFX", stream, 1);
}

void PushShape(QueuedStream& s, uint32_t tx, uint32_t ty, uint32_t shift, int32_t flip)
{
    s.Push(QueuedStream::UInt{tx}).Push(QueuedStream::UInt{ty}).Push(QueuedStream::UInt{shift});
    s.Push(QueuedStream::Int{flip});
    s.Push(QueuedStream::UInt{3}).Push(QueuedStream::UInt{4});
}

TEST(Vo_CloudFXTest, Defaults)
{
    Vo_CloudFX cloud;
    EXPECT_FLOAT_EQ(cloud.ScaleParam().Scale(), 0.008f);
    EXPECT_FLOAT_EQ(cloud.ScaleParam().Result(), 0.4f);
    EXPECT_FLOAT_EQ(cloud.Speed().Scale(), 0.001f);
    EXPECT_FLOAT_EQ(cloud.Threshold().Result(), 1.0f);
    EXPECT_FLOAT_EQ(cloud.Density().Result(), 0.0f);
    EXPECT_EQ(cloud.Colour1().Value(), 0u);
    EXPECT_EQ(cloud.Colour2().Value(), 0u);
    EXPECT_TRUE(cloud.EffectLink().GetPath().empty());
    EXPECT_FLOAT_EQ(cloud.Shape().XTransform().Result(), 1.0f);
    EXPECT_FLOAT_EQ(cloud.Shape().Reserved1().Result(), 1.0f);
}

// Colours, both links, threshold and density, the shape block, then the direction-based record;
// the second picture link travels through the record and into the clone unchanged.
TEST(Vo_CloudFXTest, RecordAndClone)
{
    QueuedStream stream;
    stream.Push(QueuedStream::Int{0x00336699}).Push(QueuedStream::Int{0x00102030});
    stream.Push(QueuedStream::String{L"C:\\Clouds\\sky.png"}).Push(QueuedStream::Int64{0x55});
    stream.Push(QueuedStream::String{L"C:\\Clouds\\second.png"}).Push(QueuedStream::Int64{0x66});
    stream.Push(QueuedStream::UInt{25}).Push(QueuedStream::UInt{40});
    PushShape(stream, 50, 8, 30, 1);
    PushDirectionRecord(stream, 10, 90);
    PushFxRecord(stream, 3, 200, 0, L"common_res.dll", 162, 125);
    std::unique_ptr<Vo_CloudFX> cloud = ReadCloud(stream);
    ASSERT_TRUE(cloud);
    std::unique_ptr<Vo_FX_Constructor> clone(cloud->Clone());
    auto* copy = dynamic_cast<Vo_CloudFX*>(clone.get());
    ASSERT_TRUE(copy);
    for (Vo_CloudFX* c : {cloud.get(), copy}) {
        EXPECT_EQ(c->Colour1().Value(), 0x00336699u);
        EXPECT_EQ(c->Colour2().Value(), 0x00102030u);
        EXPECT_EQ(c->CloudLink().GetPath(), L"C:\\Clouds\\sky.png");
        EXPECT_EQ(c->SecondLink().GetPath(), L"C:\\Clouds\\second.png");
        EXPECT_EQ(c->SecondLink().GetKey().Stamp(), 0x66);
        EXPECT_FLOAT_EQ(c->Threshold().Result(), 1.5f);
        EXPECT_FLOAT_EQ(c->Density().Result(), 0.8f);
        EXPECT_FLOAT_EQ(c->Shape().XTransform().Result(), 2.0f);
        EXPECT_FLOAT_EQ(c->Shape().YTransform().Result(), 2.0f);
        EXPECT_FLOAT_EQ(c->Shape().Shift().Result(), 0.3f);
        EXPECT_EQ(c->Shape().FlipFlag().Value(), 1);
        EXPECT_FLOAT_EQ(c->Shape().Reserved1().Result(), 1.3f);
        EXPECT_FLOAT_EQ(c->Shape().Reserved2().Result(), 0.04f);
        EXPECT_EQ(c->Angle().Value(), 90u);
        EXPECT_FLOAT_EQ(c->Speed().Result(), 0.2f);
        EXPECT_FLOAT_EQ(c->ScaleParam().Result(), 1.0f);
        EXPECT_EQ(c->EffectLink().GetKey().Stamp(), 162);
    }
    // The clone's direction follows the stored angle: 90 degrees points up the picture.
    EXPECT_NEAR(copy->Direction().x, 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(copy->Direction().y, -1.0f);
}

// "tex_shift" is (1, 1, -SH, 0) unflipped and (1, -1, -SH, 1) flipped; the perspective constants
// follow the x and y transforms.
TEST(Vo_CloudFXTest, ShapeConstants)
{
    CloudShapeParams shape;
    shape.Shift().SetValue(30);
    shape.XTransform().SetValue(150);  // TX 4
    shape.YTransform().SetValue(6);    // TY 1.5
    struct Case {
        int flag;
        float texShift[4];
    } cases[] = {{0, {1, 1, -0.3f, 0}}, {1, {1, -1, -0.3f, 1}}, {-2, {1, -1, -0.3f, 1}}};
    for (const Case& c : cases) {
        shape.FlipFlag().ValueRef() = c.flag;
        float texShift[4];
        shape.TexShift(texShift);
        for (int i = 0; i < 4; ++i)
            EXPECT_FLOAT_EQ(texShift[i], c.texShift[i]) << "flag " << c.flag << " component " << i;
    }
    EXPECT_FLOAT_EQ(shape.PxTransform(), 0.75f);
    EXPECT_FLOAT_EQ(shape.PyTransformH(), 1.375f);
    EXPECT_FLOAT_EQ(shape.PyTransformZ(), 1.5f);
}

// The region's place in the picture: x factor, x shift, y factor, y shift, from the corners
// bottom-left, top-left, bottom-right, top-right; the region's v runs up from its bottom edge.
TEST(Vo_CloudFXTest, MaskShiftFromTheRegion)
{
    const KeptPicturePlacement keptPlacement;
    const D3DXVECTOR3 corners[4] = {{100, 500, 0}, {100, 200, 0}, {700, 500, 0}, {700, 200, 0}};
    float shift[4];
    Vo_CloudFX::MaskTexShift(corners, 800, 600, shift);
    EXPECT_FLOAT_EQ(shift[0], 0.75f);
    EXPECT_FLOAT_EQ(shift[1], 0.125f);
    EXPECT_FLOAT_EQ(shift[2], -0.5f);
    EXPECT_FLOAT_EQ(shift[3], 500.0f / 600.0f);

    // Through the brush, with the picture placement's size.
    SetPicturePlacement(ScreenQuad(), 64, 64, 800, 600, 64, 64);
    Vo_CloudFX cloud;
    for (int i = 0; i < 4; ++i)
        cloud.Region().Corner(i).ValueRef() = corners[i];
    cloud.UpdateRegionMesh();
    for (int i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(cloud.MaskShift()[i], shift[i]) << i;

    Vo_CloudFX::MaskTexShift(corners, 0, 0, shift);
    EXPECT_EQ(shift[0], 0.0f);
    EXPECT_EQ(shift[3], 0.0f);
}

// "Scale" divides the layer's picture aspect, not the placement's, by the brush's scale.
TEST(Vo_CloudFXTest, ScaleFromTheLayersAspect)
{
    float scale[2];
    Vo_CloudFX::CloudScale(300, 100, 0.5f, scale);
    EXPECT_FLOAT_EQ(scale[0], 6.0f);
    EXPECT_FLOAT_EQ(scale[1], 2.0f);
    Vo_CloudFX::CloudScale(0, 100, 0.5f, scale);
    EXPECT_FLOAT_EQ(scale[0], 2.0f);
}

class TestCloud : public WithGivenEffect<Vo_CloudFX> {
public:
    void GiveFrames(const TextureFrameSet& frames) { const_cast<TextureFrameSet&>(CloudFrames()) = frames; }
};

class Vo_CloudFXDeviceTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        if (HasFatalFailure())
            return;
        m_effect = effect_testing::LoadEffect(Device(), "cloud");
        ASSERT_TRUE(m_effect);
        m_cloud.GiveEffect(m_effect.Get());
        m_picture = effect_testing::MakeTexture(Device(), 8, 8, [](unsigned x, unsigned) { return 0xFF000000u | x * 30; });
        ASSERT_TRUE(m_picture);
        TextureFrameSet frames;
        frames.frames.push_back(m_picture);
        frames.width = frames.height = 8;
        m_cloud.GiveFrames(frames);
    }
    void TearDown() override
    {
        m_cloud.GiveFrames(TextureFrameSet());
        m_picture.Reset();
        m_effect.Reset();
        DeviceFixture::TearDown();
    }

    ComRef<ID3DXEffect> m_effect;
    ComRef<IDirect3DTexture9> m_picture;
    TestCloud m_cloud;
};

// What reaches the effect: the cloud picture as "Background", "Scale" from the layer, the
// velocity minus direction x phase, black colours when both are 0, and the grid with "Main".
TEST_F(Vo_CloudFXDeviceTest, RenderValues)
{
    SetPicturePlacement(ScreenQuad(), 64, 64, 640, 640, 64, 64);
    m_cloud.Angle().SetValue(90);  // direction (0, -1)
    m_cloud.Speed().SetValue(500); // 0.5 per second
    m_cloud.ScaleParam().SetValue(250);  // 2
    m_cloud.Threshold().SetValue(50);
    m_cloud.Density().SetValue(25);
    m_cloud.Shape().FlipFlag().ValueRef() = 1;
    for (float t = 0.125f; t <= 1.0f; t += 0.125f)
        m_cloud.Update(t);
    ASSERT_FLOAT_EQ(m_cloud.Phase(), 0.5f);

    RecordingLayer layer(400, 100);
    m_cloud.Render(&layer);
    ASSERT_EQ(layer.draws.size(), 1u);
    EXPECT_TRUE(layer.draws[0].indexed);
    EXPECT_EQ(layer.draws[0].technique, "Main");
    EXPECT_EQ(layer.draws[0].background, m_picture.Get());
    EXPECT_EQ(effect_testing::EffectFloats(m_effect.Get(), "Scale", 2), (std::vector<float>{2.0f, 0.5f}));
    std::vector<float> velocity = effect_testing::EffectFloats(m_effect.Get(), "Velocity", 2);
    EXPECT_NEAR(velocity[0], 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(velocity[1], 0.5f);
    EXPECT_EQ(effect_testing::EffectFloats(m_effect.Get(), "ColorK1", 3), (std::vector<float>{0, 0, 0}));
    EXPECT_EQ(effect_testing::EffectFloats(m_effect.Get(), "ColorK2", 3), (std::vector<float>{0, 0, 0}));
    float value = -1;
    m_effect->GetFloat("Threshold", &value);
    EXPECT_FLOAT_EQ(value, 2.0f);
    m_effect->GetFloat("Density", &value);
    EXPECT_FLOAT_EQ(value, 0.5f);
    EXPECT_EQ(effect_testing::EffectFloats(m_effect.Get(), "tex_shift", 4), (std::vector<float>{1, -1, 0, 1}));

    m_cloud.Colour1().ValueRef() = 0x00FF8000;  // blue 255, green 128, red 0
    m_cloud.Render(&layer);
    std::vector<float> k1 = effect_testing::EffectFloats(m_effect.Get(), "ColorK1", 3);
    EXPECT_FLOAT_EQ(k1[0], 0.0f);
    EXPECT_FLOAT_EQ(k1[1], 128.0f / 255.0f);
    EXPECT_FLOAT_EQ(k1[2], 1.0f);

    // The full-picture technique draws on the picture quad and reads no image of the layer.
    m_cloud.TechniqueFlag().ValueRef() = 1;
    m_cloud.Render(&layer);
    ASSERT_EQ(layer.draws.size(), 3u);
    EXPECT_FALSE(layer.draws[2].indexed);
    EXPECT_EQ(layer.draws[2].technique, "MainFX");
    EXPECT_FALSE(m_cloud.ReadsLayerImage());
}

// Without a cloud picture nothing is drawn and the brush takes no place in the layer's chain.
TEST_F(Vo_CloudFXDeviceTest, NoCloudPictureDrawsNothing)
{
    m_cloud.GiveFrames(TextureFrameSet());
    RecordingLayer layer(64, 64);
    m_cloud.Render(&layer);
    EXPECT_TRUE(layer.draws.empty());
    EXPECT_FALSE(m_cloud.CanDraw());
}

// A brush object of a full-picture cloud brush that can draw still does not ask for the layer's
// image: its clouds are laid over the image wherever the chain stands.
TEST_F(Vo_CloudFXDeviceTest, FullPictureCloudsNeedNoImageOfTheLayer)
{
    auto* cloud = new TestCloud();
    Vo_BrushObj object(cloud);
    cloud->GiveEffect(m_effect.Get());
    TextureFrameSet frames;
    frames.frames.push_back(m_picture);
    cloud->GiveFrames(frames);
    cloud->TechniqueFlag().ValueRef() = 1;
    ASSERT_TRUE(cloud->CanDraw());
    ASSERT_TRUE(cloud->IsFullImageEffect());
    EXPECT_FALSE(object.NeedsBackground());
    cloud->GiveFrames(TextureFrameSet());
}

}  // namespace
