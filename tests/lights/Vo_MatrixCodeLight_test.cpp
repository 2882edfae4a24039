#include "lights/Vo_MatrixCodeLight.h"

#include <d3d9.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "lights/GlyphRain.h"
#include "model/ClassReaderRegistries.h"
#include "model/CurrentDevice.h"
#include "model/D3DResourceMakers.h"
#include "model/DataBuffer.h"
#include "model/TextureFrameSet.h"
#include "model/Vo_DocResManager.h"
#include "runtime/CurrentScreenView.h"
#include "runtime/PicturePlacement.h"
#include "runtime/ScreenView.h"
#include "runtime/VertexTypes.h"
#include "support/BmpBytes.h"
#include "support/BuildFolderAsCurrent.h"
#include "support/QueuedStream.h"
#include "support/SceneDeviceFixture.h"
#include "tests/lights/LayerOnDeviceFixture.h"
#include "support/TestPaths.h"

namespace {

// --- Record ---

void PushBaseLayerRecord(QueuedStream& stream)
{
    stream.Push(QueuedStream::String{L"Vo_2D_Light"}).Push(QueuedStream::Int{1});
}

void PushParameters(QueuedStream& stream)
{
    stream.Push(QueuedStream::UInt{8})             // cell size
        .Push(QueuedStream::UInt{70})              // spawn index
        .Push(QueuedStream::UInt{12})              // keeps-changing count
        .Push(QueuedStream::Long{1})               // flicker
        .Push(QueuedStream::Long{1})               // background mode
        .Push(QueuedStream::Long{0})               // flow
        .Push(QueuedStream::Int{0x0000FF00})       // trail colour: green
        .Push(QueuedStream::Int{0x00FFFFFF})       // head colour: white
        .Push(QueuedStream::UInt{25});             // transparency raw
}

TEST(Vo_MatrixCodeLightRecord, Version2ReadsEveryParameterAndTheGlyphLinkThenTheBaseLayer)
{
    QueuedStream stream;
    PushParameters(stream);
    stream.Push(QueuedStream::String{L"C:\\glyphs\\strip.png"}).Push(QueuedStream::Int64{0x1234});
    PushBaseLayerRecord(stream);
    std::unique_ptr<Vo_MatrixCodeLight> layer(CreateMatrixCodeLight(stream, 2));
    ASSERT_FALSE(stream.Failed());
    EXPECT_EQ(stream.Remaining(), 0u);
    EXPECT_EQ(layer->CellSize().Value(), 8u);
    EXPECT_EQ(layer->SpawnIndex().Value(), 70u);
    EXPECT_EQ(layer->KeepsChanging().Value(), 12u);
    EXPECT_EQ(layer->Flicker().Value(), 1);
    EXPECT_EQ(layer->BackgroundModeParam().Value(), 1);
    EXPECT_EQ(layer->Flow().Value(), 0);
    EXPECT_EQ(layer->TrailColor().Value(), 0x0000FF00u);
    EXPECT_EQ(layer->HeadColor().Value(), 0x00FFFFFFu);
    EXPECT_FLOAT_EQ(layer->Transparency().Result(), 0.75f);
    EXPECT_EQ(layer->GlyphLink().GetPath(), L"C:\\glyphs\\strip.png");
    EXPECT_EQ(layer->GlyphLink().GetKey().Stamp(), 0x1234);
    EXPECT_FALSE(layer->HasOwnPostEffect());
}

TEST(Vo_MatrixCodeLightRecord, Version1HasNoGlyphLinkAndTheModulesStripStays)
{
    QueuedStream stream;
    PushParameters(stream);
    PushBaseLayerRecord(stream);
    std::unique_ptr<Vo_MatrixCodeLight> layer(CreateMatrixCodeLight(stream, 1));
    ASSERT_FALSE(stream.Failed());
    EXPECT_EQ(stream.Remaining(), 0u);
    EXPECT_EQ(layer->CellSize().Value(), 8u);
    EXPECT_EQ(layer->GlyphLink().GetPath(), L"common_res.dll");
    EXPECT_EQ(layer->GlyphLink().GetKey().Stamp(), 40);
}

TEST(Vo_MatrixCodeLightRecord, DefaultsAndRegistration)
{
    Vo_MatrixCodeLight fresh;
    EXPECT_EQ(fresh.CellSize().Value(), 16u);
    EXPECT_EQ(fresh.SpawnIndex().Value(), 20u);
    EXPECT_EQ(fresh.KeepsChanging().Value(), 50u);
    EXPECT_EQ(fresh.Flicker().Value(), 0);
    EXPECT_EQ(fresh.BackgroundModeParam().Value(), 0);
    EXPECT_EQ(fresh.Flow().Value(), 2);
    EXPECT_FLOAT_EQ(fresh.Transparency().Result(), 1.0f);
    EXPECT_EQ(fresh.Settings().keepsChanging, 10u);
    EXPECT_EQ(fresh.Rain(), nullptr);

    QueuedStream stream;
    stream.Push(QueuedStream::String{L"Vo_MatrixCodeLight"}).Push(QueuedStream::Int{1});
    PushParameters(stream);
    PushBaseLayerRecord(stream);
    std::unique_ptr<Vo_2D_Light> layer(ReadLight2DRecord(stream));
    ASSERT_NE(layer, nullptr);
    auto* glyphs = dynamic_cast<Vo_MatrixCodeLight*>(layer.get());
    ASSERT_NE(glyphs, nullptr);
    EXPECT_EQ(glyphs->SpawnIndex().Value(), 70u);
    EXPECT_EQ(stream.Remaining(), 0u);
}

// --- Without a device ---

TEST(Vo_MatrixCodeLightLogic, SettingsAreTheParametersWithinTheirLimits)
{
    struct Case {
        unsigned cellSize, spawn;
        unsigned expectedCellSize, expectedSpawn;
    };
    for (const Case& c : {Case{0, 0, 1, 1}, Case{5, 150, 5, 100}, Case{16, 100, 16, 100}, Case{3, 1, 3, 1}}) {
        SCOPED_TRACE(testing::Message() << c.cellSize << ", " << c.spawn);
        Vo_MatrixCodeLight layer;
        layer.CellSize().SetValue(c.cellSize);
        layer.SpawnIndex().SetValue(c.spawn);
        layer.KeepsChanging().SetValue(7);
        layer.Flicker().SetValue(-2);
        layer.Flow().SetValue(1);
        layer.LoadContent();
        EXPECT_EQ(layer.Settings().cellSize, c.expectedCellSize);
        EXPECT_EQ(layer.Settings().spawnIndex, c.expectedSpawn);
        EXPECT_EQ(layer.Settings().keepsChanging, 7u);
        EXPECT_EQ(layer.Settings().flicker, -2);
        EXPECT_EQ(layer.Settings().flow, 1);
    }
}

TEST(Vo_MatrixCodeLightLogic, WithoutDeviceOrGlyphsNothingIsMadeAndNothingFails)
{
    Vo_MatrixCodeLight layer;
    layer.LoadContent();
    // No store: no glyph picture, so no slices and no grid.
    EXPECT_EQ(layer.Settings().glyphRows, 0);
    EXPECT_EQ(layer.Rain(), nullptr);
    EXPECT_EQ(layer.Sprites().QuadCount(), 0);
    layer.SetPicturePosition(ScreenView::kFit);
    layer.RestoreDeviceObjects();
    layer.Update(1.5f);
    EXPECT_FLOAT_EQ(layer.FrameTime(), 1.5f);
    layer.BeginRender(0);
    layer.EndRender(0);
    layer.InvalidateDeviceObjects();
}

// --- On a device ---

const uint32_t kBlue = 0x0000FF;
const uint32_t kRed = 0xFF0000;
const uint32_t kGreen = 0x00FF00;
// Stored colours are 0x00BBGGRR.
const unsigned long kStoredRed = 0x000000FF;
const unsigned long kStoredGreen = 0x0000FF00;

uint32_t CellOf(int glyph, int fade)
{
    return uint32_t(glyph) | uint32_t(uint8_t(int8_t(fade))) << 8;
}

class MatrixOnDevice : public LayerOnDeviceFixture<Vo_MatrixCodeLight> {
protected:
    void SetUp() override
    {
        LayerOnDeviceFixture::SetUp();
        if (HasFatalFailure())
            return;
        m_layer->TrailColor().SetValue(kStoredRed);
        m_layer->HeadColor().SetValue(kStoredGreen);
        m_layer->KeepsChanging().SetValue(0);
        // A white, opaque strip of 8 x 48 pixels: 48 / 8 + 2 = 8 slices, every one solid.
        LinkEmbeddedBmp(m_layer->GlyphLink(), L"C:\\glyphs\\white.bmp", 8, 48,
                        [](unsigned, unsigned) { return 0xFFFFFFu; });
    }
    void SetPicture(unsigned w, unsigned h, const std::function<uint32_t(unsigned, unsigned)>& colour)
    {
        LinkEmbeddedBmp(m_layer->PictureLink(), L"C:\\pictures\\picture.bmp", w, h, colour);
    }

    // Every cell empty and no column moving for the next frame, so the test decides what is lit.
    void StillGrid()
    {
        GlyphRain* rain = m_layer->Rain();
        ASSERT_NE(rain, nullptr);
        rain->keepsChanging = 0;
        rain->flicker = 0;
        for (uint32_t& cell : rain->cells)
            cell = 0;
        HoldColumns();
    }
    void HoldColumns()
    {
        for (GlyphRain::Column& column : m_layer->Rain()->columns)
            column = {1, 100, 0};
    }

    void DrawFrame(float time)
    {
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
        ASSERT_EQ(Device()->BeginScene(), D3D_OK);
        m_layer->Update(time);
        m_layer->BeginRender(0);
        m_layer->EndRender(0);
        Device()->EndScene();
        m_pixels = ReadBack();
    }
    uint32_t At(unsigned x, unsigned y) const { return m_pixels[y * kSize + x] & 0x00FFFFFF; }
    void ExpectAt(unsigned x, unsigned y, uint32_t colour, int tolerance = 3)
    {
        EXPECT_TRUE(ColorsNear(At(x, y), colour, tolerance))
            << "x " << x << " y " << y << std::hex << " got " << At(x, y) << " expected " << colour;
    }

    std::vector<uint32_t> m_pixels;
};

TEST_F(MatrixOnDevice, TheStripIsCutIntoSlicesAndEveryCellGetsASprite)
{
    SetPicture(kSize, kSize, [](unsigned, unsigned) { return kBlue; });
    Show(ScreenView::kStretch);
    EXPECT_EQ(m_layer->Settings().glyphRows, 8);
    const GlyphRain* rain = m_layer->Rain();
    ASSERT_NE(rain, nullptr);
    // 64 / 16 + 1 cells a side.
    EXPECT_EQ(rain->cols, 5);
    EXPECT_EQ(rain->rows, 5);
    EXPECT_EQ(m_layer->Sprites().QuadCount(), 25);
    ASSERT_EQ(m_layer->Sprites().Chunks().size(), 1u);
    EXPECT_NE(m_layer->Sprites().Chunks()[0].Texture(), nullptr);
    // Mode 0 keeps no brightness table.
    EXPECT_EQ(m_layer->LuminanceMap(), nullptr);
}

TEST_F(MatrixOnDevice, TheModulesStripHoldsOneGlyphPerSliceWithClearEdges)
{
    // The strip comes from common_res.dll in the build folder.
    BuildFolderAsCurrent buildFolder;
    m_layer->GlyphLink().Assign(L"common_res.dll", 40);
    SetPicture(kSize, kSize, [](unsigned, unsigned) { return kBlue; });
    Show(ScreenView::kStretch);
    // 32 x 1024 pixels: 1024 / 32 + 2 slices.
    ASSERT_EQ(m_layer->Settings().glyphRows, 34) << "picture 40 not found in common_res.dll";
    const TextureFrameSet& set = m_store->GetTextureFrameSet(m_layer->GlyphLink());
    ASSERT_FALSE(set.frames.empty());
    IDirect3DTexture9* strip = set.frames[0].Get();
    D3DSURFACE_DESC desc = {};
    ASSERT_EQ(strip->GetLevelDesc(0, &desc), D3D_OK);
    ASSERT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    ASSERT_EQ(desc.Width, 32u);
    ASSERT_EQ(desc.Height, 1024u);
    D3DLOCKED_RECT locked = {};
    ASSERT_EQ(strip->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    auto alphaAt = [&](unsigned x, unsigned y) {
        return static_cast<const uint8_t*>(locked.pBits)[y * locked.Pitch + x * 4 + 3];
    };
    for (unsigned k = 0; k < 34; ++k) {
        SCOPED_TRACE(k);
        // The rows where slice k meets its neighbours are clear, so filtering never bleeds a
        // neighbour's glyph into a sprite; the slice's own rows hold a white glyph.
        const unsigned top = k * 1024 / 34, bottom = (k + 1) * 1024 / 34;
        unsigned opaque = 0;
        for (unsigned x = 0; x < 32; ++x) {
            EXPECT_EQ(alphaAt(x, top), 0) << x;
            EXPECT_EQ(alphaAt(x, bottom - 1), 0) << x;
            for (unsigned y = top; y < bottom; ++y)
                opaque += alphaAt(x, y) == 255;
        }
        EXPECT_GT(opaque, 100u);
    }
    strip->UnlockRect(0);
}

TEST_F(MatrixOnDevice, Mode0DrawsThePictureAndTheGlyphsOnIt)
{
    SetPicture(kSize, kSize, [](unsigned, unsigned) { return kBlue; });
    Show(ScreenView::kStretch);
    StillGrid();
    GlyphRain& rain = *m_layer->Rain();
    rain.Cell(1, 1) = CellOf(1, 0) | GlyphRain::kChanged;   // steady: trail colour
    rain.Cell(2, 3) = CellOf(5, 2) | GlyphRain::kChanged;   // fresh: head colour
    rain.Cell(3, 0) = CellOf(8, -1) | GlyphRain::kChanged;  // fading: trail colour at half opacity
    DrawFrame(0.1f);
    // Cells of 16 x 16 pixels on the stretched 64 x 64 picture.
    ExpectAt(24, 24, kRed);
    ExpectAt(56, 40, kGreen);
    ExpectAt(8, 56, 0x7F0080);
    for (unsigned x : {8u, 40u, 56u})
        ExpectAt(x, 8, kBlue);
    ExpectAt(40, 40, kBlue);
    ExpectAt(56, 56, kBlue);
    if (HasFailure())
        SaveTarget("glyphs_mode0_frame1");

    // The next frame: the fresh glyph is still bright, the faded one is gone.
    HoldColumns();
    DrawFrame(0.2f);
    ExpectAt(24, 24, kRed);
    ExpectAt(56, 40, kGreen);
    ExpectAt(8, 56, kBlue);
    // Then the fresh glyph turns steady.
    HoldColumns();
    DrawFrame(0.3f);
    ExpectAt(56, 40, kRed);
    if (HasFailure())
        SaveTarget("glyphs_mode0_later");
}

TEST_F(MatrixOnDevice, TransparencyScalesTheGlyphsOpacity)
{
    m_layer->Transparency().SetValue(50);
    SetPicture(kSize, kSize, [](unsigned, unsigned) { return kBlue; });
    Show(ScreenView::kStretch);
    StillGrid();
    m_layer->Rain()->Cell(1, 1) = CellOf(2, 0);
    DrawFrame(0.1f);
    // Alpha trunc(0.5 x 255) = 127 over blue.
    ExpectAt(24, 24, 0x7F0080);
}

TEST_F(MatrixOnDevice, Mode1DrawsOnBlackWithTheOpacityOfThePicturesBrightness)
{
    m_layer->BackgroundModeParam().SetValue(Vo_MatrixCodeLight::kLuminance);
    // White on the left half, black on the right.
    SetPicture(kSize, kSize, [](unsigned x, unsigned) { return x < kSize / 2 ? 0xFFFFFFu : 0u; });
    Show(ScreenView::kStretch);
    ASSERT_NE(m_layer->LuminanceMap(), nullptr);
    StillGrid();
    GlyphRain& rain = *m_layer->Rain();
    rain.Cell(1, 1) = CellOf(1, 0);                          // steady on white
    rain.Cell(1, 3) = CellOf(1, 0);                          // steady on black: unseen
    rain.Cell(3, 0) = CellOf(1, -1) | GlyphRain::kChanged;   // fading on white: full, not halved
    rain.Cell(3, 3) = CellOf(1, 2) | GlyphRain::kChanged;    // bright on black: full
    DrawFrame(0.1f);
    ExpectAt(24, 24, kRed);
    ExpectAt(56, 24, 0);
    ExpectAt(8, 56, kRed);
    ExpectAt(56, 56, kGreen);
    // No picture: the ground is black.
    for (unsigned x : {8u, 24u, 40u, 56u})
        ExpectAt(x, 8, 0);
    ExpectAt(24, 40, 0);
    if (HasFailure())
        SaveTarget("glyphs_mode1");
}

TEST_F(MatrixOnDevice, TheLuminanceMapHoldsThePicturesBrightness)
{
    m_layer->BackgroundModeParam().SetValue(Vo_MatrixCodeLight::kLuminance);
    // Quadrants: red, green / blue, grey 0x808080.
    SetPicture(kSize, kSize, [](unsigned x, unsigned y) {
        if (y < kSize / 2)
            return x < kSize / 2 ? kRed : kGreen;
        return x < kSize / 2 ? kBlue : 0x808080u;
    });
    Show(ScreenView::kStretch);
    const float* map = m_layer->LuminanceMap();
    ASSERT_NE(map, nullptr);
    struct Case {
        int x, y;
        float luminance;
    };
    const float grey = 0x80 / 255.0f;
    for (const Case& c : {Case{64, 64, 0.299f}, Case{192, 64, 0.587f}, Case{64, 192, 0.114f},
                          Case{192, 192, grey}, Case{10, 10, 0.299f}, Case{250, 250, grey}}) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
        EXPECT_NEAR(map[c.y * 256 + c.x], c.luminance, 0.01f);
    }
    // Back to mode 0: the table goes.
    m_layer->BackgroundModeParam().SetValue(Vo_MatrixCodeLight::kPicture);
    m_layer->BuildLuminanceMap();
    EXPECT_EQ(m_layer->LuminanceMap(), nullptr);
}

TEST_F(MatrixOnDevice, AMissingGlyphPictureShowsThePictureAlone)
{
    // A file the store does not hold, and a module that cannot be opened (the store gives a
    // stand-in size without a texture).
    const std::pair<const wchar_t*, int64_t> links[] = {{L"C:\\glyphs\\missing.png", 77},
                                                        {L"no_such_module.dll", 40}};
    for (const auto& link : links) {
        SCOPED_TRACE(testing::Message() << link.second);
        m_layer.reset(new Vo_MatrixCodeLight());
        m_layer->GlyphLink().Assign(link.first, link.second);
        SetPicture(kSize, kSize, [](unsigned, unsigned) { return kBlue; });
        Show(ScreenView::kStretch);
        EXPECT_EQ(m_layer->Settings().glyphRows, 0);
        EXPECT_EQ(m_layer->Rain(), nullptr);
        EXPECT_EQ(m_layer->Sprites().QuadCount(), 0);
        DrawFrame(0.1f);
        for (unsigned y = 4; y < kSize; y += 12)
            for (unsigned x = 4; x < kSize; x += 12)
                ExpectAt(x, y, kBlue);
    }
}

TEST_F(MatrixOnDevice, AGridTooLargeForItsSpritesDrawsThePictureAlone)
{
    m_layer->CellSize().SetValue(1);
    SetPicture(kSize, kSize, [](unsigned, unsigned) { return kBlue; });
    Show(ScreenView::kStretch);
    ASSERT_NE(m_layer->Rain(), nullptr);
    // A picture of 5000 x 5000 pixels in cells of one pixel: 25 million cells.
    TextureInfo huge;
    MakeTextureInfo(huge, m_layer->Picture().texture.Get(), 5000, 5000);
    m_layer->GetPictureMesh()->SetPicture(huge);
    m_layer->SetPicturePosition(ScreenView::kStretch);
    EXPECT_EQ(m_layer->Rain(), nullptr);
    EXPECT_EQ(m_layer->Sprites().QuadCount(), 0);
    DrawFrame(0.1f);
    ExpectAt(32, 32, kBlue);
}

TEST_F(MatrixOnDevice, SpritesFillChunksOf16383Quads)
{
    m_layer->CellSize().SetValue(1);
    struct Case {
        unsigned width, height;
        int quads;
        unsigned lastChunkVertices;
    };
    // 127 x 129 cells fill one chunk exactly; 128 x 128 spill one quad into a second.
    for (const Case& c : {Case{126, 128, 16383, 0}, Case{127, 127, 16384, 4}}) {
        SCOPED_TRACE(c.quads);
        SetPicture(c.width, c.height, [](unsigned, unsigned) { return kBlue; });
        Show(ScreenView::kStretch);
        const Vo_ChunkedSpriteArray& sprites = m_layer->Sprites();
        EXPECT_EQ(sprites.QuadCount(), c.quads);
        ASSERT_EQ(sprites.Chunks().size(), 2u);
        EXPECT_EQ(sprites.Chunks()[0].VertexCount(), 4u * 16383);
        EXPECT_EQ(sprites.Chunks()[1].VertexCount(), c.lastChunkVertices);
        EXPECT_EQ(sprites.Chunks()[1].VertexBuffer() != nullptr, c.lastChunkVertices != 0);
    }

    // Every cell lit: the last quad, the first of the second chunk, shows the last cell.
    GlyphRain& rain = *m_layer->Rain();
    ASSERT_EQ(rain.cols * rain.rows, 16384);
    StillGrid();
    for (uint32_t& cell : rain.cells)
        cell = CellOf(3, 0);
    DrawFrame(0.1f);
    const TexturedMesh& last = m_layer->Sprites().Chunks()[1];
    void* data = nullptr;
    ASSERT_EQ(last.VertexBuffer()->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
    const auto* v = static_cast<const ScreenTexVertex*>(data);
    // Cells of 64 / 127 pixels; the last cell's sprite is centred 127.5 cells from the corner.
    const float cell = 64.0f / 127.0f;
    EXPECT_NEAR(0.5f * (v[0].x + v[2].x), 127.5f * cell, 1e-3f);
    EXPECT_NEAR(0.5f * (v[0].y + v[1].y), 127.5f * cell, 1e-3f);
    EXPECT_NEAR(v[2].x - v[0].x, cell, 1e-4f);
    EXPECT_EQ(v[0].color, 0xFFFF0000u);
    EXPECT_FLOAT_EQ(v[1].v, 2.0f / 8.0f);
    EXPECT_FLOAT_EQ(v[0].v, 3.0f / 8.0f);
    last.VertexBuffer()->Unlock();
    // All cells were lit, so the next step writes blanks: no drop can fill the screen for good.
    EXPECT_EQ(m_layer->Cursor()->visible, 16384);
}

TEST_F(MatrixOnDevice, APushedTargetScalesTheGlyphs)
{
    D3DSURFACE_DESC backBuffer = {};
    GetBackBufferDesc(backBuffer);
    ASSERT_GT(backBuffer.Width, 0u);
    D3DSURFACE_DESC surface = backBuffer;
    surface.Width = backBuffer.Width / 2;
    surface.Height = backBuffer.Height / 4;
    m_layer->PushTargetSize(surface, ScreenView::kStretch);
    EXPECT_FLOAT_EQ(m_layer->GlyphScaleX(), float(backBuffer.Width / 2) / float(backBuffer.Width));
    EXPECT_FLOAT_EQ(m_layer->GlyphScaleY(), float(backBuffer.Height / 4) / float(backBuffer.Height));
    m_layer->PopTargetSize();
    EXPECT_EQ(m_layer->GlyphScaleX(), 1.0f);
    EXPECT_EQ(m_layer->GlyphScaleY(), 1.0f);
}

}  // namespace
