#include "runtime/LayerDrawing.h"

#include <d3dx9.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "runtime/CurrentScreenView.h"
#include "runtime/ScreenView.h"
#include "runtime/TextureFactorDrawable.h"
#include "runtime/TexturedMesh.h"
#include "runtime/TexturedQuad.h"
#include "runtime/VertexBuffers.h"
#include "runtime/Vo_IndexedMesh.h"
#include "tests/runtime/MeshDeviceTest.h"

namespace {

// A compiled effect of techniques whose passes hold only states, written from the effect
// format's facts: a pool of strings, state typedefs and values, then the technique table.
class EffectBytes {
public:
    struct State {
        DWORD operation;
        DWORD value;
    };

    EffectBytes() { m_pool.push_back(0); }

    // One technique whose passes each set the given states; a vertex shader blob, when given,
    // becomes the first state of the first pass.
    std::vector<uint8_t> Technique(const char* name, const std::vector<std::vector<State>>& passes,
                                   const std::vector<uint8_t>& vertexShader = {})
    {
        const DWORD nameOffset = AddString(name);
        const DWORD passName = AddString("P");
        const DWORD intType = AddTypedef(2, 0, true);
        const DWORD shaderType = AddTypedef(16, 4, false);
        const DWORD shaderValue = AddDword(1);
        std::vector<DWORD> valueOffsets;
        for (const auto& pass : passes)
            for (const State& s : pass)
                valueOffsets.push_back(AddDword(s.value));

        std::vector<DWORD> s;
        const bool hasShader = !vertexShader.empty();
        s.insert(s.end(), {0, 1, hasShader ? 1u : 0u, hasShader ? 2u : 1u});
        s.insert(s.end(), {nameOffset, 0, DWORD(passes.size())});
        size_t v = 0;
        for (size_t p = 0; p < passes.size(); ++p) {
            const bool shaderHere = hasShader && p == 0;
            s.insert(s.end(), {passName, 0, DWORD(passes[p].size() + (shaderHere ? 1 : 0))});
            if (shaderHere)
                s.insert(s.end(), {146, 0, shaderType, shaderValue});
            for (const State& state : passes[p])
                s.insert(s.end(), {state.operation, 0, intType, valueOffsets[v++]});
        }
        s.insert(s.end(), {0, hasShader ? 1u : 0u});
        if (hasShader) {
            s.insert(s.end(), {0, 0, 0xFFFFFFFF, 0, 0, DWORD(vertexShader.size())});
            std::vector<DWORD> blob((vertexShader.size() + 3) / 4, 0);
            std::memcpy(blob.data(), vertexShader.data(), vertexShader.size());
            s.insert(s.end(), blob.begin(), blob.end());
        }

        std::vector<DWORD> file = {0xFEFF0901, DWORD(m_pool.size() * 4)};
        file.insert(file.end(), m_pool.begin(), m_pool.end());
        file.insert(file.end(), s.begin(), s.end());
        std::vector<uint8_t> bytes(file.size() * 4);
        std::memcpy(bytes.data(), file.data(), bytes.size());
        return bytes;
    }

private:
    DWORD AddDword(DWORD value)
    {
        m_pool.push_back(value);
        return DWORD(m_pool.size() - 1) * 4;
    }
    DWORD AddString(const char* text)
    {
        const DWORD offset = DWORD(m_pool.size()) * 4;
        const size_t length = std::strlen(text) + 1;
        m_pool.push_back(DWORD(length));
        std::vector<DWORD> chars((length + 3) / 4, 0);
        std::memcpy(chars.data(), text, length);
        m_pool.insert(m_pool.end(), chars.begin(), chars.end());
        return offset;
    }
    DWORD AddTypedef(DWORD type, DWORD cls, bool scalar)
    {
        const DWORD offset = DWORD(m_pool.size()) * 4;
        m_pool.insert(m_pool.end(), {type, cls, 0, 0, 0});
        if (scalar)
            m_pool.insert(m_pool.end(), {1, 1});
        return offset;
    }

    std::vector<DWORD> m_pool;
};

// Effect state codes.
const DWORD kFxAlphaBlendEnable = 13;
const DWORD kFxSrcBlend = 6;
const DWORD kFxDestBlend = 7;

uint32_t Rgb(uint32_t color)
{
    return color | 0xFF000000;
}

uint8_t Channel(uint32_t color, int shift)
{
    return uint8_t(color >> shift);
}

// src x a + dst x (1 - a) (or + dst for additive), per channel, rounded.
uint32_t Blend(uint32_t src, float alpha, uint32_t dst, bool additive)
{
    uint32_t out = 0xFF000000;
    for (int shift : {0, 8, 16}) {
        float value = Channel(src, shift) * alpha + Channel(dst, shift) * (additive ? 1.0f : 1.0f - alpha);
        if (value > 255.0f)
            value = 255.0f;
        out |= uint32_t(value + 0.5f) << shift;
    }
    return out;
}

class LayerDrawingTest : public MeshDeviceTest {
protected:
    void SetUp() override
    {
        MeshDeviceTest::SetUp();
        if (HasFatalFailure())
            return;
        // Picture pixels are target pixels: a 64 x 64 picture stretched over the 64 x 64 target.
        m_view.Layout(kSize, kSize, kSize, kSize, ScreenView::kRenderTarget, false, kSize, kSize);
        CurrentScreenView = &m_view;
        // The layer applies the view before its objects draw.
        m_view.ApplyTransforms();
        // The layer's common states.
        IDirect3DDevice9* d = Device();
        d->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        d->SetRenderState(D3DRS_LIGHTING, FALSE);
        d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        d->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
        d->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    }
    void TearDown() override
    {
        CurrentScreenView = nullptr;
        MeshDeviceTest::TearDown();
    }

    void Clear(uint32_t color) { Device()->Clear(0, nullptr, D3DCLEAR_TARGET, color, 1.0f, 0); }
    uint32_t Centre() const { return Rgb(PixelAt(32, 32)); }

    // One PCT quad over the whole target in a sprite-style triangle list.
    void MakeSpriteQuad(Vo_IndexedMesh<DX_V::PCT>& mesh, uint32_t color)
    {
        ASSERT_EQ(FillQuadIndexBuffer(mesh, 1), S_OK);
        const float s = float(kSize);
        const DX_V::PCT v[4] = {{0, s, 0, color, 0, 1}, {0, 0, 0, color, 0, 0},
                                {s, s, 0, color, 1, 1}, {s, 0, 0, color, 1, 0}};
        WriteVertices(mesh.VertexBuffer(), v, sizeof(v));
    }

    // A TexVertex strip over the whole target.
    void MakeWorldQuad(Vo_SimpleMesh<DX_V::PCT>& mesh)
    {
        const float s = float(kSize);
        const float values[20] = {0, s, 0, 0, 1, 0, 0, 0, 0, 0, s, s, 0, 1, 1, s, 0, 0, 1, 0};
        ASSERT_EQ(mesh.BuildWorldQuad(values), S_OK);
    }

    // Two quads over the whole target in one NormalTexVertex list: the first clockwise on the
    // screen (a front face) sampling texel 0, the second counter-clockwise sampling texel 1.
    void MakeTwoFacedMesh(TexturedMesh& mesh)
    {
        const float s = float(kSize);
        const float uf = 0.25f, ub = 0.75f;
        const NormalTexVertex v[8] = {
            {0, 0, 0, 0, 0, -1, uf, 0.5f}, {s, 0, 0, 0, 0, -1, uf, 0.5f},
            {0, s, 0, 0, 0, -1, uf, 0.5f}, {s, s, 0, 0, 0, -1, uf, 0.5f},
            {0, 0, 0, 0, 0, -1, ub, 0.5f}, {s, 0, 0, 0, 0, -1, ub, 0.5f},
            {0, s, 0, 0, 0, -1, ub, 0.5f}, {s, s, 0, 0, 0, -1, ub, 0.5f}};
        const uint16_t indices[12] = {0, 1, 2, 1, 3, 2, 4, 6, 5, 5, 6, 7};
        ASSERT_EQ(CreateVertexBufferOf<NormalTexVertex>(mesh.VertexBufferRef(), 8, 0, D3DPOOL_MANAGED), S_OK);
        WriteVertices(mesh.VertexBuffer(), v, sizeof(v));
        ASSERT_EQ(Device()->CreateIndexBuffer(sizeof(indices), 0, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                              mesh.IndexBufferRef().Receive(), nullptr),
                  S_OK);
        void* data = nullptr;
        ASSERT_EQ(mesh.IndexBuffer()->Lock(0, 0, &data, 0), S_OK);
        std::memcpy(data, indices, sizeof(indices));
        mesh.IndexBuffer()->Unlock();
        mesh.SetVertexCount(8);
        mesh.SetPrimitiveType(D3DPT_TRIANGLELIST);
        mesh.SetIndexedPrimitiveCount(4);
    }

    static void WriteVertices(IDirect3DVertexBuffer9* buffer, const void* vertices, size_t bytes)
    {
        void* data = nullptr;
        ASSERT_NE(buffer, nullptr);
        ASSERT_EQ(buffer->Lock(0, 0, &data, 0), S_OK);
        std::memcpy(data, vertices, bytes);
        buffer->Unlock();
    }

    ComRef<ID3DXEffect> MakeEffect(const std::vector<uint8_t>& bytes)
    {
        ComRef<ID3DXEffect> effect;
        EXPECT_EQ(D3DXCreateEffect(Device(), bytes.data(), UINT(bytes.size()), nullptr, nullptr, 0,
                                   nullptr, effect.Receive(), nullptr),
                  S_OK);
        if (effect) {
            EXPECT_EQ(effect->SetTechnique("T"), S_OK);
        }
        return effect;
    }

    ScreenView m_view;
};

TEST_F(LayerDrawingTest, SpriteMeshBlendsByAdditiveFlagAndOverlay)
{
    const uint32_t background = 0xFF204060;
    const uint32_t picture = 0xFF402010;
    const uint32_t overlayColour = 0xFF000080;
    // Vertex alpha 128 halves every pass.
    const float a = 128.0f / 255.0f;
    const uint32_t plain = Blend(picture, a, background, false);
    const uint32_t added = Blend(picture, a, background, true);
    const struct {
        const char* name;
        int additive;
        bool overlay;
        int particles;
        uint32_t expected;
    } cases[] = {
        {"plain", 0, false, 1, plain},
        {"additive", 1, false, 1, added},
        // With an overlay the first pass blends normally; only additive == 1 adds the overlay.
        {"additive with overlay", 1, true, 1, Blend(overlayColour, a, plain, true)},
        {"plain with overlay", 0, true, 1, Blend(overlayColour, a, plain, false)},
        {"additive 2 with overlay", 2, true, 1, Blend(overlayColour, a, plain, false)},
        // More particles than the buffers hold: the one quad there is, drawn once.
        {"count beyond the buffer", 0, false, 500, plain},
        {"no particles", 1, false, 0, background},
    };
    ComRef<IDirect3DTexture9> frame = MakeRowTexture({picture});
    ComRef<IDirect3DTexture9> overlay = MakeRowTexture({overlayColour});
    Vo_IndexedMesh<DX_V::PCT> mesh;
    MakeSpriteQuad(mesh, 0x80FFFFFF);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Clear(background);
        ASSERT_EQ(Device()->BeginScene(), S_OK);
        EXPECT_EQ(DrawSpriteMesh(mesh, frame.Get(), c.overlay ? overlay.Get() : nullptr, c.particles, c.additive),
                  S_OK);
        Device()->EndScene();
        EXPECT_TRUE(ColorsNear(Centre(), c.expected)) << std::hex << Centre() << " != " << c.expected;
        EXPECT_TRUE(ColorsNear(Rgb(PixelAt(1, 62)), c.expected));
    }
}

// More quads than 16-bit indices reach: one index buffer of a chunk of quads serves every
// chunk, each drawn from its own base vertex. Only the last quad, in the second chunk, covers
// the target; every other quad has no area.
TEST_F(LayerDrawingTest, SpriteMeshOfManyQuadsIsDrawnChunkByChunk)
{
    const int quads = kMaxQuadsPerIndexBuffer + 2;
    Vo_IndexedMesh<DX_V::PCT> mesh;
    ASSERT_EQ(MakeSpriteQuadBuffers(mesh, quads), S_OK);
    EXPECT_EQ(mesh.VertexCount(), UINT(4 * quads));
    EXPECT_EQ(mesh.IndexedPrimitiveCount(), UINT(2 * kMaxQuadsPerIndexBuffer));
    std::vector<DX_V::PCT> v(4 * size_t(quads), DX_V::PCT{0, 0, 0, 0xFFFFFFFF, 0, 0});
    const float s = float(kSize);
    DX_V::PCT* last = &v[4 * size_t(quads - 1)];
    last[0] = {0, s, 0, 0xFFFFFFFF, 0, 1};
    last[1] = {0, 0, 0, 0xFFFFFFFF, 0, 0};
    last[2] = {s, s, 0, 0xFFFFFFFF, 1, 1};
    last[3] = {s, 0, 0, 0xFFFFFFFF, 1, 0};
    WriteVertices(mesh.VertexBuffer(), v.data(), v.size() * sizeof(DX_V::PCT));

    const uint32_t background = 0xFF204060;
    const uint32_t picture = 0xFF3070A0;
    ComRef<IDirect3DTexture9> frame = MakeRowTexture({picture});
    const struct {
        const char* name;
        int particles;
        uint32_t expected;
    } cases[] = {
        {"every quad", quads, picture},
        {"all but the last", quads - 1, background},
        {"beyond the buffers", quads + 100, picture},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Clear(background);
        ASSERT_EQ(Device()->BeginScene(), S_OK);
        EXPECT_EQ(DrawSpriteMesh(mesh, frame.Get(), nullptr, c.particles, 0), S_OK);
        Device()->EndScene();
        EXPECT_TRUE(ColorsNear(Centre(), Rgb(c.expected))) << std::hex << Centre();
    }
    EXPECT_EQ(MakeSpriteQuadBuffers(mesh, 0), S_FALSE);
    EXPECT_EQ(mesh.VertexBuffer(), nullptr);
}

TEST_F(LayerDrawingTest, MeshListDrawsFrontThenBackFacesWhenBlending)
{
    const uint32_t red = 0x80FF0000, blue = 0x800000FF;
    const float a = 128.0f / 255.0f;
    const uint32_t black = 0xFF000000;
    const uint32_t redOnBlack = Blend(red, a, black, false);
    const uint32_t blueOnBlack = Blend(blue, a, black, false);
    const struct {
        const char* name;
        uint8_t alpha;
        uint8_t winding;
        uint32_t expected;
    } cases[] = {
        // Without blending one round: the faces the winding calls front, opaque.
        {"opaque, counter-clockwise winding", 0, 1, 0xFFFF0000},
        {"opaque, clockwise winding", 0, 0, 0xFF0000FF},
        // With blending the front faces first, the back faces over them.
        {"blended, counter-clockwise winding", 1, 1, Blend(blue, a, redOnBlack, false)},
        {"blended, clockwise winding", 1, 0, Blend(red, a, blueOnBlack, false)},
    };
    ComRef<IDirect3DTexture9> texture = MakeRowTexture({red, blue});
    TexturedMesh mesh;
    MakeTwoFacedMesh(mesh);
    mesh.SetTexture(texture.Get());
    Vo_Frame frame;
    Vo_Frame* frames[] = {&frame};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        mesh.SetAlphaBlend(c.alpha);
        frame.SetWinding(c.winding);
        Device()->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        Clear(black);
        ASSERT_EQ(Device()->BeginScene(), S_OK);
        EXPECT_EQ(DrawMeshList(mesh, frames, 1), S_OK);
        Device()->EndScene();
        EXPECT_TRUE(ColorsNear(Centre(), c.expected)) << std::hex << Centre() << " != " << c.expected;
    }
}

TEST_F(LayerDrawingTest, ThreePassAdditiveEffectTriplesTheIntensity)
{
    const std::vector<EffectBytes::State> additive = {
        {kFxAlphaBlendEnable, TRUE}, {kFxSrcBlend, D3DBLEND_ONE}, {kFxDestBlend, D3DBLEND_ONE}};
    ComRef<ID3DXEffect> effect = MakeEffect(EffectBytes().Technique("T", {additive, additive, additive}));
    ASSERT_TRUE(effect);
    ComRef<IDirect3DTexture9> grey = MakeRowTexture({0xFF302010});
    Vo_SimpleMesh<DX_V::PCT> quad;
    MakeWorldQuad(quad);

    IDirect3DDevice9* d = Device();
    d->SetTexture(0, grey.Get());
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    Clear(0xFF000000);
    ASSERT_EQ(d->BeginScene(), S_OK);
    ID3DXEffect* raw = effect.Get();
    EXPECT_EQ(DrawStripWithEffect(&quad, &raw), S_OK);
    d->EndScene();
    EXPECT_TRUE(ColorsNear(Centre(), 0xFF906030)) << std::hex << Centre();
    // The effect put back what its passes changed.
    DWORD blend = 0;
    d->GetRenderState(D3DRS_ALPHABLENDENABLE, &blend);
    EXPECT_EQ(blend, DWORD(FALSE));

    // No effect: nothing drawn.
    Clear(0xFF000000);
    ID3DXEffect* none = nullptr;
    EXPECT_EQ(DrawStripWithEffect(&quad, &none), D3DERR_INVALIDCALL);
    EXPECT_EQ(DrawStripWithEffect(&quad, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(Centre(), 0xFF000000u);
}

TEST_F(LayerDrawingTest, PassVertexShaderIsKept)
{
    // Passes the clip-space position through and colours every vertex green.
    const char source[] =
        "vs_2_0\n"
        "def c0, 0, 1, 0, 1\n"
        "dcl_position v0\n"
        "mov oPos, v0\n"
        "mov oD0, c0\n";
    ComRef<ID3DXBuffer> code;
    ASSERT_EQ(D3DXAssembleShader(source, UINT(sizeof(source) - 1), nullptr, nullptr, 0, code.Receive(), nullptr),
              S_OK);
    const auto* begin = static_cast<const uint8_t*>(code->GetBufferPointer());
    std::vector<uint8_t> blob(begin, begin + code->GetBufferSize());
    ComRef<ID3DXEffect> effect = MakeEffect(EffectBytes().Technique("T", {{{kFxAlphaBlendEnable, FALSE}}}, blob));
    ASSERT_TRUE(effect);

    // A quad in clip space: drawn through the fixed pipeline it would shrink to a corner pixel.
    Vo_SimpleMesh<DX_V::PCT> quad;
    const float values[20] = {-1, -1, 0.5f, 0, 1, -1, 1, 0.5f, 0, 0, 1, -1, 0.5f, 1, 1, 1, 1, 0.5f, 1, 0};
    ASSERT_EQ(quad.BuildWorldQuad(values), S_OK);
    IDirect3DDevice9* d = Device();
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    Clear(0xFF000000);
    ASSERT_EQ(d->BeginScene(), S_OK);
    ID3DXEffect* raw = effect.Get();
    EXPECT_EQ(DrawStripWithEffect(&quad, &raw), S_OK);
    d->EndScene();
    EXPECT_TRUE(ColorsNear(Centre(), 0xFF00FF00)) << std::hex << Centre();
    EXPECT_TRUE(ColorsNear(Rgb(PixelAt(60, 60)), 0xFF00FF00));
}

TEST_F(LayerDrawingTest, ColoredIndexedWithoutEffectModulatesOnce)
{
    ComRef<IDirect3DTexture9> texture = MakeRowTexture({0xFFFF8040});
    Vo_IndexedMesh<DX_V::PCT> mesh;
    MakeSpriteQuad(mesh, 0x80FFFFFF);
    IDirect3DDevice9* d = Device();
    d->SetTexture(0, texture.Get());
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    const uint32_t background = 0xFF000000;
    const float a = 128.0f / 255.0f;
    struct {
        int primitives;
        uint32_t expected;
    } cases[] = {{2, Blend(0xFFFF8040, a, background, false)},
                 // Beyond the buffer: cut to the two triangles there are.
                 {1000, Blend(0xFFFF8040, a, background, false)},
                 {0, background},
                 {-3, background}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.primitives);
        Clear(background);
        ASSERT_EQ(d->BeginScene(), S_OK);
        EXPECT_EQ(DrawColoredIndexed(&mesh, nullptr, c.primitives), S_OK);
        d->EndScene();
        EXPECT_TRUE(ColorsNear(Centre(), c.expected)) << std::hex << Centre();
    }
}

// The render and stage-0 states the services may touch, each set to a value no service uses, so
// that both what a service sets and what it leaves alone show.
struct TrackedState {
    const char* name;
    bool stage;
    DWORD state;
    DWORD sentinel;
};
const TrackedState kTracked[] = {
    {"ALPHABLENDENABLE", false, D3DRS_ALPHABLENDENABLE, 7},
    {"SRCBLEND", false, D3DRS_SRCBLEND, D3DBLEND_DESTCOLOR},
    {"DESTBLEND", false, D3DRS_DESTBLEND, D3DBLEND_INVDESTCOLOR},
    {"CULLMODE", false, D3DRS_CULLMODE, 9},
    {"ZENABLE", false, D3DRS_ZENABLE, D3DZB_USEW},
    {"TEXTUREFACTOR", false, D3DRS_TEXTUREFACTOR, 0x12345678},
    {"COLOROP", true, D3DTSS_COLOROP, D3DTOP_ADDSIGNED},
    {"ALPHAOP", true, D3DTSS_ALPHAOP, D3DTOP_ADDSIGNED},
    {"COLORARG1", true, D3DTSS_COLORARG1, D3DTA_SPECULAR},
    {"COLORARG2", true, D3DTSS_COLORARG2, D3DTA_SPECULAR},
    {"ALPHAARG1", true, D3DTSS_ALPHAARG1, D3DTA_SPECULAR},
    {"ALPHAARG2", true, D3DTSS_ALPHAARG2, D3DTA_SPECULAR},
    {"TEXTURETRANSFORMFLAGS", true, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2},
};

struct ExpectedState {
    const char* name;
    DWORD value;
};

class FactorObject : public TextureFactorDrawable {
public:
    void PrepareStage(int value) override { prepared.push_back(value); }
    const Vo_IndexedMesh<DX_V::PCT>& Mesh() const override { return mesh; }
    IDirect3DTexture9* Texture() const override { return texture; }
    Vo_IndexedMesh<DX_V::PCT> mesh;
    IDirect3DTexture9* texture = nullptr;
    std::vector<int> prepared;
};

TEST_F(LayerDrawingTest, EachServiceLeavesExactlyItsStates)
{
    IDirect3DDevice9* d = Device();
    ComRef<IDirect3DTexture9> texture = MakeRowTexture({0xFFFFFFFF});
    Vo_IndexedMesh<DX_V::PCT> sprites;
    MakeSpriteQuad(sprites, 0xFFFFFFFF);
    TexturedMesh faces;
    MakeTwoFacedMesh(faces);
    faces.SetTexture(texture.Get());
    faces.SetAlphaBlend(1);
    Vo_Frame frame;
    Vo_Frame* frames[] = {&frame};
    TexturedMesh children;
    MakeTwoFacedMesh(children);
    children.AddChild(&frame);
    Vo_SimpleMesh<DX_V::PCT> strip;
    MakeWorldQuad(strip);
    Vo_SimpleMesh<DX_V::PCT> twoTex;
    ASSERT_EQ(CreateVertexBufferOf<TwoTexVertex>(twoTex.VertexBufferRef(), 4, 0, D3DPOOL_MANAGED), S_OK);
    twoTex.SetPrimitiveType(D3DPT_TRIANGLESTRIP);
    twoTex.SetPrimitiveCount(2);
    ScreenQuad screen;
    InitBackBufferQuad(screen, float(kSize), float(kSize));
    Vo_SimpleMesh<DX_V::PCT> overlayQuad;
    ASSERT_EQ(overlayQuad.SetQuadWithColor(0x80000000, screen), S_OK);
    Vo_SimpleMesh<DX_V::PCT> colorQuad;
    ASSERT_EQ(colorQuad.SetColorQuadXYZ(0x80000000, screen), S_OK);
    TexturedQuad texturedQuad;
    ASSERT_EQ(texturedQuad.SetTexturedQuad(texture.Get(), screen), S_OK);
    FactorObject factor;
    MakeSpriteQuad(factor.mesh, 0);
    factor.texture = texture.Get();
    const std::vector<EffectBytes::State> pass = {{kFxAlphaBlendEnable, TRUE}, {kFxDestBlend, D3DBLEND_ONE}};
    ComRef<ID3DXEffect> effect = MakeEffect(EffectBytes().Technique("T", {pass, pass}));
    ASSERT_TRUE(effect);
    ID3DXEffect* fx = effect.Get();
    ID3DXEffect* noFx = nullptr;

    const struct {
        const char* name;
        std::function<HRESULT()> call;
        HRESULT result;
        std::vector<ExpectedState> expected;
    } services[] = {
        // The effect restores what its passes change; the services set nothing themselves.
        {"indexed with effect", [&] { return DrawIndexedWithEffect(&sprites, &fx); }, S_OK, {}},
        {"list with effect", [&] { return DrawListWithEffect(&twoTex, &fx); }, S_OK, {}},
        {"strip with effect", [&] { return DrawStripWithEffect(&strip, &fx); }, S_OK, {}},
        {"coloured indexed with effect", [&] { return DrawColoredIndexedWithEffect(&sprites, &fx); }, S_OK, {}},
        {"coloured indexed, effect", [&] { return DrawColoredIndexed(&sprites, &fx, 2); }, S_OK, {}},
        {"indexed without effect", [&] { return DrawIndexedWithEffect(&sprites, &noFx); }, D3DERR_INVALIDCALL, {}},
        {"coloured indexed, no effect",
         [&] { return DrawColoredIndexed(&sprites, &noFx, 2); },
         S_OK,
         {{"ALPHABLENDENABLE", TRUE},
          {"DESTBLEND", D3DBLEND_INVSRCALPHA},
          {"SRCBLEND", D3DBLEND_SRCALPHA},
          {"COLOROP", D3DTOP_MODULATE},
          {"ALPHAOP", D3DTOP_MODULATE},
          {"COLORARG1", D3DTA_TEXTURE},
          {"COLORARG2", D3DTA_DIFFUSE}}},
        {"sprite mesh",
         [&] { return DrawSpriteMesh(sprites, texture.Get(), nullptr, 1, 1); },
         S_OK,
         {{"CULLMODE", D3DCULL_NONE},
          {"ALPHABLENDENABLE", FALSE},
          {"COLOROP", D3DTOP_MODULATE},
          {"ALPHAOP", D3DTOP_MODULATE},
          {"COLORARG1", D3DTA_TEXTURE},
          {"COLORARG2", D3DTA_DIFFUSE},
          {"DESTBLEND", D3DBLEND_INVSRCALPHA}}},
        {"sprite mesh with overlay",
         [&] { return DrawSpriteMesh(sprites, texture.Get(), texture.Get(), 1, 1); },
         S_OK,
         {{"CULLMODE", D3DCULL_NONE},
          {"ALPHABLENDENABLE", FALSE},
          {"COLOROP", D3DTOP_SELECTARG1},
          {"ALPHAOP", D3DTOP_MODULATE},
          {"COLORARG1", D3DTA_TEXTURE},
          {"COLORARG2", D3DTA_DIFFUSE},
          {"DESTBLEND", D3DBLEND_INVSRCALPHA}}},
        {"mesh list",
         [&] { return DrawMeshList(faces, frames, 1); },
         S_OK,
         {{"CULLMODE", D3DCULL_NONE}, {"ALPHABLENDENABLE", FALSE}}},
        {"mesh list textured",
         [&] { return DrawMeshListTextured(children); },
         S_OK,
         {{"ALPHABLENDENABLE", FALSE},
          {"ALPHAOP", D3DTOP_SELECTARG1},
          {"COLOROP", D3DTOP_SELECTARG1},
          {"CULLMODE", D3DCULL_NONE}}},
        {"texture factor",
         [&] { return DrawWithTextureFactor(&factor, 5); },
         S_OK,
         {{"ALPHABLENDENABLE", FALSE},
          {"CULLMODE", D3DCULL_NONE},
          {"ZENABLE", D3DZB_FALSE},
          {"COLOROP", D3DTOP_SELECTARG1},
          {"ALPHAOP", D3DTOP_MODULATE},
          {"COLORARG1", D3DTA_TEXTURE},
          {"ALPHAARG1", D3DTA_TEXTURE},
          {"ALPHAARG2", D3DTA_DIFFUSE},
          {"COLORARG2", D3DTA_DIFFUSE},
          {"TEXTUREFACTOR", 0xFFFFFFFF},
          {"TEXTURETRANSFORMFLAGS", D3DTTFF_DISABLE}}},
        {"overlay quad",
         [&] { return DrawOverlayQuad(&overlayQuad); },
         S_OK,
         {{"ALPHABLENDENABLE", TRUE}, {"COLORARG1", D3DTA_TEXTURE}, {"ALPHAARG1", D3DTA_TEXTURE}}},
        {"no overlay quad", [&] { return DrawOverlayQuad(nullptr); }, S_OK, {}},
        {"textured quad",
         [&] { return DrawTexturedQuad(&texturedQuad); },
         S_OK,
         {{"ALPHABLENDENABLE", TRUE},
          {"SRCBLEND", D3DBLEND_SRCALPHA},
          {"DESTBLEND", D3DBLEND_INVSRCALPHA},
          {"ZENABLE", D3DZB_FALSE},
          {"ALPHAOP", D3DTOP_SELECTARG1}}},
        {"colour quad",
         [&] { return DrawColorQuadXYZ(&colorQuad); },
         S_OK,
         {{"ALPHABLENDENABLE", TRUE}, {"COLORARG1", D3DTA_TEXTURE}, {"ALPHAARG1", D3DTA_TEXTURE}}},
    };

    for (const auto& service : services) {
        SCOPED_TRACE(service.name);
        for (const TrackedState& t : kTracked) {
            if (t.stage)
                d->SetTextureStageState(0, D3DTEXTURESTAGESTATETYPE(t.state), t.sentinel);
            else
                d->SetRenderState(D3DRENDERSTATETYPE(t.state), t.sentinel);
        }
        ASSERT_EQ(d->BeginScene(), S_OK);
        EXPECT_EQ(service.call(), service.result);
        d->EndScene();
        for (const TrackedState& t : kTracked) {
            DWORD expected = t.sentinel;
            for (const ExpectedState& e : service.expected)
                if (std::string(e.name) == t.name)
                    expected = e.value;
            DWORD actual = 0;
            if (t.stage)
                d->GetTextureStageState(0, D3DTEXTURESTAGESTATETYPE(t.state), &actual);
            else
                d->GetRenderState(D3DRENDERSTATETYPE(t.state), &actual);
            EXPECT_EQ(actual, expected) << t.name;
        }
    }
    EXPECT_EQ(factor.prepared, std::vector<int>{5});
}

TEST_F(LayerDrawingTest, NothingWithoutADevice)
{
    CurrentDevice = nullptr;
    Vo_IndexedMesh<DX_V::PCT> mesh;
    Vo_SimpleMesh<DX_V::PCT> quad;
    EXPECT_EQ(DrawColoredIndexed(&mesh, nullptr, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(DrawSpriteMesh(mesh, nullptr, nullptr, 1, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(DrawOverlayQuad(&quad), D3DERR_INVALIDCALL);
    EXPECT_EQ(DrawColorQuadXYZ(nullptr), D3DERR_INVALIDCALL);
    CurrentDevice = Device();
}

TEST(PrimitivesInElements, CountsByType)
{
    const struct {
        D3DPRIMITIVETYPE type;
        UINT elements, primitives;
    } rows[] = {
        {D3DPT_POINTLIST, 5, 5},     {D3DPT_LINELIST, 5, 2},      {D3DPT_LINESTRIP, 1, 0},
        {D3DPT_LINESTRIP, 5, 4},     {D3DPT_TRIANGLELIST, 8, 2},  {D3DPT_TRIANGLESTRIP, 4, 2},
        {D3DPT_TRIANGLESTRIP, 2, 0}, {D3DPT_TRIANGLEFAN, 6, 4},   {D3DPRIMITIVETYPE(0), 9, 0},
    };
    for (const auto& r : rows)
        EXPECT_EQ(PrimitivesInElements(r.type, r.elements), r.primitives) << r.type << " " << r.elements;
}

}  // namespace
