#pragma once
#include <memory>
#include <vector>

struct IDirect3DDevice9;
class MethodPatch;

// Counts the device's draw calls (DrawPrimitive, DrawIndexedPrimitive and their UP forms, D3DX's
// among them) while it lives. One counter at a time.
class DrawCallCounter {
public:
    explicit DrawCallCounter(IDirect3DDevice9* device);
    ~DrawCallCounter();
    DrawCallCounter(const DrawCallCounter&) = delete;
    DrawCallCounter& operator=(const DrawCallCounter&) = delete;

    // Draw calls since the counter began or was last restarted.
    long Count() const;
    void Restart();

private:
    bool m_counting = false;
    std::vector<std::unique_ptr<MethodPatch>> m_patches;
};
