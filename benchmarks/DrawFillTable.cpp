#include "benchmarks/DrawFillTable.h"

#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include <cstdio>
#include <map>

#include "benchmarks/DrawFillSlots.h"
#include "benchmarks/FigureLog.h"
#include "benchmarks/FrameClock.h"
#include "model/ComRef.h"
#include "model/Vo_DocResManager.h"
#include "model/Vo_FileLink3.h"

namespace {

// The resource module's effects by id, to name an effect the scene draws with.
const struct {
    int id;
    const char* name;
} kModuleEffects[] = {
    {63, "heathaze"},  {75, "backgroundcopy"}, {76, "light"},      {77, "waves"},      {78, "pattern"},
    {88, "underwater"}, {90, "water"},         {91, "move"},       {92, "fire"},       {97, "glow"},
    {102, "expand"},   {103, "radialwave"},    {105, "waterfall"}, {110, "rotation"},  {111, "bend"},
    {116, "blendnormal"}, {160, "generator160"}, {161, "generator161"}, {162, "cloud"}, {163, "explosion"},
    {164, "text"},     {165, "generator165"},
};

struct Draw {
    std::string what;
    IDirect3DSurface9* target = nullptr;  // compared by address only
    UINT targetWidth = 0;
    UINT targetHeight = 0;
    uint64_t pixels = 0;
    double seconds = 0.0;
    bool counted = true;
};

// The state of one measured run; the intercepting functions reach it through this pointer.
struct Recorder {
    IDirect3DDevice9* device = nullptr;
    ComRef<IDirect3DQuery9> occlusion;
    ComRef<IDirect3DQuery9> idle;
    void* originals[8] = {};
    ID3DXEffect* effect = nullptr;
    std::string technique;
    UINT pass = 0;
    bool inPass = false;
    std::vector<Draw> frame;
};
Recorder* s_recorder = nullptr;

enum Original { kClear, kStretchRect, kDrawPrimitive, kDrawIndexed, kDrawUP, kDrawIndexedUP, kBeginPass, kEndPass };

void WaitIdle(Recorder& r)
{
    r.idle->Issue(D3DISSUE_END);
    while (r.idle->GetData(nullptr, 0, D3DGETDATA_FLUSH) == S_FALSE)
        YieldProcessor();
}

std::string DrawnBy(Recorder& r)
{
    if (!r.inPass)
        return "fixed";
    char pass[16];
    std::snprintf(pass, sizeof(pass), ".p%u", r.pass);
    char effect[32];
    std::snprintf(effect, sizeof(effect), "effect@%p", static_cast<void*>(r.effect));
    return effect + ("." + r.technique) + pass;
}

// Runs one call with the device idle before and waited for after, counting its pixels.
template <class Call>
HRESULT Measured(const std::string& what, bool counted, uint64_t area, Call call)
{
    Recorder& r = *s_recorder;
    Draw draw;
    draw.what = what;
    draw.counted = counted;
    r.device->GetRenderTarget(0, &draw.target);
    if (draw.target) {
        // Its size now, while it surely lives; a target made and let go of within the frame may
        // be gone when the rows are named.
        D3DSURFACE_DESC desc = {};
        if (SUCCEEDED(draw.target->GetDesc(&desc))) {
            draw.targetWidth = desc.Width;
            draw.targetHeight = desc.Height;
        }
        draw.target->Release();
    }
    WaitIdle(r);
    const double start = FrameClock::WallSeconds();
    if (counted)
        r.occlusion->Issue(D3DISSUE_BEGIN);
    const HRESULT hr = call();
    if (counted)
        r.occlusion->Issue(D3DISSUE_END);
    WaitIdle(r);
    draw.seconds = FrameClock::WallSeconds() - start;
    if (counted) {
        DWORD pixels = 0;
        while (r.occlusion->GetData(&pixels, sizeof(pixels), D3DGETDATA_FLUSH) == S_FALSE)
            YieldProcessor();
        draw.pixels = pixels;
    } else {
        draw.pixels = area;
    }
    r.frame.push_back(draw);
    return hr;
}

template <class Method>
Method OriginalOf(Original which)
{
    return reinterpret_cast<Method>(s_recorder->originals[which]);
}

uint64_t TargetArea(IDirect3DDevice9* device, DWORD rects, const D3DRECT* rect)
{
    uint64_t area = 0;
    if (rects && rect) {
        for (DWORD i = 0; i < rects; ++i)
            area += uint64_t(rect[i].x2 - rect[i].x1) * uint64_t(rect[i].y2 - rect[i].y1);
        return area;
    }
    ComRef<IDirect3DSurface9> target;
    D3DSURFACE_DESC desc = {};
    if (SUCCEEDED(device->GetRenderTarget(0, target.Receive())) && target && SUCCEEDED(target->GetDesc(&desc)))
        area = uint64_t(desc.Width) * desc.Height;
    return area;
}

HRESULT STDMETHODCALLTYPE Clear(IDirect3DDevice9* device, DWORD rects, const D3DRECT* rect, DWORD flags, D3DCOLOR colour,
                                float z, DWORD stencil)
{
    using Method = HRESULT(STDMETHODCALLTYPE*)(IDirect3DDevice9*, DWORD, const D3DRECT*, DWORD, D3DCOLOR, float, DWORD);
    const uint64_t area = (flags & D3DCLEAR_TARGET) ? TargetArea(device, rects, rect) : 0;
    return Measured((flags & D3DCLEAR_TARGET) ? "clear" : "clear_depth", false, area,
                    [&] { return OriginalOf<Method>(kClear)(device, rects, rect, flags, colour, z, stencil); });
}

HRESULT STDMETHODCALLTYPE StretchRect(IDirect3DDevice9* device, IDirect3DSurface9* source, const RECT* sourceRect,
                                      IDirect3DSurface9* dest, const RECT* destRect, D3DTEXTUREFILTERTYPE filter)
{
    using Method = HRESULT(STDMETHODCALLTYPE*)(IDirect3DDevice9*, IDirect3DSurface9*, const RECT*, IDirect3DSurface9*,
                                               const RECT*, D3DTEXTUREFILTERTYPE);
    D3DSURFACE_DESC desc = {};
    uint64_t area = 0;
    if (destRect)
        area = uint64_t(destRect->right - destRect->left) * uint64_t(destRect->bottom - destRect->top);
    else if (dest && SUCCEEDED(dest->GetDesc(&desc)))
        area = uint64_t(desc.Width) * desc.Height;
    return Measured("copy", false, area, [&] {
        return OriginalOf<Method>(kStretchRect)(device, source, sourceRect, dest, destRect, filter);
    });
}

HRESULT STDMETHODCALLTYPE DrawPrimitive(IDirect3DDevice9* device, D3DPRIMITIVETYPE type, UINT start, UINT count)
{
    using Method = HRESULT(STDMETHODCALLTYPE*)(IDirect3DDevice9*, D3DPRIMITIVETYPE, UINT, UINT);
    return Measured(DrawnBy(*s_recorder), true, 0,
                    [&] { return OriginalOf<Method>(kDrawPrimitive)(device, type, start, count); });
}

HRESULT STDMETHODCALLTYPE DrawIndexedPrimitive(IDirect3DDevice9* device, D3DPRIMITIVETYPE type, INT base, UINT minIndex,
                                               UINT vertices, UINT start, UINT count)
{
    using Method = HRESULT(STDMETHODCALLTYPE*)(IDirect3DDevice9*, D3DPRIMITIVETYPE, INT, UINT, UINT, UINT, UINT);
    return Measured(DrawnBy(*s_recorder), true, 0, [&] {
        return OriginalOf<Method>(kDrawIndexed)(device, type, base, minIndex, vertices, start, count);
    });
}

HRESULT STDMETHODCALLTYPE DrawPrimitiveUP(IDirect3DDevice9* device, D3DPRIMITIVETYPE type, UINT count, const void* data,
                                          UINT stride)
{
    using Method = HRESULT(STDMETHODCALLTYPE*)(IDirect3DDevice9*, D3DPRIMITIVETYPE, UINT, const void*, UINT);
    return Measured(DrawnBy(*s_recorder), true, 0,
                    [&] { return OriginalOf<Method>(kDrawUP)(device, type, count, data, stride); });
}

HRESULT STDMETHODCALLTYPE DrawIndexedPrimitiveUP(IDirect3DDevice9* device, D3DPRIMITIVETYPE type, UINT minIndex,
                                                 UINT vertices, UINT count, const void* indices, D3DFORMAT format,
                                                 const void* data, UINT stride)
{
    using Method = HRESULT(STDMETHODCALLTYPE*)(IDirect3DDevice9*, D3DPRIMITIVETYPE, UINT, UINT, UINT, const void*,
                                               D3DFORMAT, const void*, UINT);
    return Measured(DrawnBy(*s_recorder), true, 0, [&] {
        return OriginalOf<Method>(kDrawIndexedUP)(device, type, minIndex, vertices, count, indices, format, data,
                                                  stride);
    });
}

HRESULT STDMETHODCALLTYPE BeginPass(ID3DXEffect* effect, UINT pass)
{
    using Method = HRESULT(STDMETHODCALLTYPE*)(ID3DXEffect*, UINT);
    Recorder& r = *s_recorder;
    r.effect = effect;
    r.pass = pass;
    r.inPass = true;
    D3DXTECHNIQUE_DESC desc = {};
    D3DXHANDLE technique = effect->GetCurrentTechnique();
    r.technique = technique && SUCCEEDED(effect->GetTechniqueDesc(technique, &desc)) && desc.Name ? desc.Name : "?";
    return OriginalOf<Method>(kBeginPass)(effect, pass);
}

HRESULT STDMETHODCALLTYPE EndPass(ID3DXEffect* effect)
{
    using Method = HRESULT(STDMETHODCALLTYPE*)(ID3DXEffect*);
    s_recorder->inPass = false;
    return OriginalOf<Method>(kEndPass)(effect);
}

struct Patch {
    void** slot;
    void* original;
};

void PatchSlot(void** table, unsigned slot, void* replacement, Original which, std::vector<Patch>& patches)
{
    DWORD protection = 0;
    if (!VirtualProtect(&table[slot], sizeof(void*), PAGE_READWRITE, &protection))
        return;
    patches.push_back({&table[slot], table[slot]});
    s_recorder->originals[which] = table[slot];
    table[slot] = replacement;
    VirtualProtect(&table[slot], sizeof(void*), protection, &protection);
}

void Unpatch(std::vector<Patch>& patches)
{
    for (auto it = patches.rbegin(); it != patches.rend(); ++it) {
        DWORD protection = 0;
        if (!VirtualProtect(it->slot, sizeof(void*), PAGE_READWRITE, &protection))
            continue;
        *it->slot = it->original;
        VirtualProtect(it->slot, sizeof(void*), protection, &protection);
    }
    patches.clear();
}

// "effect@<address>" becomes the effect's name where the resource module's effects hold it.
std::string NameEffects(const std::string& what, const std::map<std::string, std::string>& names)
{
    const size_t dot = what.find('.');
    if (what.compare(0, 7, "effect@") != 0 || dot == std::string::npos)
        return what;
    const auto found = names.find(what.substr(0, dot));
    return (found != names.end() ? found->second : std::string("effect")) + what.substr(dot);
}

std::map<std::string, std::string> ModuleEffectNames()
{
    std::map<std::string, std::string> names;
    if (!CurrentDocResManager)
        return names;
    for (const auto& effect : kModuleEffects) {
        // The store keeps what it made: an effect the scene draws with comes back as the same
        // object. One the scene does not use is made here, after the measured frames.
        ComRef<ID3DXEffect> made = CurrentDocResManager->GetEffect(Vo_FileLink3(effect.id, L"common_res.dll"));
        char key[32];
        std::snprintf(key, sizeof(key), "effect@%p", static_cast<void*>(made.Get()));
        if (made)
            names.emplace(key, effect.name);
    }
    return names;
}

}  // namespace

std::vector<DrawFillTable::Row> DrawFillTable::Measure(IDirect3DDevice9* device, const std::wstring& effectPath,
                                                       int frames, const std::function<void()>& frame)
{
    std::vector<Row> rows;
    Recorder recorder;
    recorder.device = device;
    if (!device || FAILED(device->CreateQuery(D3DQUERYTYPE_OCCLUSION, recorder.occlusion.Receive())) ||
        FAILED(device->CreateQuery(D3DQUERYTYPE_EVENT, recorder.idle.Receive())))
        return rows;
    ComRef<ID3DXEffect> sample;
    D3DXCreateEffectFromFileW(device, effectPath.c_str(), nullptr, nullptr, 0, nullptr, sample.Receive(), nullptr);

    s_recorder = &recorder;
    std::vector<Patch> patches;
    void** deviceTable = *reinterpret_cast<void***>(device);
    PatchSlot(deviceTable, kDeviceClearSlot, reinterpret_cast<void*>(&Clear), kClear, patches);
    PatchSlot(deviceTable, kDeviceStretchRectSlot, reinterpret_cast<void*>(&StretchRect), kStretchRect, patches);
    PatchSlot(deviceTable, kDeviceDrawPrimitiveSlot, reinterpret_cast<void*>(&DrawPrimitive), kDrawPrimitive, patches);
    PatchSlot(deviceTable, kDeviceDrawIndexedPrimitiveSlot, reinterpret_cast<void*>(&DrawIndexedPrimitive),
              kDrawIndexed, patches);
    PatchSlot(deviceTable, kDeviceDrawPrimitiveUPSlot, reinterpret_cast<void*>(&DrawPrimitiveUP), kDrawUP, patches);
    PatchSlot(deviceTable, kDeviceDrawIndexedPrimitiveUPSlot, reinterpret_cast<void*>(&DrawIndexedPrimitiveUP),
              kDrawIndexedUP, patches);
    if (sample) {
        void** effectTable = *reinterpret_cast<void***>(sample.Get());
        PatchSlot(effectTable, kEffectBeginPassSlot, reinterpret_cast<void*>(&BeginPass), kBeginPass, patches);
        PatchSlot(effectTable, kEffectEndPassSlot, reinterpret_cast<void*>(&EndPass), kEndPass, patches);
    }

    ComRef<IDirect3DSurface9> backBuffer;
    device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, backBuffer.Receive());
    std::vector<std::vector<Draw>> played;
    for (int i = 0; i < frames; ++i) {
        recorder.frame.clear();
        recorder.inPass = false;
        frame();
        played.push_back(recorder.frame);
    }
    Unpatch(patches);
    s_recorder = nullptr;

    const std::map<std::string, std::string> names = ModuleEffectNames();
    // Targets are named per frame by first use, so the pair's two textures keep their names
    // while they swap roles from frame to frame.
    auto targetNames = [&](const std::vector<Draw>& draws) {
        std::vector<std::string> named;
        std::map<IDirect3DSurface9*, std::string> seen;
        for (const Draw& draw : draws) {
            auto found = seen.find(draw.target);
            if (found == seen.end()) {
                std::string name = "none";
                if (draw.target == backBuffer.Get())
                    name = "back_buffer";
                else if (draw.target)
                    name = "texture" + std::to_string(seen.size()) + "_" + std::to_string(draw.targetWidth) + "x" +
                           std::to_string(draw.targetHeight);
                found = seen.emplace(draw.target, name).first;
            }
            named.push_back(found->second);
        }
        return named;
    };
    bool sameSequence = !played.empty();
    for (const auto& draws : played)
        sameSequence = sameSequence && draws.size() == played.front().size();
    std::map<std::string, size_t> rowOf;
    for (const auto& draws : played) {
        const std::vector<std::string> targets = targetNames(draws);
        for (size_t k = 0; k < draws.size(); ++k) {
            const std::string what = NameEffects(draws[k].what, names);
            const std::string key = sameSequence ? std::to_string(k) : what + "|" + targets[k];
            auto found = rowOf.find(key);
            if (found == rowOf.end()) {
                found = rowOf.emplace(key, rows.size()).first;
                rows.push_back(Row{what, targets[k], 0, 0.0, 0, draws[k].counted});
            }
            Row& row = rows[found->second];
            row.pixels += draws[k].pixels;
            row.seconds += draws[k].seconds;
            row.calls += 1;
        }
    }
    return rows;
}

void DrawFillTable::Print(const std::vector<Row>& rows, int frames, const std::string& prefix, double screenPixels)
{
    if (rows.empty() || frames <= 0) {
        FigureLog::Note(prefix + ": no draw was measured");
        return;
    }
    double counted = 0.0, all = 0.0, seconds = 0.0;
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        char number[8];
        std::snprintf(number, sizeof(number), "%02zu", i + 1);
        const std::string name = prefix + number + "." + row.what + ".to_" + row.target;
        const double screens = static_cast<double>(row.pixels) / frames / screenPixels;
        FigureLog::Figure(name + ".screens", screens, "screens/frame");
        FigureLog::Figure(name + ".ms", row.seconds * 1000.0 / frames, "ms/frame");
        if (row.calls != frames)
            FigureLog::Figure(name + ".calls", static_cast<double>(row.calls) / frames, "count/frame");
        all += screens;
        if (row.counted)
            counted += screens;
        seconds += row.seconds;
    }
    FigureLog::Figure(prefix + "drawn_screens", counted, "screens/frame");
    FigureLog::Figure(prefix + "cleared_and_copied_screens", all - counted, "screens/frame");
    FigureLog::Figure(prefix + "ms", seconds * 1000.0 / frames, "ms/frame");
}
