#include "model/DeviceResourceLoader.h"

#include <cstdio>
#include <memory>

#include "ResourceTestData.h"
#include "support/BuildFolderAsCurrent.h"

using namespace restest;

namespace {

class DeviceResourceLoaderTest : public CurrentDeviceFixture {
protected:
    DeviceResourceLoader m_loader;
};

// A file on disk for the loader to read by path.
std::wstring WritePictureFile(const char* name, uint32_t width, uint32_t height, uint32_t colour)
{
    std::string path = TestArtifactsDir() + "\\" + name;
    std::vector<uint8_t> bmp = SolidBmp(width, height, colour);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return std::wstring();
    std::fwrite(bmp.data(), 1, bmp.size(), f);
    std::fclose(f);
    return std::wstring(path.begin(), path.end());
}

// A second device in the same process, as a second render unit has.
class SecondDevice {
public:
    SecondDevice()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"SecondDeviceWindow";
        RegisterClassW(&wc);
        m_window = CreateWindowExW(0, wc.lpszClassName, L"second", WS_POPUP, 0, 0, 32, 32, nullptr,
                                   nullptr, wc.hInstance, nullptr);
        m_d3d.Attach(Direct3DCreate9(D3D_SDK_VERSION));
        if (!m_d3d)
            return;
        D3DPRESENT_PARAMETERS pp = {};
        pp.Windowed = TRUE;
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        pp.BackBufferFormat = D3DFMT_X8R8G8B8;
        pp.BackBufferWidth = 32;
        pp.BackBufferHeight = 32;
        pp.hDeviceWindow = m_window;
        m_d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, m_window,
                            D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_FPU_PRESERVE, &pp,
                            m_device.Receive());
    }
    ~SecondDevice()
    {
        m_device.Reset();
        m_d3d.Reset();
        if (m_window)
            DestroyWindow(m_window);
    }
    IDirect3DDevice9* Get() const { return m_device.Get(); }

private:
    HWND m_window = nullptr;
    ComRef<IDirect3D9> m_d3d;
    ComRef<IDirect3DDevice9> m_device;
};

ComRef<IDirect3DDevice9> DeviceOf(IDirect3DTexture9* texture)
{
    ComRef<IDirect3DDevice9> device;
    if (texture)
        texture->GetDevice(device.Receive());
    return device;
}

}  // namespace

TEST_F(DeviceResourceLoaderTest, NoisePictureIsMadeOnceAndHandedOutWithAReferenceEach)
{
    ComRef<IDirect3DTexture9> first = m_loader.GetBuiltInNoisePicture();
    ASSERT_TRUE(first);
    D3DSURFACE_DESC desc;
    first->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 512u);
    EXPECT_EQ(first->GetLevelCount(), 10u);
    const unsigned long before = RefCount(first.Get());
    ComRef<IDirect3DTexture9> second = m_loader.GetBuiltInNoisePicture();
    EXPECT_EQ(second.Get(), first.Get());
    EXPECT_EQ(RefCount(first.Get()), before + 1);
}

TEST_F(DeviceResourceLoaderTest, NamedBlobWithoutBytesIsReadFromItsFileOnce)
{
    std::wstring path = WritePictureFile("loader_file_picture.bmp", 8, 4, 0xFF804020);
    ASSERT_FALSE(path.empty());
    TextureInfo first = m_loader.GetBlobTexture(TestBlob(path, L"", 0));
    ASSERT_TRUE(first.texture);
    EXPECT_EQ(first.width, 8u);
    EXPECT_EQ(first.height, 4u);
    EXPECT_FLOAT_EQ(first.aspect, 0.5f);
    EXPECT_TRUE(ColorsNear(TexelAt(first.texture.Get(), 1, 1), 0xFF804020));

    // The file is gone, the cache still answers.
    ASSERT_TRUE(DeleteFileW(path.c_str()));
    TextureInfo second = m_loader.GetBlobTexture(TestBlob(path, L"", 0));
    EXPECT_EQ(second.texture.Get(), first.texture.Get());

    TextureInfo missing = m_loader.LoadFileTexture(L"C:\\no\\such\\picture.png");
    EXPECT_FALSE(missing.texture);
}

TEST_F(DeviceResourceLoaderTest, NamedBlobWithBytesIsDecodedAtEveryRequest)
{
    TestBlob blob(L"sea.bmp", L"", 0, SolidBmp(16, 8, 0xFF00FF00));
    TextureInfo first = m_loader.GetBlobTexture(blob);
    TextureInfo second = m_loader.GetBlobTexture(blob);
    ASSERT_TRUE(first.texture);
    ASSERT_TRUE(second.texture);
    EXPECT_NE(first.texture.Get(), second.texture.Get());
    EXPECT_EQ(second.width, 16u);
    EXPECT_FLOAT_EQ(second.aspect, 0.5f);
}

TEST_F(DeviceResourceLoaderTest, UnloadableModuleFallsBackToTheBlobBytesOrEightHundredBySixHundred)
{
    // The module must not be found, whichever folder the program was started in.
    const ModulelessFolderAsCurrent modulelessFolder;
    // Without bytes: no texture, but a size the layers can lay out.
    TextureInfo bare = m_loader.GetBlobTexture(TestBlob(L"", L"test_res.dll", 62));
    EXPECT_FALSE(bare.texture);
    EXPECT_EQ(bare.width, 800u);
    EXPECT_EQ(bare.height, 600u);
    EXPECT_FLOAT_EQ(bare.aspect, 0.75f);

    // With bytes, as the document embeds module pictures: decoded once and kept.
    TestBlob embedded(L"", L"test_res.dll", 89, SolidBmp(32, 8, 0xFF0000FF));
    TextureInfo first = m_loader.GetBlobTexture(embedded);
    ASSERT_TRUE(first.texture);
    EXPECT_EQ(first.width, 32u);
    EXPECT_EQ(first.height, 8u);
    EXPECT_FLOAT_EQ(first.aspect, 0.25f);
    EXPECT_EQ(m_loader.GetBlobTexture(embedded).texture.Get(), first.texture.Get());
}

TEST_F(DeviceResourceLoaderTest, ProgramModuleResourcesAndTheirFallBack)
{
    // The empty module name is the program: its noise picture, kept under (program, 2).
    TextureInfo noise = m_loader.GetBlobTexture(TestBlob(L"", L"", 2));
    ASSERT_TRUE(noise.texture);
    EXPECT_EQ(noise.width, 512u);
    EXPECT_EQ(noise.height, 512u);
    EXPECT_FLOAT_EQ(noise.aspect, 1.0f);
    EXPECT_EQ(m_loader.GetBlobTexture(TestBlob(L"", L"", 2)).texture.Get(), noise.texture.Get());

    // An id the program lacks: the blob's own bytes.
    TextureInfo own = m_loader.GetBlobTexture(TestBlob(L"", L"", 77, SolidBmp(4, 4, 0xFFFF0000)));
    ASSERT_TRUE(own.texture);
    EXPECT_EQ(own.width, 4u);
    EXPECT_TRUE(ColorsNear(TexelAt(own.texture.Get(), 0, 0), 0xFFFF0000));
}

TEST_F(DeviceResourceLoaderTest, BlobsWithoutResourceIdNeverShareATexture)
{
    TextureInfo red = m_loader.GetBlobTexture(TestBlob(L"", L"", 0, SolidBmp(4, 4, 0xFFFF0000)));
    TextureInfo blue = m_loader.GetBlobTexture(TestBlob(L"", L"", 0, SolidBmp(8, 8, 0xFF0000FF)));
    ASSERT_TRUE(red.texture);
    ASSERT_TRUE(blue.texture);
    EXPECT_TRUE(ColorsNear(TexelAt(red.texture.Get(), 0, 0), 0xFFFF0000));
    EXPECT_TRUE(ColorsNear(TexelAt(blue.texture.Get(), 0, 0), 0xFF0000FF));
}

TEST_F(DeviceResourceLoaderTest, ResourceModuleIsMappedForItsResourcesOnly)
{
    BuildFolderAsCurrent buildFolder;
    ModuleHandle module = nullptr;
    ASSERT_TRUE(m_loader.GetModule(L"test_res.dll", module));
    EXPECT_NE(module, nullptr);
    // Mapped as data, not loaded as a program module: its code can never run.
    EXPECT_EQ(GetModuleHandleW(L"test_res.dll"), nullptr);

    ModuleHandle program = reinterpret_cast<ModuleHandle>(1);
    EXPECT_TRUE(m_loader.GetModule(L"", program));
    EXPECT_EQ(program, nullptr);
    EXPECT_FALSE(m_loader.GetModule(L"absent_res.dll", module));

    TextureInfo picture = m_loader.GetBlobTexture(TestBlob(L"", L"test_res.dll", 900));
    ASSERT_TRUE(picture.texture);
    EXPECT_EQ(picture.width, 16u);
    EXPECT_EQ(picture.height, 8u);
    EXPECT_TRUE(ColorsNear(TexelAt(picture.texture.Get(), 2, 2), 0xFFC82814));
    EXPECT_EQ(m_loader.GetBlobTexture(TestBlob(L"", L"test_res.dll", 900)).texture.Get(),
              picture.texture.Get());

    // An id the module lacks: the blob's bytes.
    TextureInfo own = m_loader.GetBlobTexture(TestBlob(L"", L"test_res.dll", 903, SolidBmp(2, 2, 0xFF00FF00)));
    ASSERT_TRUE(own.texture);
    EXPECT_EQ(own.width, 2u);
}

TEST_F(DeviceResourceLoaderTest, MeshesFollowTheTextureOrder)
{
    const std::vector<uint8_t> quad = QuadMeshBytes();
    struct Case {
        const char* what;
        TestBlob blob;
        uint32_t faces;
    };
    const Case cases[] = {
        {"named blob with bytes", TestBlob(L"quad.x", L"", 0, quad), 2},
        {"embedded mesh without id", TestBlob(L"", L"", 0, quad), 2},
        {"unloadable module, embedded bytes", TestBlob(L"", L"test_res.dll", 68, quad), 2},
        {"program lacks the id, embedded bytes", TestBlob(L"", L"", 69, quad), 2},
        {"named file that does not exist", TestBlob(L"C:\\no\\such\\mesh.x", L"", 0), 0},
        {"nothing at all", TestBlob(L"", L"", 0), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MeshRecord record = m_loader.GetBlobMesh(c.blob, 32);
        EXPECT_EQ(record.faceCount, c.faces);
        EXPECT_EQ(static_cast<bool>(record.vertexBuffer), c.faces != 0);
    }
    EXPECT_EQ(m_loader.GetBlobMesh(TestBlob(L"quad.x", L"", 0, quad), 24).faceCount, 0u);
}

TEST_F(DeviceResourceLoaderTest, ModuleMeshIsKeptByModuleAndId)
{
    BuildFolderAsCurrent buildFolder;
    MeshRecord first = m_loader.GetBlobMesh(TestBlob(L"", L"test_res.dll", 901), 32);
    ASSERT_TRUE(first.vertexBuffer);
    EXPECT_EQ(first.vertexCount, 4u);
    MeshRecord again = m_loader.GetBlobMesh(TestBlob(L"", L"test_res.dll", 901), 32);
    EXPECT_EQ(again.vertexBuffer.Get(), first.vertexBuffer.Get());
    // The same id in the program (which lacks it) is another entry.
    MeshRecord program = m_loader.GetBlobMesh(TestBlob(L"", L"", 901), 32);
    EXPECT_FALSE(program.vertexBuffer);
}

TEST_F(DeviceResourceLoaderTest, EachDeviceGetsTexturesOfItsOwn)
{
    SecondDevice other;
    ASSERT_NE(other.Get(), nullptr);
    TestBlob embedded(L"", L"test_res.dll", 62, SolidBmp(4, 4, 0xFF00FF00));

    ComRef<IDirect3DTexture9> noiseHere = m_loader.GetBuiltInNoisePicture();
    TextureInfo pictureHere = m_loader.GetBlobTexture(embedded);
    CurrentDevice = other.Get();
    ComRef<IDirect3DTexture9> noiseThere = m_loader.GetBuiltInNoisePicture();
    TextureInfo pictureThere = m_loader.GetBlobTexture(embedded);
    MeshRecord meshThere = m_loader.GetBlobMesh(TestBlob(L"", L"", 0, QuadMeshBytes()), 32);
    CurrentDevice = Device();

    ASSERT_TRUE(noiseHere && noiseThere && pictureHere.texture && pictureThere.texture);
    EXPECT_NE(noiseHere.Get(), noiseThere.Get());
    EXPECT_EQ(DeviceOf(noiseHere.Get()).Get(), Device());
    EXPECT_EQ(DeviceOf(noiseThere.Get()).Get(), other.Get());
    EXPECT_EQ(DeviceOf(pictureHere.texture.Get()).Get(), Device());
    EXPECT_EQ(DeviceOf(pictureThere.texture.Get()).Get(), other.Get());
    // Back on the first device the first device's objects come back.
    EXPECT_EQ(m_loader.GetBuiltInNoisePicture().Get(), noiseHere.Get());
    EXPECT_EQ(m_loader.GetBlobTexture(embedded).texture.Get(), pictureHere.texture.Get());
    ComRef<IDirect3DDevice9> meshDevice;
    ASSERT_TRUE(meshThere.vertexBuffer);
    meshThere.vertexBuffer->GetDevice(meshDevice.Receive());
    EXPECT_EQ(meshDevice.Get(), other.Get());
}

TEST(CurrentResourceLoaderTest, NeverPointsAtADestroyedLoader)
{
    auto first = std::make_unique<DeviceResourceLoader>();
    CurrentResourceLoader = first.get();
    auto second = std::make_unique<DeviceResourceLoader>();
    CurrentResourceLoader = second.get();
    auto third = std::make_unique<DeviceResourceLoader>();
    CurrentResourceLoader = third.get();

    second.reset();  // not current: nothing changes
    EXPECT_EQ(CurrentResourceLoader, third.get());
    third.reset();   // current: the newest living loader takes over
    EXPECT_EQ(CurrentResourceLoader, first.get());
    first.reset();
    EXPECT_EQ(CurrentResourceLoader, nullptr);
}

TEST(TextureInfoTest, AspectIsHeightOverWidthAndOneForAnEmptyPicture)
{
    TextureInfo info;
    EXPECT_FLOAT_EQ(info.aspect, 1.0f);
    MakeTextureInfo(info, nullptr, 800, 600);
    EXPECT_FLOAT_EQ(info.aspect, 0.75f);
    MakeTextureInfo(info, nullptr, 0, 600);
    EXPECT_FLOAT_EQ(info.aspect, 1.0f);
}
