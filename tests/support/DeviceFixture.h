#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/KeptPicturePlacement.h"

struct IDirect3D9;
struct IDirect3DDevice9;
struct IDirect3DSurface9;
struct HWND__;

// A windowed Direct3D 9 device on a hidden window (Mesa's software renderer under Xvfb) with a
// small A8R8G8B8 render target set as target 0, and read-back of that target. The picture
// placement, which a layer laid out on the device changes, is put back after the test.
class DeviceFixture : public ::testing::Test {
public:
    static constexpr unsigned kSize = 64;

protected:
    void SetUp() override;
    void TearDown() override;

    IDirect3DDevice9* Device() const { return m_device; }
    IDirect3DSurface9* Target() const { return m_target; }
    HWND__* Window() const { return m_window; }

    // Releases the render target (a default-pool surface, which would make Reset fail), resets
    // the device with its creation parameters and makes the target again as target 0. Returns
    // what Reset returned; everything else of the test's own in the default pool must be gone.
    long ResetDevice();

    // Pixels of the render target as 0xAARRGGBB, row by row. A read-back that fails fails the
    // test (and gives no pixels), so a check for black never passes on a broken device.
    std::vector<uint32_t> ReadBack() const;
    uint32_t PixelAt(unsigned x, unsigned y) const;
    // Writes the target as a BMP under the test artifacts folder; returns the path.
    std::string SaveTarget(const std::string& name) const;

private:
    KeptPicturePlacement m_keptPlacement;
    HWND__* m_window = nullptr;
    IDirect3D9* m_d3d = nullptr;
    IDirect3DDevice9* m_device = nullptr;
    IDirect3DSurface9* m_target = nullptr;
};

// The pixels of a 32-bit render target of the device as 0xAARRGGBB, row by row; a failed
// read-back fails the current test and gives no pixels.
std::vector<uint32_t> ReadRenderTarget(IDirect3DDevice9* device, IDirect3DSurface9* target);

// Channel-wise comparison with a tolerance for the software rasteriser.
bool ColorsNear(uint32_t a, uint32_t b, int tolerance = 2);

// Writes 32-bit pixels (0xAARRGGBB, row by row from the top) as a BMP file.
bool WriteBmp(const std::string& path, const std::vector<uint32_t>& pixels, unsigned width,
              unsigned height);
