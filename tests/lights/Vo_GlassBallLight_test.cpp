#include "lights/Vo_GlassBallLight.h"

#include <d3d9.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "model/ClassReaderRegistries.h"
#include "model/CurrentDevice.h"
#include "model/DataBuffer.h"
#include "model/TextureInfo.h"
#include "model/Vo_DocResManager.h"
#include "runtime/PictureMesh.h"
#include "runtime/Vo_ABObj.h"
#include "runtime/ScreenView.h"
#include "support/BmpBytes.h"
#include "support/QueuedStream.h"
#include "support/SceneDeviceFixture.h"
#include "tests/lights/LayerOnDeviceFixture.h"

namespace {

void PushLink(QueuedStream& stream, const wchar_t* path, int64_t stamp)
{
    stream.Push(QueuedStream::String{path}).Push(QueuedStream::Int64{stamp});
}

// The base layer's record at its shortest: class name and version 1 (no fields).
void PushBaseLayerRecord(QueuedStream& stream)
{
    stream.Push(QueuedStream::String{L"Vo_2D_Light"}).Push(QueuedStream::Int{1});
}

void PushGlassBallFields(QueuedStream& stream)
{
    PushLink(stream, L"C:\\art\\glare.png", 11);
    PushLink(stream, L"C:\\art\\spot.png", 12);
    PushLink(stream, L"C:\\art\\stand.png", 13);
    PushLink(stream, L"C:\\art\\hills.png", 14);
    stream.Push(QueuedStream::UInt{50})           // speed raw
        .Push(QueuedStream::Point{-40, 75})       // ball position
        .Push(QueuedStream::UInt{80})             // ball size
        .Push(QueuedStream::UInt{30})             // lens
        .Push(QueuedStream::Int{0})               // highlight A
        .Push(QueuedStream::Int{1})               // highlight B
        .Push(QueuedStream::Int{1})               // stand
        .Push(QueuedStream::Int{1})               // background switch
        .Push(QueuedStream::Int{2})               // motion
        .Push(QueuedStream::Int{0x00112233})      // gradient colour 1
        .Push(QueuedStream::Int{0x00445566});     // gradient colour 2
}

TEST(Vo_GlassBallLightRecord, DefaultsAreABlackGradientWobbleAndBothHighlights)
{
    Vo_GlassBallLight layer;
    EXPECT_EQ(layer.HighlightALink().GetKey().Stamp(), 58);
    EXPECT_EQ(layer.HighlightBLink().GetKey().Stamp(), 59);
    EXPECT_EQ(layer.StandLink().GetKey().Stamp(), 60);
    EXPECT_EQ(layer.BackgroundLink().GetKey().Stamp(), 5);
    EXPECT_EQ(layer.BackgroundLink().GetPath(), L"common_res.dll");
    EXPECT_FLOAT_EQ(layer.Speed().Result(), 1.0f);
    EXPECT_EQ(layer.BallSize().Value(), 100u);
    EXPECT_EQ(layer.Lens().Value(), 0u);
    EXPECT_EQ(layer.HighlightA().Value(), 1);
    EXPECT_EQ(layer.HighlightB().Value(), 1);
    EXPECT_EQ(layer.Stand().Value(), 0);
    EXPECT_EQ(layer.BackgroundSwitch().Value(), 0);
    EXPECT_EQ(layer.MotionParam().Value(), Vo_GlassBallLight::kWobble);
    EXPECT_EQ(layer.GradientColor1().Value(), 0u);
    EXPECT_EQ(layer.GradientColor2().Value(), 0u);
    EXPECT_TRUE(layer.HasOwnPostEffect());
}

// There is no version test: every version reads all fifteen fields, then the base layer.
TEST(Vo_GlassBallLightRecord, EveryVersionReadsEveryFieldThenTheBaseLayer)
{
    for (int32_t version : {1, 0, 7}) {
        SCOPED_TRACE(version);
        QueuedStream stream;
        PushGlassBallFields(stream);
        PushBaseLayerRecord(stream);
        std::unique_ptr<Vo_GlassBallLight> layer(CreateGlassBallLight(stream, version));
        ASSERT_FALSE(stream.Failed());
        EXPECT_EQ(stream.Remaining(), 0u);
        EXPECT_EQ(layer->HighlightALink().GetPath(), L"C:\\art\\glare.png");
        EXPECT_EQ(layer->HighlightALink().GetKey().Stamp(), 11);
        EXPECT_EQ(layer->HighlightBLink().GetKey().Stamp(), 12);
        EXPECT_EQ(layer->StandLink().GetKey().Stamp(), 13);
        EXPECT_EQ(layer->BackgroundLink().GetPath(), L"C:\\art\\hills.png");
        EXPECT_FLOAT_EQ(layer->Speed().Result(), 2.0f);
        EXPECT_EQ(layer->BallPosition().Value().x, -40);
        EXPECT_EQ(layer->BallPosition().Value().y, 75);
        EXPECT_EQ(layer->BallSize().Value(), 80u);
        EXPECT_EQ(layer->Lens().Value(), 30u);
        EXPECT_EQ(layer->HighlightA().Value(), 0);
        EXPECT_EQ(layer->HighlightB().Value(), 1);
        EXPECT_EQ(layer->Stand().Value(), 1);
        EXPECT_EQ(layer->BackgroundSwitch().Value(), 1);
        EXPECT_EQ(layer->MotionParam().Value(), Vo_GlassBallLight::kScrollRight);
        EXPECT_EQ(layer->GradientColor1().Value(), 0x00112233u);
        EXPECT_EQ(layer->GradientColor2().Value(), 0x00445566u);
    }
}

TEST(Vo_GlassBallLightRecord, RegisteredUnderItsClassName)
{
    QueuedStream stream;
    stream.Push(QueuedStream::String{L"Vo_GlassBallLight"}).Push(QueuedStream::Int{1});
    PushGlassBallFields(stream);
    PushBaseLayerRecord(stream);
    std::unique_ptr<Vo_2D_Light> layer(ReadLight2DRecord(stream));
    ASSERT_NE(layer, nullptr);
    EXPECT_NE(dynamic_cast<Vo_GlassBallLight*>(layer.get()), nullptr);
    EXPECT_TRUE(layer->HasOwnPostEffect());
    EXPECT_EQ(stream.Remaining(), 0u);
}

// A record cut short fails the stream; what was read before the cut stays.
TEST(Vo_GlassBallLightRecord, ACutRecordFailsTheStream)
{
    QueuedStream stream;
    PushLink(stream, L"C:\\art\\glare.png", 11);
    stream.Push(QueuedStream::Int{1});
    std::unique_ptr<Vo_GlassBallLight> layer(CreateGlassBallLight(stream, 1));
    EXPECT_TRUE(stream.Failed());
    EXPECT_EQ(layer->HighlightALink().GetKey().Stamp(), 11);
    EXPECT_EQ(layer->BallSize().Value(), 100u);
}

// --- Procedural textures, filled into CPU buffers ---

struct BumpTexel {
    int x, y;
    int16_t u, v;
};

// The slopes of a hemisphere of radius 128, worked out separately: atan of the height step to the
// next column (u) and row (v), pi / 2 giving 25600.
TEST(Vo_GlassBallLightTextures, BumpMapHoldsTheHemisphereSlopes)
{
    // Rows padded beyond the 1024 bytes of a row, as a locked texture may be.
    const int pitch = Vo_GlassBallLight::kBumpSize * 4 + 64;
    std::vector<uint8_t> bits(static_cast<size_t>(pitch) * Vo_GlassBallLight::kBumpSize, 0xAB);
    Vo_GlassBallLight::FillBumpMap(bits.data(), pitch);
    const BumpTexel cases[] = {
        {128, 128, 63, 63},           // the centre: almost flat
        {200, 100, 10093, -4284},     // on the slope
        {1, 128, -23138, 510},        // just inside the rim: steep across, flat down
        {128, 1, 510, -23138},
        {0, 128, -24580, 0},          // on the rim
        {10, 10, 0, 0},               // outside the radius
        {255, 128, 0, 0},             // the last column compares each texel with itself
        {255, 255, 0, 0},
    };
    for (const BumpTexel& c : cases) {
        const int16_t* texel = reinterpret_cast<const int16_t*>(bits.data() + c.y * pitch + c.x * 4);
        EXPECT_EQ(texel[0], c.u) << c.x << "," << c.y;
        EXPECT_EQ(texel[1], c.v) << c.x << "," << c.y;
    }
    // The padding after each row stays untouched.
    EXPECT_EQ(bits[Vo_GlassBallLight::kBumpSize * 4], 0xAB);
}

TEST(Vo_GlassBallLightTextures, CircleMaskIsClearUpToRadius508)
{
    const int size = Vo_GlassBallLight::kMaskSize, pitch = size + 32;
    std::vector<uint8_t> bits(static_cast<size_t>(pitch) * size, 0x55);
    Vo_GlassBallLight::FillCircleMask(bits.data(), pitch);
    auto at = [&](int x, int y) { return bits[static_cast<size_t>(y) * pitch + x]; };
    EXPECT_EQ(at(512, 512), 0x00);
    EXPECT_EQ(at(512 + 508, 512), 0x00);      // distance squared 258064
    EXPECT_EQ(at(512 + 508, 513), 0xFF);      // 258065
    EXPECT_EQ(at(512, 512 - 508), 0x00);
    EXPECT_EQ(at(511, 512 - 508), 0xFF);      // 258065 on the other axis
    EXPECT_EQ(at(0, 0), 0xFF);
    EXPECT_EQ(at(1023, 1023), 0xFF);
    EXPECT_EQ(bits[size], 0x55);
}

TEST(Vo_GlassBallLightTextures, GradientRowsRunFromColourOneToColourTwoWithAlphaZero)
{
    const int size = Vo_GlassBallLight::kGradientSize, pitch = size * 4;
    std::vector<uint8_t> bits(static_cast<size_t>(pitch) * size, 0xCD);
    // Red 0x10 to 0x80, green 0x80 down to 0x40, blue 0xFF down to 0.
    Vo_GlassBallLight::FillGradient(bits.data(), pitch, 0x00FF8010, 0x00004080);
    auto at = [&](int x, int y) { return *reinterpret_cast<const uint32_t*>(bits.data() + y * pitch + x * 4); };
    EXPECT_EQ(at(0, 0), 0x001080FFu);
    EXPECT_EQ(at(255, 0), 0x001080FFu);
    // Row 1: 16.44, 127.75 and 254 truncate to 16, 127, 254.
    EXPECT_EQ(at(7, 1), 0x00107FFEu);
    // Row 128: 72.2, 95.9, 127.
    EXPECT_EQ(at(100, 128), 0x00485F7Fu);
    EXPECT_EQ(at(0, 255), 0x00804000u);
    for (int y = 0; y < size; y += 17)
        EXPECT_EQ(at(y, y) >> 24, 0u) << "alpha of row " << y;
}

// --- Lens terms and motion ---

TEST(Vo_GlassBallLightLens, DefaultsGiveTheUnscaledTerms)
{
    const Vo_GlassBallLight::LensTerms terms = Vo_GlassBallLight::LensTermsFor(100, 0, 1.0f, 1.0f);
    EXPECT_FLOAT_EQ(terms.distance, -600.0f);
    EXPECT_FLOAT_EQ(terms.depth, 1.5645f);   // (1.105 + 0.385) x 1.05
    EXPECT_FLOAT_EQ(terms.p, 0.0f);
    EXPECT_FLOAT_EQ(terms.r, 0.125f);
    // A fresh layer holds the same before any layout.
    Vo_GlassBallLight layer;
    layer.ComputeLensTerms();
    EXPECT_FLOAT_EQ(layer.Terms().distance, -600.0f);
}

TEST(Vo_GlassBallLightLens, SizeLensAndViewScalesEnterTheTerms)
{
    // Size 50, lens 100, k1 2, s1 0.5.
    const Vo_GlassBallLight::LensTerms terms = Vo_GlassBallLight::LensTermsFor(50, 100, 2.0f, 0.5f);
    EXPECT_FLOAT_EQ(terms.distance, -960.0f);                      // -600 / 0.625 / 1
    EXPECT_FLOAT_EQ(terms.depth, (0.5f * 1.105f + 0.385f) * 1.05f * 1.5f);
    EXPECT_FLOAT_EQ(terms.p, 0.09f);
    EXPECT_FLOAT_EQ(terms.r, 0.1875f);
}

// Without any picture the layout falls back to the target's size: every term stays finite.
TEST(Vo_GlassBallLightLens, ALayoutWithoutPicturesKeepsTheTermsFinite)
{
    Vo_GlassBallLight layer;
    layer.LoadContent();
    layer.Layout(640, 480);
    layer.SetBallTransforms(true);
    EXPECT_TRUE(std::isfinite(layer.Terms().distance));
    EXPECT_TRUE(std::isfinite(layer.Terms().depth));
    EXPECT_TRUE(std::isfinite(layer.ShareS0()) && std::isfinite(layer.ShareS1()));
    EXPECT_TRUE(std::isfinite(layer.OffsetX()) && std::isfinite(layer.OffsetY()));
    for (float value : {layer.TextureMatrix()._11, layer.TextureMatrix()._22, layer.TextureMatrix()._41,
                        layer.TextureMatrix()._42})
        EXPECT_TRUE(std::isfinite(value));
}

// An object that draws into a surface of its own pushes its size; the pop brings the layer's
// target size back, for the layer and for the base.
TEST(Vo_GlassBallLightLens, APushedSurfaceSizeIsGivenBackByThePop)
{
    Vo_GlassBallLight layer;
    layer.BackgroundSwitch().SetValue(1);
    layer.Layout(640, 480);
    layer.SetPicturePosition(ScreenView::kFit);
    D3DSURFACE_DESC surface = {};
    surface.Width = 128;
    surface.Height = 64;
    layer.PushTargetSize(surface, ScreenView::kStretch);
    EXPECT_TRUE(layer.SizePushed());
    EXPECT_EQ(layer.TargetWidth(), 128);
    EXPECT_EQ(layer.PlacementMode(), ScreenView::kStretch);
    layer.PopTargetSize();
    EXPECT_FALSE(layer.SizePushed());
    EXPECT_EQ(layer.TargetWidth(), 640);
    EXPECT_EQ(layer.TargetHeight(), 480);
    EXPECT_EQ(layer.PlacementMode(), ScreenView::kFit);
    // A gradient background always lays out in the fill mode.
    layer.BackgroundSwitch().SetValue(0);
    layer.SetPicturePosition(ScreenView::kFit);
    EXPECT_EQ(layer.PlacementMode(), ScreenView::kFill);
}

TEST(Vo_GlassBallLightMotion, WobbleIsATriangleBetweenMinusOneAndOne)
{
    const struct {
        float accumulator, wobble;
    } cases[] = {{0.0f, 1.0f}, {0.25f, 0.5f}, {0.5f, 0.0f}, {1.0f, -1.0f},
                 {1.5f, 0.0f}, {2.0f, 1.0f}, {-0.5f, 0.0f}, {3.0f, -1.0f}};
    for (const auto& c : cases)
        EXPECT_NEAR(Vo_GlassBallLight::WobbleAt(c.accumulator), c.wobble, 1e-6f) << c.accumulator;
}

// The accumulator is shared by every layer of the process and never reset, so the test works with
// differences.
TEST(Vo_GlassBallLightMotion, TheSharedAccumulatorRunsAtSpeedTimesASixteenth)
{
    Vo_GlassBallLight wobbling, still;
    wobbling.Speed().SetValue(50);   // speed 2
    still.MotionParam().SetValue(Vo_GlassBallLight::kStill);

    wobbling.Update(100.0f);
    const float start = Vo_GlassBallLight::MotionAccumulator();
    wobbling.Update(102.0f);
    EXPECT_NEAR(Vo_GlassBallLight::MotionAccumulator() - start, 2.0f * 2.0f * 0.0625f, 1e-4f);
    EXPECT_FLOAT_EQ(wobbling.Wobble(), Vo_GlassBallLight::WobbleAt(Vo_GlassBallLight::MotionAccumulator()));

    // A still layer neither moves the accumulator nor takes the time of its update.
    const float beforeStill = Vo_GlassBallLight::MotionAccumulator();
    still.Update(110.0f);
    EXPECT_EQ(Vo_GlassBallLight::MotionAccumulator(), beforeStill);
    EXPECT_EQ(still.Wobble(), 0.0f);
    wobbling.Update(103.0f);
    EXPECT_NEAR(Vo_GlassBallLight::MotionAccumulator() - beforeStill, 1.0f * 2.0f * 0.0625f, 1e-4f);
}

// --- On a device ---

const unsigned kSize = DeviceFixture::kSize;

uint32_t Rgb(uint32_t pixel) { return pixel & 0x00FFFFFFu; }

// A glass-ball layer over a 64 x 64 picture on the fixture's 64 x 64 target. The ball is at half
// size, so it covers the middle of the target (radius about 20 pixels) and leaves the corners to
// the background; nothing moves.
class GlassBallOnDevice : public LayerOnDeviceFixture<Vo_GlassBallLight> {
protected:
    void SetUp() override
    {
        LayerOnDeviceFixture::SetUp();
        if (HasFatalFailure())
            return;
        m_layer->BallSize().SetValue(50);
        m_layer->MotionParam().SetValue(Vo_GlassBallLight::kStill);
        m_layer->HighlightA().SetValue(0);
        m_layer->HighlightB().SetValue(0);
        // No module picture: the background's layout falls back to the layer picture's size.
        m_layer->BackgroundLink().Assign(L"C:\\pictures\\missing.png", 1);
        m_layer->HighlightALink().Assign(L"C:\\pictures\\missing.png", 2);
        m_layer->HighlightBLink().Assign(L"C:\\pictures\\missing.png", 3);
        m_layer->StandLink().Assign(L"C:\\pictures\\missing.png", 4);
    }

    // A picture of one colour embedded in the store, linked by the given link.
    void EmbedPicture(Vo_ImageFileLink& link, const wchar_t* name, uint32_t colour)
    {
        LinkEmbeddedBmp(link, name, 8, 8, [colour](unsigned, unsigned) { return colour; });
    }

    // One frame as the slide draws a layer with its own post effect and no objects.
    void DrawFrame(float time = 1.0f)
    {
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF00FF, 1.0f, 0);
        m_layer->Update(time);
        ASSERT_EQ(Device()->BeginScene(), D3D_OK);
        m_layer->BeginEffects();
        m_layer->BeginRender(0);
        m_layer->ApplyEffects(Vo_2D_Light::ObjectList(), 1);
        m_layer->EndRender(0);
        Device()->EndScene();
        m_pixels = ReadBack();
        ASSERT_EQ(m_pixels.size(), kSize * kSize);
    }
    uint32_t At(unsigned x, unsigned y) const { return Rgb(m_pixels[y * kSize + x]); }

    // Distance of a pixel's centre from the target's centre, in pixels.
    static float Radius(unsigned x, unsigned y)
    {
        const float dx = static_cast<float>(x) + 0.5f - kSize / 2.0f, dy = static_cast<float>(y) + 0.5f - kSize / 2.0f;
        return std::sqrt(dx * dx + dy * dy);
    }
    // The ball's radius on the target: 254 units at the camera distance 960 / (64 / 66) (size 50,
    // the fitted picture's share of the target) under a field of view of 45 degrees.
    static float BallRadius()
    {
        return 254.0f / (990.0f * std::tan(3.14159265f / 8.0f)) * (kSize / 2.0f);
    }

    std::vector<uint32_t> m_pixels;
};

// The gradient as the background shows it at row y of the 64-pixel target.
uint32_t GradientAtRow(unsigned y, uint32_t top, uint32_t bottom)
{
    const float v = (static_cast<float>(y) + 0.5f) / kSize;
    uint32_t result = 0;
    for (int c = 0; c < 3; ++c) {
        const float from = static_cast<float>((top >> (8 * c)) & 0xFF);
        const float to = static_cast<float>((bottom >> (8 * c)) & 0xFF);
        const float value = from + (to - from) * std::fmin(std::fmax(v * 256.0f - 0.5f, 0.0f), 255.0f) / 255.0f;
        // 0x00BBGGRR to 0x00RRGGBB.
        result |= static_cast<uint32_t>(value + 0.5f) << (16 - 8 * c);
    }
    return result;
}

TEST_F(GlassBallOnDevice, AUniformPictureShowsInTheBallAndTheGradientInTheCorners)
{
    MakePicture(kSize, kSize, [](unsigned, unsigned) { return 0x3060C0u; });
    // Dark red at the top to light blue at the bottom (0x00BBGGRR).
    const uint32_t top = 0x00101080, bottom = 0x00F0C020;
    m_layer->GradientColor1().SetValue(top);
    m_layer->GradientColor2().SetValue(bottom);
    Show(ScreenView::kFit, &m_picture);
    ASSERT_NE(m_layer->BumpMap(), nullptr) << "no V16U16 texture on this device";
    ASSERT_NE(m_layer->CircleMask(), nullptr);
    ASSERT_NE(m_layer->BallQuad(), nullptr);
    DrawFrame();
    for (unsigned y = 28; y < 36; y += 2)
        for (unsigned x = 28; x < 36; x += 2)
            EXPECT_TRUE(ColorsNear(At(x, y), 0x3060C0u, 3)) << x << "," << y << std::hex << " got " << At(x, y);
    for (unsigned y : {0u, 1u, 4u, 59u, 62u, 63u})
        for (unsigned x : {0u, 2u, 61u, 63u})
            EXPECT_TRUE(ColorsNear(At(x, y), GradientAtRow(y, top, bottom), 8))
                << x << "," << y << std::hex << " got " << At(x, y) << " want " << GradientAtRow(y, top, bottom);
    if (HasFailure())
        SaveTarget("glassball_uniform");
}

TEST_F(GlassBallOnDevice, HighlightsChangeOnlyPixelsInsideTheBall)
{
    MakePicture(kSize, kSize, [](unsigned, unsigned) { return 0x204060u; });
    m_layer->GradientColor1().SetValue(0x00403020);
    m_layer->GradientColor2().SetValue(0x00808080);
    Show(ScreenView::kFit, &m_picture);
    DrawFrame();
    const std::vector<uint32_t> without = m_pixels;

    EmbedPicture(m_layer->HighlightALink(), L"C:\\pictures\\glare.bmp", 0xE0E0E0);
    m_layer->HighlightA().SetValue(1);
    Show(ScreenView::kFit, &m_picture);
    DrawFrame();
    const float radius = BallRadius();
    int changedInside = 0, inside = 0;
    for (unsigned y = 0; y < kSize; ++y)
        for (unsigned x = 0; x < kSize; ++x) {
            const float r = Radius(x, y);
            const uint32_t before = Rgb(without[y * kSize + x]), after = At(x, y);
            if (r > radius + 1.5f)
                EXPECT_TRUE(ColorsNear(before, after, 1)) << x << "," << y << std::hex << " " << before << " " << after;
            if (r < radius - 1.5f) {
                ++inside;
                if (ColorsNear(after, 0xE0E0E0u, 3))
                    ++changedInside;
            }
        }
    EXPECT_GT(inside, 900);
    EXPECT_EQ(changedInside, inside) << "an opaque highlight covers the whole ball";
    if (HasFailure())
        SaveTarget("glassball_highlight");
}

// The hemisphere's slope across, as the bump map holds it at texel (x, y), in -1..1.
double BumpSlopeAcross(int x, int y)
{
    auto height = [](int px, int py) {
        const double r = 16384.0 - ((px - 128.0) * (px - 128.0) + (py - 128.0) * (py - 128.0));
        return r >= 0.0 ? std::sqrt(r) : 0.0;
    };
    if (x >= 255)
        return 0.0;
    return std::trunc(std::atan(height(x, y) - height(x + 1, y)) * 51200.0 / 3.14159265358979) / 32767.0;
}

// Vertical stripes of 4 pixels: in the ball's middle the scene appears magnified as the bump map's
// slopes (linear there) and the stage-1 projection together predict; towards the rim the slopes
// grow steep and bend the stripes far from where a flat lens would show them.
TEST_F(GlassBallOnDevice, AStripedPictureIsBentNearTheRim)
{
    auto stripes = [](unsigned x, unsigned) { return (x / 4) % 2 ? 0xFF0000u : 0x0000FFu; };
    MakePicture(kSize, kSize, stripes);
    Show(ScreenView::kFit, &m_picture);
    DrawFrame();
    // The picture (64 x 64, fitted) covers 64 of 66 pixels by the layout's share; size 50 then
    // puts the camera 600 / 0.625 / share away, and the depth term follows.
    const double share = 64.0 / 66.0;
    EXPECT_NEAR(m_layer->ShareS1(), share, 1e-5);
    const double distance = 600.0 / 0.625 / share;
    const double depth = (0.5 * share * 1.105 + 0.385) * 1.05;
    const double halfHeight = distance * std::tan(3.14159265358979 / 8.0);
    const double w = 3000.0 / 2999.0 * distance * depth + 1.0;
    const double scale = 0.5 / std::tan(3.14159265358979 / 8.0) / w;
    // The stripe a texture coordinate u of the scene falls on; 0 next to a stripe's edge, where
    // either colour may show (the scene may lie half a pixel off in its render target).
    auto stripeAt = [&](double u) {
        const double texel = u * kSize;
        const double edge = std::fabs(std::fmod(texel, 4.0));
        if (edge < 1.2 || edge > 2.8 || texel < 0.0)
            return 0u;
        return stripes(static_cast<unsigned>(texel), 0);
    };
    // Pixel x of a row: the camera-space x, the flat lens's u and the bump map's
    // shift (bilinear between texels, times the bump matrix's 0.2).
    auto cameraX = [&](unsigned x) { return ((x + 0.5) / (kSize / 2.0) - 1.0) * halfHeight; };
    auto flatU = [&](unsigned x) { return 0.5 + cameraX(x) * scale; };
    auto bentU = [&](unsigned x, unsigned y) {
        const double cameraY = (1.0 - (y + 0.5) / (kSize / 2.0)) * halfHeight;
        const double tx = (cameraX(x) + 256.0) / 512.0 * 256.0 - 0.5;
        const double ty = (256.0 - cameraY) / 512.0 * 256.0 - 0.5;
        const int x0 = static_cast<int>(std::floor(tx)), y0 = static_cast<int>(std::floor(ty));
        const double fx = tx - x0, fy = ty - y0;
        const double slope = (1 - fy) * ((1 - fx) * BumpSlopeAcross(x0, y0) + fx * BumpSlopeAcross(x0 + 1, y0)) +
                             fy * ((1 - fx) * BumpSlopeAcross(x0, y0 + 1) + fx * BumpSlopeAcross(x0 + 1, y0 + 1));
        return flatU(x) + 0.2 * slope;
    };
    const float radius = BallRadius();
    int middle = 0, middleAsPredicted = 0, middleAsFlat = 0, rim = 0, rimBent = 0;
    for (unsigned y = 0; y < kSize; ++y)
        for (unsigned x = 0; x < kSize; ++x) {
            const float r = Radius(x, y);
            if (r < 8.0f) {
                const uint32_t want = stripeAt(bentU(x, y));
                if (want == 0u)
                    continue;
                ++middle;
                middleAsPredicted += ColorsNear(At(x, y), want, 60) ? 1 : 0;
                middleAsFlat += stripeAt(flatU(x)) != 0u && ColorsNear(At(x, y), stripeAt(flatU(x)), 60) ? 1 : 0;
            } else if (r > radius - 5.0f && r < radius - 1.5f) {
                const uint32_t flat = stripeAt(flatU(x));
                if (flat == 0u)
                    continue;
                ++rim;
                rimBent += ColorsNear(At(x, y), flat, 60) ? 0 : 1;
            }
        }
    ASSERT_GT(middle, 40);
    ASSERT_GT(rim, 20);
    EXPECT_GE(middleAsPredicted, middle * 9 / 10) << "the middle should show the stripes as predicted; as a flat lens: " << middleAsFlat;
    EXPECT_LT(middleAsFlat, middle * 8 / 10) << "without the bump map's slopes the middle would be flat";
    EXPECT_GE(rimBent, rim / 3) << "the rim should bend the stripes";
    if (HasFailure())
        SaveTarget("glassball_stripes");
}

TEST_F(GlassBallOnDevice, ScrollingAndAResetDrawAgain)
{
    MakePicture(kSize, kSize, [](unsigned, unsigned) { return 0x30A050u; });
    m_layer->MotionParam().SetValue(Vo_GlassBallLight::kScrollLeft);
    Show(ScreenView::kFit, &m_picture);
    DrawFrame(2.0f);
    DrawFrame(2.5f);
    EXPECT_TRUE(ColorsNear(At(32, 32), 0x30A050u, 3)) << std::hex << At(32, 32);
    m_layer->InvalidateDeviceObjects();
    ASSERT_EQ(ResetDevice(), D3D_OK);
    m_layer->RestoreDeviceObjects();
    DrawFrame(3.0f);
    EXPECT_TRUE(ColorsNear(At(32, 32), 0x30A050u, 3)) << std::hex << At(32, 32);
    EXPECT_TRUE(ColorsNear(At(0, 0), 0u, 3)) << std::hex << At(0, 0);
}

}  // namespace
