#pragma once
#include <memory>
#include <string>
#include <vector>

struct IDirect3DDevice9;
class MethodPatch;

// Notes every default-pool resource the device makes while the watch lives (render targets,
// depth surfaces, default-pool textures and buffers, whoever makes them: the scene code or D3DX
// for it) and keeps a reference to each, so that it can tell afterwards which of them someone
// still holds. A device resets only once every such resource is gone; a reference kept anywhere
// blocks the reset. A texture left set on an effect is such a reference (D3DX holds one to each);
// since Wine's effects drop default-pool textures in OnLostDevice, which the scene code must not
// count on, the watch looks at every effect's textures when it is told of the loss. One watch at
// a time.
class DefaultPoolWatch {
public:
    explicit DefaultPoolWatch(IDirect3DDevice9* device);
    ~DefaultPoolWatch();
    DefaultPoolWatch(const DefaultPoolWatch&) = delete;
    DefaultPoolWatch& operator=(const DefaultPoolWatch&) = delete;

    // The resources made so far that anyone but the watch still holds, each described by what
    // it is and when it was made (see SetPhase), with the references held besides the watch's,
    // and those that an effect still held when it was told the device is lost
    // (ID3DXEffect::OnLostDevice). The watch lets go of all of them and goes on watching.
    std::vector<std::string> ReleaseAndListHeld();
    // How many default-pool resources were made since the watch began.
    size_t MadeCount() const;
    // Names what the test is doing; each resource made from now on is described with it.
    void SetPhase(const std::string& phase);

private:
    bool m_watching = false;
    std::vector<std::unique_ptr<MethodPatch>> m_patches;
};
