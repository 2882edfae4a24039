#include "model/Vo_DocResManager.h"

#include <d3dx9.h>

#include <fstream>
#include <iterator>
#include <memory>

#include "ResourceTestData.h"
#include "model/DeviceResourceLoader.h"
#include "model/ArchiveReads.h"
#include "model/FontMediaParam.h"
#include "model/ResourceBuffer.h"
#include "model/Vo_IOF_R.h"
#include "model/Vo_FileLink3.h"
#include "support/BuildFolderAsCurrent.h"
#include "support/GuardPageBuffer.h"
#include "support/QueuedStream.h"

using namespace restest;
using Q = QueuedStream;

namespace {

const GUID kMaskGuid = {0x082B574A, 0x73A8, 0x4C9C, {0x80, 0xDE, 0xC8, 0xB8, 0x5A, 0x9F, 0x97, 0x69}};
const wchar_t kMaskGuidText[] = L"{082B574A-73A8-4C9C-80DE-C8B85A9F9769}";
const GUID kOtherGuid = {0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}};

// Builds the store's record value by value, in stream order.
class StoreRecord {
public:
    StoreRecord& Count(uint32_t n) { return Push(Q::Int{static_cast<int32_t>(n)}); }
    StoreRecord& Link(const vo_string& path, int64_t stamp)
    {
        Push(Q::String{path});
        return Push(Q::Int64{stamp});
    }
    StoreRecord& Blobs(const std::vector<FileBlob>& blobs)
    {
        Count(static_cast<uint32_t>(blobs.size()));
        for (const FileBlob& blob : blobs)
            Push(Q::Blob{blob});
        return *this;
    }
    StoreRecord& Delays(const std::vector<float>& delays)
    {
        Count(static_cast<uint32_t>(delays.size()));
        for (float d : delays)
            Push(Q::Float{d});
        return *this;
    }
    StoreRecord& GuidPicture(const vo_string& guidText, const std::vector<uint8_t>& picture)
    {
        Push(Q::String{guidText});
        Push(Q::String{L"mask.png"});
        Push(Q::Bool{false});
        DataBuffer buffer;
        buffer.SetData(static_cast<uint32_t>(picture.size()), picture.data());
        return Push(Q::Buffer{buffer});
    }
    StoreRecord& Push(Q::Value value)
    {
        m_stream.Push(std::move(value));
        return *this;
    }
    QueuedStream& Stream() { return m_stream; }

private:
    QueuedStream m_stream;
};

// A document with one embedded picture of each kind the store reads.
class DocResManagerTest : public CurrentDeviceFixture {
protected:
    void TearDown() override
    {
        m_store.reset();
        CurrentDeviceFixture::TearDown();
    }
    Vo_DocResManager& Store()
    {
        if (!m_store)
            m_store = std::make_unique<Vo_DocResManager>();
        return *m_store;
    }
    void Load(StoreRecord& record, int32_t version)
    {
        Store().Load(record.Stream(), version);
        ASSERT_FALSE(record.Stream().Failed());
        ASSERT_EQ(record.Stream().Remaining(), 0u);
    }
    // Pixels of the target that a white text drawn with the font lit.
    int LitPixelsOfText(ID3DXFont* font)
    {
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        Device()->BeginScene();
        RECT area = {0, 0, 64, 64};
        font->DrawTextW(nullptr, L"Hg", -1, &area, DT_LEFT | DT_TOP, 0xFFFFFFFF);
        Device()->EndScene();
        int lit = 0;
        for (uint32_t pixel : ReadBack())
            lit += (pixel & 0x00FFFFFF) != 0;
        return lit;
    }
    std::unique_ptr<Vo_DocResManager> m_store;
};

uint32_t CurrentTexel(RenderTargetPair& pair, unsigned x, unsigned y) { return TexelAt(pair.Current(), x, y); }


}  // namespace

TEST_F(DocResManagerTest, RecordVersionsReadTheirMapsOnly)
{
    struct Case {
        int32_t version;
        int mapsRead;  // pictures, delays, files, GUID pictures
    };
    const Case cases[] = {{1, 2}, {2, 3}, {3, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        StoreRecord record;
        record.Count(0).Count(0).Count(0).Count(0);
        Vo_DocResManager store;
        store.Load(record.Stream(), c.version);
        EXPECT_FALSE(record.Stream().Failed());
        EXPECT_EQ(record.Stream().Remaining(), static_cast<size_t>(4 - c.mapsRead));
    }
}

TEST_F(DocResManagerTest, RecordFillsFrameSetsFilesAndGuidTexturesAndRepeatedKeysKeepTheFirst)
{
    StoreRecord record;
    record.Count(3)
        .Link(L"C:\\pics\\sea.bmp", 1700000000).Blobs({TestBlob(L"C:\\pics\\sea.bmp", L"", 0, SolidBmp(16, 8, 0xFFFF0000))})
        .Link(L"C:\\pics\\sea.bmp", 1700000000).Blobs({TestBlob(L"C:\\pics\\sea.bmp", L"", 0, SolidBmp(4, 4, 0xFF00FF00))})
        .Link(L"test_res.dll", 89).Blobs({TestBlob(L"", L"test_res.dll", 89, SolidBmp(8, 8, 0xFF0000FF))});
    record.Count(0);  // delays
    record.Count(2)
        .Link(L"test_res.dll", 77).Blobs({TestBlob(L"", L"test_res.dll", 77, AlphaBlendEffectBytes())})
        .Link(L"test_res.dll", 89).Blobs({TestBlob(L"", L"test_res.dll", 89)});  // pictures' blob stays
    record.Count(2).GuidPicture(kMaskGuidText, SolidBmp(4, 4, 0xFF808000)).GuidPicture(kMaskGuidText, SolidBmp(4, 4, 0xFF000080));
    Load(record, 3);

    const DocResMaps& maps = Store().Maps();
    EXPECT_TRUE(maps.pictures.empty());
    EXPECT_TRUE(maps.guidPictures.empty());
    EXPECT_EQ(maps.files.size(), 2u);
    EXPECT_EQ(maps.fileCache.size(), 3u);

    TextureFrameSet& sea = Store().GetTextureFrameSet(Vo_FileLink3(FileLinkKey(L"C:\\pics\\sea.bmp", 1700000000)));
    ASSERT_EQ(sea.frames.size(), 1u);
    EXPECT_EQ(sea.width, 16u);
    EXPECT_FLOAT_EQ(sea.aspect, 0.5f);
    EXPECT_TRUE(ColorsNear(TexelAt(sea.frames[0].Get(), 0, 0), 0xFFFF0000));

    const FileBlob* water = Store().GetFileBlob(Vo_FileLink3(89, L"test_res.dll"));
    ASSERT_NE(water, nullptr);
    EXPECT_GT(water->Size(), 0u);

    ASSERT_EQ(maps.guidTextures.count(kMaskGuid), 1u);
    EXPECT_TRUE(ColorsNear(TexelAt(maps.guidTextures.at(kMaskGuid).Get(), 1, 1), 0xFF808000));
}

// tests/model/documents/ResourceStore.lst, assembled at build time, read by the archive reader:
// the record is read to its last byte (a read past it would hit the guard page).
TEST_F(DocResManagerTest, AssembledRecordFillsTheStore)
{
    const std::vector<uint8_t> bytes = AssembledTestDocument(L"ResourceStore.bin");
    ASSERT_FALSE(bytes.empty()) << "the build did not assemble ResourceStore.bin";
    GuardPageBuffer memory(bytes);
    ResourceBuffer buffer(memory.begin(), memory.end());
    Vo_IOF_R<ResourceBuffer> stream(&buffer);
    const int32_t version = ReadRecordHeader(stream);
    ASSERT_EQ(version, 3);
    Store().Load(stream, version);
    EXPECT_FALSE(stream.Failed());
    EXPECT_EQ(buffer.Remaining(), 0u);

    TextureFrameSet& sea = Store().GetTextureFrameSet(Vo_FileLink3(FileLinkKey(L"C:\\pictures\\sea.png", 1700000000)));
    ASSERT_EQ(sea.frames.size(), 1u);
    EXPECT_EQ(sea.width, 32u);
    EXPECT_FLOAT_EQ(sea.aspect, 0.5f);
    EXPECT_TRUE(ColorsNear(TexelAt(sea.frames[0].Get(), 31, 15), 0xFF143CC8));

    // The module is not there: the picture comes from the bytes the document carries.
    TextureFrameSet& module = Store().GetTextureFrameSet(Vo_FileLink3(62, L"test_res.dll"));
    ASSERT_EQ(module.frames.size(), 1u);
    EXPECT_EQ(module.width, 8u);
    EXPECT_TRUE(ColorsNear(TexelAt(module.frames[0].Get(), 0, 0), 0xFFC8C800));

    EXPECT_TRUE(Store().GetEffect(Vo_FileLink3(77, L"test_res.dll")));
    EXPECT_TRUE(ColorsNear(CurrentTexel(Store().GetRenderTargetPair(kMaskGuid), 256, 256), 0xFFFF00FF));
}

TEST_F(DocResManagerTest, AnimatedPicturesTakeTheirDelaysOnlyWithMoreThanOneFrame)
{
    StoreRecord record;
    record.Count(2)
        .Link(L"fish.bmp", 3).Blobs({TestBlob(L"f0.bmp", L"", 0, SolidBmp(4, 4, 0xFFFF0000)),
                                     TestBlob(L"f1.bmp", L"", 0, SolidBmp(4, 4, 0xFF00FF00)),
                                     TestBlob(L"f2.bmp", L"", 0, SolidBmp(8, 2, 0xFF0000FF))})
        .Link(L"still.bmp", 4).Blobs({TestBlob(L"still.bmp", L"", 0, SolidBmp(4, 4, 0xFFFFFFFF))});
    record.Count(2).Link(L"fish.bmp", 3).Delays({0.1f, 0.2f, 0.1f}).Link(L"still.bmp", 4).Delays({0.5f});
    Load(record, 1);

    TextureFrameSet& fish = Store().GetTextureFrameSet(Vo_FileLink3(FileLinkKey(L"fish.bmp", 3)));
    ASSERT_EQ(fish.frames.size(), 3u);
    EXPECT_EQ(fish.delays, (std::vector<float>{0.1f, 0.2f, 0.1f}));
    EXPECT_TRUE(ColorsNear(TexelAt(fish.frames[1].Get(), 0, 0), 0xFF00FF00));
    EXPECT_EQ(fish.width, 8u);  // the last frame's size
    EXPECT_EQ(fish.height, 2u);

    TextureFrameSet& still = Store().GetTextureFrameSet(Vo_FileLink3(FileLinkKey(L"still.bmp", 4)));
    EXPECT_EQ(still.frames.size(), 1u);
    EXPECT_TRUE(still.delays.empty());
}

TEST_F(DocResManagerTest, BrokenRecordStopsWithoutReadingPastIt)
{
    StoreRecord record;
    record.Count(0xFFFFFFFF).Link(L"a.bmp", 1);  // a huge count, then the stream ends
    Store().Load(record.Stream(), 3);
    EXPECT_TRUE(record.Stream().Failed());
    EXPECT_TRUE(Store().Maps().frameSets.empty());
}

TEST_F(DocResManagerTest, PicturesTheDocumentLacks)
{
    // The module must not be found, whichever folder the program was started in.
    const ModulelessFolderAsCurrent modulelessFolder;
    // A file link without bytes: no picture, and the store remembers the link without bytes.
    Vo_FileLink3 file(FileLinkKey(L"C:\\pics\\gone.jpg", 5));
    EXPECT_TRUE(Store().GetTextureFrameSet(file).frames.empty());
    ASSERT_EQ(Store().Maps().fileCache.count(file.GetKey()), 1u);
    EXPECT_TRUE(Store().Maps().fileCache.at(file.GetKey()).empty());
    EXPECT_EQ(Store().GetFileBlob(file), nullptr);

    // The empty path is the program itself.
    TextureFrameSet& noise = Store().GetTextureFrameSet(Vo_FileLink3(2, L""));
    ASSERT_EQ(noise.frames.size(), 1u);
    EXPECT_TRUE(noise.frames[0]);
    EXPECT_EQ(noise.width, 512u);

    // An absent module: one frame without texture, laid out as 800 x 600.
    TextureFrameSet& absent = Store().GetTextureFrameSet(Vo_FileLink3(62, L"test_res.dll"));
    ASSERT_EQ(absent.frames.size(), 1u);
    EXPECT_FALSE(absent.frames[0]);
    TextureInfo info = CopyFirstTextureInfo(absent);
    EXPECT_FALSE(info.texture);
    EXPECT_EQ(info.width, 800u);
    EXPECT_FLOAT_EQ(info.aspect, 0.75f);

    std::vector<TextureFrameSet*> sets =
        Store().GetTextureFrameSets({Vo_ImageFileLink(2, L""), Vo_ImageFileLink(FileLinkKey(L"C:\\pics\\gone.jpg", 5))});
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0], &noise);
    EXPECT_TRUE(sets[1]->frames.empty());
}

TEST_F(DocResManagerTest, ModulePicturesComeFromTheResourceModule)
{
    BuildFolderAsCurrent buildFolder;
    TextureFrameSet& set = Store().GetTextureFrameSet(Vo_FileLink3(900, L"Test_Res.DLL"));
    ASSERT_EQ(set.frames.size(), 1u);
    EXPECT_EQ(set.width, 16u);
    EXPECT_TRUE(ColorsNear(TexelAt(set.frames[0].Get(), 0, 0), 0xFFC82814));
    EXPECT_EQ(&Store().GetTextureFrameSet(Vo_FileLink3(900, L"Test_Res.DLL")), &set);
}

TEST_F(DocResManagerTest, PictureSetFromTheModule)
{
    BuildFolderAsCurrent buildFolder;
    const Vo_FileLink3 link(903, L"test_res.dll");
    TextureFrameSet& set = Store().LoadImageSetFromModule(link);
    ASSERT_EQ(set.frames.size(), 2u);
    EXPECT_EQ(set.delays, (std::vector<float>{0.25f, 0.5f}));
    EXPECT_TRUE(ColorsNear(TexelAt(set.frames[0].Get(), 1, 1), 0xFFFF0000));
    EXPECT_TRUE(ColorsNear(TexelAt(set.frames[1].Get(), 3, 0), 0xFF00FF00));
    EXPECT_EQ(set.width, 4u);
    EXPECT_FLOAT_EQ(set.aspect, 0.5f);
    EXPECT_EQ(Store().Maps().fileCache.at(link.GetKey()).size(), 2u);
    EXPECT_EQ(&Store().LoadImageSetFromModule(link), &set);

    // A picture rather than a set, a missing id, and a link that names no module.
    EXPECT_TRUE(Store().LoadImageSetFromModule(Vo_FileLink3(900, L"test_res.dll")).frames.empty());
    EXPECT_TRUE(Store().LoadImageSetFromModule(Vo_FileLink3(999, L"test_res.dll")).frames.empty());
    EXPECT_TRUE(Store().LoadImageSetFromModule(Vo_FileLink3(FileLinkKey(L"C:\\pics\\set.qnt", 903))).frames.empty());
}

TEST_F(DocResManagerTest, HandedOutBlobsStayWhereTheyAre)
{
    BuildFolderAsCurrent buildFolder;
    const Vo_FileLink3 link(900, L"test_res.dll");
    const FileBlob* blob = Store().GetFileBlob(link);
    ASSERT_NE(blob, nullptr);
    EXPECT_EQ(blob->ResourceId(), 900);
    const uint32_t size = blob->Size();
    EXPECT_GT(size, 0u);

    // Frames adopted under the same link join the same entry.
    std::vector<FileBlob> frames;
    for (int i = 0; i < 40; ++i)
        frames.push_back(TestBlob(L"", L"test_res.dll", 900, SolidBmp(2, 2, 0xFF000000u + i)));
    Store().AdoptFrameBlobs(frames, std::vector<float>(40, 0.1f));
    EXPECT_EQ(Store().Maps().fileCache.at(link.GetKey()).size(), 41u);
    EXPECT_EQ(Store().GetFileBlob(link), blob);
    EXPECT_EQ(blob->ResourceId(), 900);
    EXPECT_EQ(blob->Size(), size);

    // A module link whose module and program both lack the id: a blob without bytes.
    const FileBlob* missing = Store().GetFileBlob(Vo_FileLink3(950, L"test_res.dll"));
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->Size(), 0u);
}

TEST_F(DocResManagerTest, AdoptedPicturesGetLinksOfTheirOwn)
{
    const int32_t before = AnonymousLinkCounter;
    Vo_ImageFileLink a = Store().AdoptPictureBlob(TestBlob(L"a.bmp", L"", 0, SolidBmp(4, 2, 0xFFFF0000)));
    Vo_ImageFileLink b = Store().AdoptPictureBlob(TestBlob(L"a.bmp", L"", 0, SolidBmp(4, 2, 0xFF00FF00)));
    EXPECT_EQ(a.GetKey().Stamp(), before);
    EXPECT_EQ(b.GetKey().Stamp(), before + 1);
    TextureFrameSet& second = Store().GetTextureFrameSet(b);
    ASSERT_EQ(second.frames.size(), 1u);
    EXPECT_TRUE(ColorsNear(TexelAt(second.frames[0].Get(), 0, 0), 0xFF00FF00));
    EXPECT_FLOAT_EQ(second.aspect, 0.5f);

    std::vector<FileBlob> frames = {TestBlob(L"", L"test_res.dll", 70, SolidBmp(2, 2, 0xFFFF0000)),
                                    TestBlob(L"", L"test_res.dll", 71, SolidBmp(2, 2, 0xFF00FF00))};
    Vo_ImageFileLink set = Store().AdoptFrameBlobs(frames, {0.25f, 0.5f});
    EXPECT_EQ(set.GetPath(), L"test_res.dll");
    EXPECT_EQ(set.GetKey().Stamp(), 70);
    EXPECT_EQ(Store().GetTextureFrameSet(set).frames.size(), 2u);
    EXPECT_EQ(Store().GetTextureFrameSet(set).delays, (std::vector<float>{0.25f, 0.5f}));
    // Once the set has frames, adopting again adds nothing.
    Store().AdoptFrameBlobs(frames, {1.0f, 1.0f});
    EXPECT_EQ(Store().GetTextureFrameSet(set).frames.size(), 2u);
    EXPECT_EQ(Store().Maps().fileCache.at(set.GetKey()).size(), 2u);
    EXPECT_EQ(Store().AdoptFrameBlobs({}, {}).GetPath(), L"");
}

TEST_F(DocResManagerTest, MeshesFromEmbeddedDataAndFromTheModule)
{
    StoreRecord record;
    record.Count(0).Count(0);
    record.Count(1).Link(L"C:\\models\\quad.x", 77).Blobs({TestBlob(L"C:\\models\\quad.x", L"", 0, QuadMeshBytes())});
    Load(record, 2);

    MeshRecord& embedded = Store().GetMesh(Vo_FileLink3(FileLinkKey(L"C:\\models\\quad.x", 77)), 32);
    EXPECT_EQ(embedded.faceCount, 2u);
    IDirect3DVertexBuffer9* buffer = embedded.vertexBuffer.Get();
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(Store().GetMesh(Vo_FileLink3(FileLinkKey(L"C:\\models\\quad.x", 77)), 32).vertexBuffer.Get(), buffer);

    BuildFolderAsCurrent buildFolder;
    EXPECT_EQ(Store().GetMesh(Vo_FileLink3(901, L"test_res.dll"), 32).vertexCount, 4u);
    // A file the document does not hold is never looked for elsewhere.
    EXPECT_FALSE(Store().GetMesh(Vo_FileLink3(FileLinkKey(L"C:\\models\\missing.x", 1)), 32).vertexBuffer);
    EXPECT_FALSE(Store().GetMesh(Vo_FileLink3(68, L"test_res.dll"), 32).vertexBuffer);
}

TEST_F(DocResManagerTest, EmbeddedEffectIsMadeOnceAndHandedOutWithAReferenceEach)
{
    StoreRecord record;
    record.Count(0).Count(0);
    record.Count(1).Link(L"test_res.dll", 77).Blobs({TestBlob(L"", L"test_res.dll", 77, AlphaBlendEffectBytes())});
    Load(record, 2);

    const Vo_FileLink3 link(77, L"test_res.dll");
    ComRef<ID3DXEffect> first = Store().GetEffect(link);
    ASSERT_TRUE(first);
    const unsigned long references = RefCount(first.Get());
    ComRef<ID3DXEffect> second = Store().GetEffect(link);
    EXPECT_EQ(second.Get(), first.Get());
    EXPECT_EQ(RefCount(first.Get()), references + 1);

    // It is the stored effect: its pass switches alpha blending on, End puts it back.
    Device()->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    ASSERT_EQ(first->SetTechnique("Main"), D3D_OK);
    UINT passes = 0;
    ASSERT_EQ(first->Begin(&passes, 0), D3D_OK);
    EXPECT_EQ(passes, 1u);
    first->BeginPass(0);
    DWORD blending = FALSE;
    Device()->GetRenderState(D3DRS_ALPHABLENDENABLE, &blending);
    EXPECT_EQ(blending, static_cast<DWORD>(TRUE));
    first->EndPass();
    first->End();
    Device()->GetRenderState(D3DRS_ALPHABLENDENABLE, &blending);
    EXPECT_EQ(blending, static_cast<DWORD>(FALSE));
}

TEST_F(DocResManagerTest, EffectsTheDocumentLacks)
{
    BuildFolderAsCurrent buildFolder;
    EXPECT_TRUE(Store().GetEffect(Vo_FileLink3(902, L"test_res.dll")));
    // A module that lacks the id, and a link to a file the document does not hold.
    EXPECT_FALSE(Store().GetEffect(Vo_FileLink3(999, L"test_res.dll")));
    const Vo_FileLink3 file(FileLinkKey(L"C:\\fx\\waves.fxo", 8));
    EXPECT_FALSE(Store().GetEffect(file));
    EXPECT_EQ(Store().GetFileBlob(file), nullptr);
    // Bytes that are no effect.
    Vo_ImageFileLink junk = Store().AdoptPictureBlob(TestBlob(L"junk.fxo", L"", 0, {1, 2, 3, 4}));
    EXPECT_FALSE(Store().GetEffect(junk));
}

TEST_F(DocResManagerTest, FontIsMadeAnewAtEveryRequest)
{
    FontMediaParam description;
    description.Height() = 40;
    description.Italic() = 1;
    ComRef<ID3DXFont> first = Store().GetFont(kMaskGuid, description);
    ASSERT_TRUE(first);
    D3DXFONT_DESCW desc;
    first->GetDescW(&desc);
    EXPECT_EQ(desc.Height, 40);
    EXPECT_EQ(desc.Weight, 700u);
    EXPECT_TRUE(desc.Italic);
    EXPECT_STREQ(desc.FaceName, L"Arial");
    EXPECT_EQ(RefCount(first.Get()), 2u);  // ours and the store's

    ComRef<ID3DXFont> second = Store().GetFont(kMaskGuid, description);
    ASSERT_TRUE(second);
    EXPECT_NE(second.Get(), first.Get());
    EXPECT_EQ(RefCount(first.Get()), 1u);  // the store let the first one go
    EXPECT_EQ(RefCount(second.Get()), 2u);
}

TEST_F(DocResManagerTest, DuDvPictureUnderAGuidBecomesABumpTexture)
{
    StoreRecord record;
    record.Count(0).Count(0).Count(0).Count(1).GuidPicture(kMaskGuidText, BumpDds(0));
    Load(record, 3);
    ASSERT_EQ(Store().Maps().guidTextures.count(kMaskGuid), 1u);
    IDirect3DTexture9* relief = Store().Maps().guidTextures.at(kMaskGuid).Get();
    ASSERT_NE(relief, nullptr);
    D3DSURFACE_DESC desc;
    relief->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, D3DFMT_V8U8);
    EXPECT_EQ(relief->GetLevelCount(), 2u);
}

TEST_F(DocResManagerTest, RenderTargetPairsStartFromTheirStoredPicture)
{
    StoreRecord record;
    record.Count(0).Count(0).Count(0).Count(1).GuidPicture(kMaskGuidText, SolidBmp(8, 8, 0xFF40C020));
    Load(record, 3);

    RenderTargetPair& pair = Store().GetRenderTargetPair(kMaskGuid);
    EXPECT_EQ(&Store().GetRenderTargetPair(kMaskGuid), &pair);
    EXPECT_EQ(pair.Width(), 512u);
    EXPECT_EQ(pair.Height(), 512u);
    EXPECT_TRUE(ColorsNear(CurrentTexel(pair, 300, 200), 0xFF40C020));

    RenderTargetPair& plain = Store().GetRenderTargetPair(kOtherGuid);
    EXPECT_NE(&plain, &pair);
    ASSERT_NE(plain.Current(), nullptr);
    EXPECT_EQ(plain.Width(), 512u);
}

TEST_F(DocResManagerTest, DeviceResetCycle)
{
    StoreRecord record;
    record.Count(0).Count(0);
    record.Count(1).Link(L"test_res.dll", 77).Blobs({TestBlob(L"", L"test_res.dll", 77, AlphaBlendEffectBytes())});
    record.Count(1).GuidPicture(kMaskGuidText, SolidBmp(8, 8, 0xFF2060A0));
    Load(record, 3);
    RenderTargetPair& pair = Store().GetRenderTargetPair(kMaskGuid);
    ComRef<ID3DXEffect> effect = Store().GetEffect(Vo_FileLink3(77, L"test_res.dll"));
    ASSERT_TRUE(effect);
    ComRef<ID3DXFont> font = Store().GetFont(kOtherGuid, FontMediaParam());
    ASSERT_TRUE(font);
    const int litBefore = LitPixelsOfText(font.Get());
    EXPECT_GT(litBefore, 20);
    // Draw over the picture, as a layer does.
    pair.Swap();
    EXPECT_EQ(CurrentTexel(pair, 5, 5), 0xFF000000u);

    // The pair's default-pool textures block the reset until the store lets them go.
    EXPECT_NE(ResetDevice(), D3D_OK);
    Store().OnLostDevice();
    Store().OnLostDevice();  // twice is harmless
    EXPECT_EQ(pair.Current(), nullptr);
    ASSERT_EQ(ResetDevice(), D3D_OK);
    EXPECT_EQ(Device()->TestCooperativeLevel(), D3D_OK);

    Store().OnResetDevice();
    ASSERT_NE(pair.Current(), nullptr);
    EXPECT_EQ(pair.Width(), 512u);
    EXPECT_TRUE(ColorsNear(CurrentTexel(pair, 5, 5), 0xFF2060A0));
    EXPECT_EQ(Store().GetEffect(Vo_FileLink3(77, L"test_res.dll")).Get(), effect.Get());
    ASSERT_EQ(effect->SetTechnique("Main"), D3D_OK);
    EXPECT_EQ(LitPixelsOfText(font.Get()), litBefore);
}

TEST_F(DocResManagerTest, StoreThatGoesLeavesNoDanglingCurrentReferences)
{
    auto first = std::make_unique<Vo_DocResManager>();
    auto second = std::make_unique<Vo_DocResManager>();
    CurrentDocResManager = second.get();
    second.reset();
    EXPECT_EQ(CurrentDocResManager, nullptr);
    ASSERT_NE(CurrentResourceLoader, nullptr);
    EXPECT_TRUE(CurrentResourceLoader->GetBuiltInNoisePicture());  // the first store's loader
    first.reset();
    EXPECT_EQ(CurrentResourceLoader, nullptr);
}

TEST(TextureFrameSetTest, StepFrameForwardAndBackward)
{
    struct Step {
        float t;
        uint32_t forwardFrame;
        float forwardTime;
        uint32_t backwardFrame;
    };
    const Step steps[] = {
        {0.0f, 0, 0.0f, 0},
        {0.4f, 0, 0.0f, 0},
        {0.6f, 1, 0.6f, 1},  // backward wraps from the first frame to the last
        {1.2f, 0, 1.2f, 0},
        {0.3f, 0, 0.3f, 0},  // the clock went back: the frame time follows it
    };
    TextureFrameSet forward, backward;
    forward.frames.resize(2);
    forward.delays = {0.5f, 0.5f};
    backward = forward;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.t);
        StepFrameForward(forward, s.t);
        StepFrameBackward(backward, s.t);
        EXPECT_EQ(forward.currentFrame, s.forwardFrame);
        EXPECT_FLOAT_EQ(forward.frameTime, s.forwardTime);
        EXPECT_EQ(backward.currentFrame, s.backwardFrame);
    }
}

TEST(TextureFrameSetTest, FrameIndexNeverLeavesTheFrames)
{
    TextureFrameSet longDelays;
    longDelays.frames.resize(2);
    longDelays.delays = {0.1f, 0.1f, 0.1f, 0.1f};
    for (int i = 1; i <= 10; ++i) {
        StepFrameForward(longDelays, i * 1.0f);
        EXPECT_LT(longDelays.currentFrame, 2u);
    }
    TextureFrameSet backward = longDelays;
    for (int i = 11; i <= 20; ++i) {
        StepFrameBackward(backward, i * 1.0f);
        EXPECT_LT(backward.currentFrame, 2u);
    }

    TextureFrameSet noFrames;
    noFrames.delays = {0.1f, 0.1f};
    StepFrameForward(noFrames, 5.0f);
    StepFrameBackward(noFrames, 9.0f);
    EXPECT_EQ(noFrames.currentFrame, 0u);

    TextureFrameSet outside;  // an index that lies outside the frames starts over
    outside.frames.resize(3);
    outside.delays = {0.1f, 0.1f, 0.1f};
    outside.currentFrame = 7;
    StepFrameForward(outside, 1.0f);
    EXPECT_EQ(outside.currentFrame, 1u);
}

TEST(TextureFrameSetTest, FirstTextureInfoOfAnEmptySet)
{
    TextureFrameSet set;
    set.width = 20;
    TextureInfo info = CopyFirstTextureInfo(set);
    EXPECT_FALSE(info.texture);
    EXPECT_EQ(info.width, 0u);
    EXPECT_FLOAT_EQ(info.aspect, 1.0f);
}
