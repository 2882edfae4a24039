#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "model/Vo_DocResManager.h"
#include "runtime/ScreenView.h"
#include "runtime/Vo_ABObj.h"
#include "runtime/Vo_SlideContainer.h"
#include "runtime/Vo_SlideShow_Light.h"
#include "support/DeviceFixture.h"

// A device with what the scene code draws through made current: the device and a screen view.
// LoadDocument reads a whole document onto it as a render unit does, LoadOneSlide also plays its
// single slide stretched over the target, and DrawFrame draws a frame as the host does; TearDown
// deletes root and store, puts the earlier current store back and lets the view's device buffers
// go before the device.
class SceneDeviceFixture : public DeviceFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // Loads the bytes, which the fixture keeps as long as the root lives; the load makes the
    // document's store current, and the fixture owns it.
    void LoadDocument(std::vector<uint8_t> bytes);
    // Loads a document of one slide, activates the slide with the picture stretched over the
    // target and checks that it draws the given number of objects, or fails fatally.
    void LoadOneSlide(std::vector<uint8_t> bytes, size_t objects);
    void LoadOneSlide(const wchar_t* assembledDocument, size_t objects);

    Vo_SlideContainer& Slide() { return *m_root->Slides()[0]; }
    // The slide's drawn object at the index as T, or null.
    template <class T>
    T* ObjectAt(size_t index)
    {
        const auto& objects = Slide().DrawnObjects();
        return index < objects.size() ? dynamic_cast<T*>(objects[index].Get()) : nullptr;
    }

    // Moves the scene to the time and draws it into the target, as the host draws a frame.
    void DrawFrame(float time);

    std::unique_ptr<ScreenView> m_view;
    std::vector<uint8_t> m_bytes;
    std::unique_ptr<Vo_SlideShow_Light> m_root;
    std::unique_ptr<Vo_DocResManager> m_store;
    Vo_DocResManager* m_storeBefore = nullptr;
};
