#include "benchmarks/StartBreakdown.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "benchmarks/BenchDevice.h"
#include "benchmarks/D3DCallTimer.h"
#include "benchmarks/FigureLog.h"
#include "benchmarks/FrameClock.h"
#include "benchmarks/SilentPlayer.h"
#include "runtime/CurrentScreenView.h"
#include "support/TestPaths.h"

namespace {

const int kTimedStarts = 3;
// The first frame's time: what the frame figures give the scene's first frame.
const float kFirstFrameTime = 1.0f;
// Entry points that took at least this long during the start get a note of their own.
const double kNotedEntryMs = 1.0;

// A kind of device object and the entry points whose time counts for it. A name matches when it
// equals an entry of the list, or starts with one that ends in '*'. The first kind that matches
// takes the call.
struct Kind {
    const char* figure;
    std::vector<const char*> entries;
};

const std::vector<Kind>& Kinds()
{
    static const std::vector<Kind> kinds = {
        {"pictures_decoded", {"D3DXCreateTextureFromFile*", "D3DXCreateTextureFromResource*"}},
        {"mip_levels", {"D3DXFilterTexture", "IDirect3DTexture9::GenerateMipSubLevels"}},
        {"texture_copies", {"D3DXCreateTexture", "D3DXLoadSurfaceFromSurface"}},
        {"normal_maps", {"D3DXComputeNormalMap"}},
        {"effects_created", {"D3DXCreateEffect*", "ID3DXEffect::OnResetDevice"}},
        // Render targets, and textures the program fills itself (the du/dv pictures).
        {"textures_made",
         {"IDirect3DDevice9::CreateTexture", "IDirect3DTexture9::LockRect", "IDirect3DTexture9::UnlockRect"}},
        {"meshes_and_buffers",
         {"IDirect3DDevice9::CreateVertexBuffer", "IDirect3DDevice9::CreateIndexBuffer",
          "IDirect3DVertexBuffer9::Lock", "IDirect3DVertexBuffer9::Unlock", "IDirect3DIndexBuffer9::Lock",
          "IDirect3DIndexBuffer9::Unlock", "D3DXLoadMeshFrom*", "ID3DXMesh::*", "D3DXComputeNormals",
          "D3DXComputeBoundingSphere"}},
        {"fonts_and_sprites", {"D3DXCreateFont*", "D3DXCreateSprite", "ID3DXFont::OnResetDevice",
                               "ID3DXFont::PreloadCharacters"}},
        // Drawing, the first frame's and any the start makes into textures of its own.
        {"draw_calls", {"IDirect3DDevice9::Draw*", "IDirect3DDevice9::Clear", "IDirect3DDevice9::BeginScene",
                        "IDirect3DDevice9::EndScene", "ID3DXEffect::*", "ID3DXFont::*", "ID3DXSprite::*"}},
    };
    return kinds;
}

bool Matches(const std::string& name, const char* entry)
{
    const size_t length = std::strlen(entry);
    if (length && entry[length - 1] == '*')
        return name.compare(0, length - 1, entry, length - 1) == 0;
    return name == entry;
}

// Index into Kinds(), or Kinds().size() for the other Direct3D and D3DX calls.
size_t KindOf(const std::string& name)
{
    const std::vector<Kind>& kinds = Kinds();
    for (size_t i = 0; i < kinds.size(); ++i)
        for (const char* entry : kinds[i].entries)
            if (Matches(name, entry))
                return i;
    return kinds.size();
}

// One timed start.
struct Start {
    double load = 0.0;      // LoadSceneDocument: the document read, its store's pictures decoded
    double activate = 0.0;  // the rest of the host's start: slides activated (layer content, objects)
    double move = 0.0;      // the first frame move: the first slide shown, its device objects restored
    double draw = 0.0;      // the first frame's draw calls
    double wait = 0.0;      // until the device has finished the first frame
    double inside = 0.0;    // inside Direct3D and D3DX over the whole start
    std::vector<D3DCallTimer::EntryTotal> entries;

    double Total() const { return load + activate + move + draw + wait; }
};

MonitorScene::SceneLoader s_load = nullptr;
double s_loadSeconds = 0.0;

Vo_SlideShow_Light* TimedLoad()
{
    const double begin = FrameClock::WallSeconds();
    Vo_SlideShow_Light* root = s_load();
    s_loadSeconds = FrameClock::WallSeconds() - begin;
    return root;
}

bool StartOnce(BenchDevice& device, D3DCallTimer& timer, Start& start)
{
    SilentPlayer player;
    MonitorScene scene;
    CurrentScreenView = &scene.View();
    timer.Reset();
    const double begin = FrameClock::WallSeconds();
    s_loadSeconds = 0.0;
    const bool started = scene.StartScene(&TimedLoad, player);
    const double loaded = FrameClock::WallSeconds();
    if (started) {
        scene.FrameMove(kFirstFrameTime);
        const double moved = FrameClock::WallSeconds();
        scene.DrawScene();
        const double drawn = FrameClock::WallSeconds();
        device.WaitUntilIdle();
        const double done = FrameClock::WallSeconds();
        start.load = s_loadSeconds;
        start.activate = loaded - begin - s_loadSeconds;
        start.move = moved - loaded;
        start.draw = drawn - moved;
        start.wait = done - drawn;
        start.inside = timer.SecondsInside();
        start.entries = timer.EntryTotals();
    }
    scene.ReleaseScene();
    CurrentScreenView = nullptr;
    return started;
}

void Print(const Start& start)
{
    const std::vector<Kind>& kinds = Kinds();
    std::vector<double> seconds(kinds.size() + 1, 0.0);
    std::vector<uint64_t> calls(kinds.size() + 1, 0);
    for (const D3DCallTimer::EntryTotal& entry : start.entries) {
        const size_t kind = KindOf(entry.name);
        seconds[kind] += entry.seconds;
        calls[kind] += entry.calls;
    }
    const std::string prefix = "start.parts.";
    FigureLog::Figure(prefix + "total", start.Total() * 1000.0, "ms");
    FigureLog::Figure(prefix + "load", start.load * 1000.0, "ms");
    FigureLog::Figure(prefix + "activate", start.activate * 1000.0, "ms");
    FigureLog::Figure(prefix + "first_frame.move", start.move * 1000.0, "ms");
    FigureLog::Figure(prefix + "first_frame.draw", start.draw * 1000.0, "ms");
    FigureLog::Figure(prefix + "first_frame.device_wait", start.wait * 1000.0, "ms");
    FigureLog::Figure(prefix + "d3d_calls", start.inside * 1000.0, "ms");
    FigureLog::Figure(prefix + "own_code", (start.Total() - start.wait - start.inside) * 1000.0, "ms");
    for (size_t i = 0; i <= kinds.size(); ++i) {
        const std::string name = prefix + (i < kinds.size() ? kinds[i].figure : "other_d3d_calls");
        FigureLog::Count(name + ".calls", static_cast<int64_t>(calls[i]), "count");
        FigureLog::Figure(name + ".time", seconds[i] * 1000.0, "ms");
    }
    std::vector<D3DCallTimer::EntryTotal> entries = start.entries;
    std::sort(entries.begin(), entries.end(),
              [](const D3DCallTimer::EntryTotal& a, const D3DCallTimer::EntryTotal& b) { return a.seconds > b.seconds; });
    for (const D3DCallTimer::EntryTotal& entry : entries) {
        if (entry.seconds * 1000.0 < kNotedEntryMs)
            break;
        char text[64];
        std::snprintf(text, sizeof(text), ": %llu calls, %.1f ms", static_cast<unsigned long long>(entry.calls),
                      entry.seconds * 1000.0);
        FigureLog::Note("start: " + entry.name + text);
    }
}

}  // namespace

void StartBreakdown::Run(BenchDevice& device, MonitorScene::SceneLoader load)
{
    D3DCallTimer timer;
    timer.Install(device.Device(), UnixToWindowsPath(VO_BENCH_EFFECT));
    if (timer.Untimed() > 0)
        FigureLog::Note("start parts: " + std::to_string(timer.Untimed()) +
                        " Direct3D and D3DX entry points could not be timed; their time counts as own code");
    s_load = load;
    std::vector<Start> starts;
    for (int i = 0; i < kTimedStarts; ++i) {
        Start start;
        if (!StartOnce(device, timer, start))
            break;
        starts.push_back(std::move(start));
    }
    timer.Uninstall();
    if (starts.empty()) {
        FigureLog::Note("start parts: the scene did not start");
        return;
    }
    std::sort(starts.begin(), starts.end(), [](const Start& a, const Start& b) { return a.Total() < b.Total(); });
    FigureLog::Note("start parts: the median of " + std::to_string(starts.size()) +
                    " starts with every Direct3D and D3DX entry point timed; the time inside them sorted by "
                    "the kind of object they make, and the entry points that took 1 ms or more");
    Print(starts[starts.size() / 2]);
}
