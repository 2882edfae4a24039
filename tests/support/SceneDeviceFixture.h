#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "model/Vo_DocResManager.h"
#include "runtime/ScreenView.h"
#include "runtime/Vo_SlideShow_Light.h"
#include "support/DeviceFixture.h"

// A device with what the scene code draws through made current: the device and a screen view.
// LoadDocument reads a whole document onto it as a render unit does; TearDown deletes root and
// store, puts the earlier current store back and lets the view's device buffers go before the
// device.
class SceneDeviceFixture : public DeviceFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // Loads the bytes, which the fixture keeps as long as the root lives; the load makes the
    // document's store current, and the fixture owns it.
    void LoadDocument(std::vector<uint8_t> bytes);

    std::unique_ptr<ScreenView> m_view;
    std::vector<uint8_t> m_bytes;
    std::unique_ptr<Vo_SlideShow_Light> m_root;
    std::unique_ptr<Vo_DocResManager> m_store;
    Vo_DocResManager* m_storeBefore = nullptr;
};
