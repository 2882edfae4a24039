#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct IDirect3DDevice9;

// Measures how long the program's thread spends inside Direct3D and D3DX. While installed, every
// method of the device, texture, surface, vertex- and index-buffer, effect, font, sprite and mesh
// interfaces, and every function this program imports from d3d9 and d3dx9, enters through a small
// stub that notes the time on the way in and, through a swapped return address, on the way out. Calls made
// from inside such a call (D3DX calling the device) count once, as part of the outer call.
class D3DCallTimer {
public:
    D3DCallTimer() = default;
    ~D3DCallTimer();
    D3DCallTimer(const D3DCallTimer&) = delete;
    D3DCallTimer& operator=(const D3DCallTimer&) = delete;

    // The device gives the method tables (Wine shares one table among all objects of a kind);
    // the compiled effect file gives the effect's table, and is skipped when it cannot be made.
    // Returns the number of entries patched.
    int Install(IDirect3DDevice9* device, const std::wstring& effectPath);
    // Puts every patched entry back.
    void Uninstall();

    // Counted time is on the processor's time-stamp counter: Reset starts a span, Seconds reads
    // the time inside the calls since then, converted with the span's own clock rate.
    void Reset();
    double SecondsInside() const;
    uint64_t Calls() const;
    // The same per entry point, for entries called since Reset: the function's or method's name
    // ("D3DXCreateEffect", "IDirect3DDevice9::CreateTexture"; a method this list does not name
    // shows its slot), its outermost calls and the time inside them.
    struct EntryTotal {
        std::string name;
        uint64_t calls = 0;
        double seconds = 0.0;
    };
    std::vector<EntryTotal> EntryTotals() const;
    bool EffectHooked() const { return m_effectHooked; }
    // Entries left unpatched because every stub was taken: their time would count as the
    // program's own.
    int Untimed() const { return m_untimed; }

private:
    struct Patch {
        void** slot;
        void* original;
    };
    // One object of each kind, made and released again, shows where each kind's table lies.
    void HookSampleObjects(IDirect3DDevice9* device, const std::wstring& effectPath);
    void HookTable(void** table, unsigned slots, int interfaceKind);
    void HookImports(const char* dllPrefix);
    void HookSlot(void** slot, std::string name);
    double TicksToSeconds(uint64_t ticks) const;

    std::vector<Patch> m_patches;
    bool m_effectHooked = false;
    size_t m_firstRecord = 0;
    int m_untimed = 0;
    uint64_t m_spanStartTsc = 0;
    int64_t m_spanStartQpc = 0;
};
