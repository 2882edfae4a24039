#include "benchmarks/D3DCallTimer.h"

#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>
#include <intrin.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "benchmarks/VtableNames.h"
#include "benchmarks/VtableSlots.h"
#include "model/ComRef.h"

namespace {

// One patched entry: the stub loads the record's address into r10 and jumps to VoHookEntry.
struct HookRecord {
    void* original;
    uint64_t ticks;  // inside the entry's outermost calls on the timed thread
    uint64_t calls;
};

const size_t kStubBytes = 32;
const size_t kMaxHooks = 4096;
const int kMaxDepth = 1024;

struct ShadowFrame {
    void* returnAddress;
};

// The return addresses that the stubs swapped out, per thread: a hooked call returns to
// VoHookReturn, which returns to the address kept here.
thread_local ShadowFrame t_frames[kMaxDepth];
thread_local int t_depth = 0;
thread_local uint64_t t_outerStart = 0;
thread_local HookRecord* t_outerRecord = nullptr;

DWORD s_timedThread = 0;
uint64_t s_ticksInside = 0;
uint64_t s_calls = 0;

HookRecord s_records[kMaxHooks];
std::string s_names[kMaxHooks];
size_t s_recordCount = 0;
unsigned char* s_stubs = nullptr;

}  // namespace

extern "C" void* VoHookEnter(HookRecord* record, void* returnAddress)
{
    if (t_depth >= kMaxDepth) {
        std::fputs("GlimmerBench: hooked calls nested too deeply\n", stderr);
        std::abort();
    }
    const bool timed = GetCurrentThreadId() == s_timedThread;
    if (t_depth == 0 && timed) {
        ++s_calls;
        t_outerRecord = record;
        t_outerStart = __rdtsc();
    }
    t_frames[t_depth++].returnAddress = returnAddress;
    return record->original;
}

extern "C" void* VoHookLeave()
{
    --t_depth;
    if (t_depth == 0 && GetCurrentThreadId() == s_timedThread) {
        const uint64_t ticks = __rdtsc() - t_outerStart;
        s_ticksInside += ticks;
        t_outerRecord->ticks += ticks;
        ++t_outerRecord->calls;
    }
    return t_frames[t_depth].returnAddress;
}

extern "C" void VoHookEntry();
extern "C" void VoHookReturn();

// The entry saves the argument registers (integer and floating point, so any signature passes
// through unchanged), asks VoHookEnter for the original, puts VoHookReturn in place of the
// caller's return address and jumps on with the caller's stack as it was, stack arguments
// included. VoHookReturn keeps the results (rax, rdx, xmm0) while VoHookLeave stops the clock
// and hands back the caller's address.
asm(R"(
    .text
    .globl VoHookEntry
    .p2align 4
VoHookEntry:
    .intel_syntax noprefix
    sub rsp, 0x88
    mov [rsp+0x20], rcx
    mov [rsp+0x28], rdx
    mov [rsp+0x30], r8
    mov [rsp+0x38], r9
    movdqu [rsp+0x40], xmm0
    movdqu [rsp+0x50], xmm1
    movdqu [rsp+0x60], xmm2
    movdqu [rsp+0x70], xmm3
    mov rcx, r10
    mov rdx, [rsp+0x88]
    call VoHookEnter
    mov rcx, [rsp+0x20]
    mov rdx, [rsp+0x28]
    mov r8, [rsp+0x30]
    mov r9, [rsp+0x38]
    movdqu xmm0, [rsp+0x40]
    movdqu xmm1, [rsp+0x50]
    movdqu xmm2, [rsp+0x60]
    movdqu xmm3, [rsp+0x70]
    add rsp, 0x88
    lea r11, [rip+VoHookReturn]
    mov [rsp], r11
    jmp rax

    .globl VoHookReturn
    .p2align 4
VoHookReturn:
    push rax
    sub rsp, 0x48
    mov [rsp+0x20], rax
    mov [rsp+0x28], rdx
    movdqu [rsp+0x30], xmm0
    call VoHookLeave
    mov [rsp+0x48], rax
    mov rax, [rsp+0x20]
    mov rdx, [rsp+0x28]
    movdqu xmm0, [rsp+0x30]
    add rsp, 0x48
    ret
    .att_syntax prefix
)");

D3DCallTimer::~D3DCallTimer()
{
    Uninstall();
}

void D3DCallTimer::HookSlot(void** slot, std::string name)
{
    if (!*slot)
        return;
    for (const Patch& patch : m_patches)
        if (patch.slot == slot)
            return;
    if (s_recordCount >= kMaxHooks) {
        ++m_untimed;
        return;
    }
    HookRecord* record = &s_records[s_recordCount];
    unsigned char* stub = s_stubs + s_recordCount * kStubBytes;
    ++s_recordCount;
    record->original = *slot;
    record->ticks = 0;
    record->calls = 0;
    s_names[record - s_records] = std::move(name);

    // mov r10, record ; jmp [rip+0] ; VoHookEntry
    unsigned char code[24] = {0x49, 0xBA};
    void* recordAddress = record;
    void* entry = reinterpret_cast<void*>(&VoHookEntry);
    std::memcpy(code + 2, &recordAddress, 8);
    const unsigned char jump[6] = {0xFF, 0x25, 0, 0, 0, 0};
    std::memcpy(code + 10, jump, 6);
    std::memcpy(code + 16, &entry, 8);
    std::memcpy(stub, code, sizeof(code));

    DWORD protection = 0;
    if (!VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &protection))
        return;
    m_patches.push_back({slot, *slot});
    *slot = stub;
    VirtualProtect(slot, sizeof(void*), protection, &protection);
}

void D3DCallTimer::HookTable(void** table, unsigned slots, int interfaceKind)
{
    const auto kind = static_cast<VoInterfaceKind>(interfaceKind);
    for (unsigned i = 0; i < slots; ++i) {
        const char* method = VoMethodName(kind, i);
        HookSlot(&table[i], std::string(VoInterfaceName(kind)) + "::" +
                                (method ? std::string(method) : "slot " + std::to_string(i)));
    }
}

void D3DCallTimer::HookImports(const char* dllPrefix)
{
    auto* base = reinterpret_cast<unsigned char*>(GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress)
        return;
    auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
    const size_t prefixLength = std::strlen(dllPrefix);
    for (; import->Name; ++import) {
        const char* name = reinterpret_cast<const char*>(base + import->Name);
        if (_strnicmp(name, dllPrefix, prefixLength) != 0)
            continue;
        auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        // The names lie beside the bound entries, in the same order; ordinals have none.
        const IMAGE_THUNK_DATA* byName = import->OriginalFirstThunk
                                             ? reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk)
                                             : nullptr;
        for (; thunk->u1.Function; ++thunk) {
            std::string entry = name;
            if (byName && !IMAGE_SNAP_BY_ORDINAL(byName->u1.Ordinal))
                entry = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + byName->u1.AddressOfData)->Name;
            HookSlot(reinterpret_cast<void**>(&thunk->u1.Function), std::move(entry));
            if (byName)
                ++byName;
        }
    }
}

int D3DCallTimer::Install(IDirect3DDevice9* device, const std::wstring& effectPath)
{
    if (!device)
        return 0;
    if (!s_stubs)
        s_stubs = static_cast<unsigned char*>(
            VirtualAlloc(nullptr, kMaxHooks * kStubBytes, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
    if (!s_stubs)
        return 0;
    s_timedThread = GetCurrentThreadId();
    m_firstRecord = s_recordCount;
    m_untimed = 0;

    HookSampleObjects(device, effectPath);
    HookImports("d3d9.dll");
    HookImports("d3dx9");
    Reset();
    return static_cast<int>(m_patches.size());
}

void D3DCallTimer::HookSampleObjects(IDirect3DDevice9* device, const std::wstring& effectPath)
{
    auto table = [](void* object) { return *static_cast<void***>(object); };
    ComRef<IDirect3DTexture9> texture;
    ComRef<IDirect3DSurface9> surface;
    ComRef<IDirect3DVertexBuffer9> vertices;
    ComRef<IDirect3DIndexBuffer9> indices;
    ComRef<ID3DXEffect> effect;
    ComRef<ID3DXFont> font;
    ComRef<ID3DXSprite> sprite;
    ComRef<ID3DXMesh> mesh;
    device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture.Receive(), nullptr);
    if (texture)
        texture->GetSurfaceLevel(0, surface.Receive());
    device->CreateVertexBuffer(64, 0, 0, D3DPOOL_MANAGED, vertices.Receive(), nullptr);
    device->CreateIndexBuffer(64, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, indices.Receive(), nullptr);
    D3DXCreateEffectFromFileW(device, effectPath.c_str(), nullptr, nullptr, 0, nullptr,
                              effect.Receive(), nullptr);
    D3DXCreateFontW(device, 12, 0, FW_NORMAL, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, DEFAULT_QUALITY,
                    DEFAULT_PITCH | FF_DONTCARE, L"Tahoma", font.Receive());
    D3DXCreateSprite(device, sprite.Receive());
    D3DXCreateMeshFVF(1, 3, D3DXMESH_MANAGED, D3DFVF_XYZ, device, mesh.Receive());

    HookTable(table(device), kDeviceSlots, kVoDevice);
    if (texture)
        HookTable(table(texture.Get()), kTextureSlots, kVoTexture);
    if (surface)
        HookTable(table(surface.Get()), kSurfaceSlots, kVoSurface);
    if (vertices)
        HookTable(table(vertices.Get()), kVertexBufferSlots, kVoVertexBuffer);
    if (indices)
        HookTable(table(indices.Get()), kIndexBufferSlots, kVoIndexBuffer);
    m_effectHooked = effect.Get() != nullptr;
    if (effect)
        HookTable(table(effect.Get()), kEffectSlots, kVoEffect);
    if (font)
        HookTable(table(font.Get()), kFontSlots, kVoFont);
    if (sprite)
        HookTable(table(sprite.Get()), kSpriteSlots, kVoSprite);
    if (mesh)
        HookTable(table(mesh.Get()), kMeshSlots, kVoMesh);
}

void D3DCallTimer::Uninstall()
{
    for (auto it = m_patches.rbegin(); it != m_patches.rend(); ++it) {
        DWORD protection = 0;
        if (!VirtualProtect(it->slot, sizeof(void*), PAGE_READWRITE, &protection))
            continue;
        *it->slot = it->original;
        VirtualProtect(it->slot, sizeof(void*), protection, &protection);
    }
    m_patches.clear();
    // The stubs are free again once no table points at them, so that the next timer (one per
    // benchmarked document) finds room for all its entries.
    if (s_recordCount > m_firstRecord)
        s_recordCount = m_firstRecord;
}

void D3DCallTimer::Reset()
{
    s_ticksInside = 0;
    s_calls = 0;
    for (size_t i = m_firstRecord; i < s_recordCount; ++i) {
        s_records[i].ticks = 0;
        s_records[i].calls = 0;
    }
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    m_spanStartQpc = now.QuadPart;
    m_spanStartTsc = __rdtsc();
}

double D3DCallTimer::SecondsInside() const
{
    return TicksToSeconds(s_ticksInside);
}

std::vector<D3DCallTimer::EntryTotal> D3DCallTimer::EntryTotals() const
{
    std::vector<EntryTotal> totals;
    for (size_t i = m_firstRecord; i < s_recordCount; ++i)
        if (s_records[i].calls)
            totals.push_back({s_names[i], s_records[i].calls, TicksToSeconds(s_records[i].ticks)});
    return totals;
}

double D3DCallTimer::TicksToSeconds(uint64_t ticks) const
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    const uint64_t tsc = __rdtsc() - m_spanStartTsc;
    const double seconds = static_cast<double>(now.QuadPart - m_spanStartQpc) / static_cast<double>(frequency.QuadPart);
    if (tsc == 0 || seconds <= 0.0)
        return 0.0;
    return static_cast<double>(ticks) * seconds / static_cast<double>(tsc);
}

uint64_t D3DCallTimer::Calls() const
{
    return s_calls;
}
