#include "benchmarks/FrameReadbacks.h"

#include <windows.h>
#include <d3d9.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

#include "benchmarks/BenchDevice.h"
#include "benchmarks/FigureLog.h"
#include "host/MonitorScene.h"
#include "host/MusicPlayer.h"
#include "model/ComRef.h"
#include "model/CurrentDevice.h"
#include "runtime/CurrentScreenView.h"
#include "runtime/LoadSceneDocument.h"
#include "support/BmpBytes.h"

namespace {

const unsigned kWidth = 1280;
const unsigned kHeight = 1024;
const float kStartTime = 1.0f;

const std::vector<uint8_t>* s_document = nullptr;

Vo_SlideShow_Light* LoadReadbackDocument()
{
    return LoadSceneDocumentFrom(s_document->data(), s_document->data() + s_document->size());
}

class SilentPlayer : public MusicPlayer {
public:
    void PlayTrack(const wchar_t*) override {}
    void RewindTrack() override {}
};

// The back buffer's pixels as 0x00RRGGBB, row by row from the top; empty when it cannot be read.
std::vector<uint32_t> ReadBackBuffer(IDirect3DDevice9* device, IDirect3DSurface9* copy)
{
    std::vector<uint32_t> pixels;
    ComRef<IDirect3DSurface9> backBuffer;
    D3DLOCKED_RECT locked = {};
    if (FAILED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, backBuffer.Receive())) ||
        FAILED(device->GetRenderTargetData(backBuffer.Get(), copy)) ||
        FAILED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
        return pixels;
    pixels.resize(size_t(kWidth) * kHeight);
    for (unsigned y = 0; y < kHeight; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch);
        for (unsigned x = 0; x < kWidth; ++x)
            pixels[size_t(y) * kWidth + x] = row[x] & 0x00FFFFFFu;
    }
    copy->UnlockRect();
    return pixels;
}

// FNV-1a over the pixels' colour bytes.
uint64_t Hash(const std::vector<uint32_t>& pixels)
{
    uint64_t hash = 1469598103934665603ull;
    for (uint32_t pixel : pixels)
        for (int shift = 0; shift < 24; shift += 8) {
            hash ^= (pixel >> shift) & 0xFFu;
            hash *= 1099511628211ull;
        }
    return hash;
}

void WriteImage(const std::wstring& path, const std::vector<uint32_t>& pixels)
{
    const std::vector<uint8_t> bmp =
        MakeBmp(kWidth, kHeight, [&](unsigned x, unsigned y) { return 0xFF000000u | pixels[size_t(y) * kWidth + x]; });
    std::ofstream out(std::string(path.begin(), path.end()), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
}

}  // namespace

bool FrameReadbacks::Write(const std::vector<Document>& documents, int frames, const std::wstring& path,
                           const std::wstring& imageFolder)
{
    std::FILE* out = _wfopen(path.c_str(), L"w");
    if (!out)
        return false;
    if (!imageFolder.empty())
        CreateDirectoryW(imageFolder.c_str(), nullptr);
    for (const Document& document : documents) {
        // One device per document, as each saver start makes its own.
        BenchDevice device;
        if (!device.Create(kWidth, kHeight)) {
            FigureLog::Note("read-backs: no Direct3D device of 1280 x 1024");
            std::fclose(out);
            return false;
        }
        ComRef<IDirect3DSurface9> copy;
        device.Device()->CreateOffscreenPlainSurface(kWidth, kHeight, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, copy.Receive(),
                                                     nullptr);
        std::unique_ptr<MonitorScene> scene(new MonitorScene());
        CurrentDevice = device.Device();
        CurrentScreenView = &scene->View();
        s_document = &document.bytes;
        // The scene's random draws (camera sway, sparks, strikes) start alike in both runs.
        std::srand(1);
        SilentPlayer player;
        if (!copy || !scene->StartScene(&LoadReadbackDocument, player)) {
            std::fprintf(out, "%s did-not-start\n", document.name.c_str());
        } else {
            const int count = document.frames > 0 ? document.frames : frames;
            for (int i = 0; i < count; ++i) {
                const float time = kStartTime + document.step * static_cast<float>(i);
                scene->FrameMove(time);
                scene->DrawScene();
                const std::vector<uint32_t> pixels = ReadBackBuffer(device.Device(), copy.Get());
                if (pixels.empty()) {
                    std::fprintf(out, "%s %d %.3f no-read-back\n", document.name.c_str(), i, time);
                    continue;
                }
                std::fprintf(out, "%s %d %.3f %016llx\n", document.name.c_str(), i, time,
                             static_cast<unsigned long long>(Hash(pixels)));
                if (!imageFolder.empty()) {
                    wchar_t name[64];
                    std::swprintf(name, 64, L"\\%hs-%03d.bmp", document.name.c_str(), i);
                    WriteImage(imageFolder + name, pixels);
                }
            }
            scene->ReleaseScene();
        }
        scene.reset();
        CurrentDevice = nullptr;
        CurrentScreenView = nullptr;
        std::fflush(out);
    }
    std::fclose(out);
    return true;
}
