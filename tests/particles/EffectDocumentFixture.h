#pragma once
// A stored scene of effect objects on a real device: the document is loaded with the build folder
// as the current folder, where common_res.dll holds the effects and bolt pictures, its single
// slide activated and stretched over the 64 x 64 target, and frames drawn as the host draws them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "runtime/ScreenView.h"
#include "runtime/Vo_ABObj.h"
#include "runtime/Vo_SlideContainer.h"
#include "runtime/Vo_SlideShow_Light.h"
#include "support/SceneDeviceFixture.h"
#include "support/TestPaths.h"

class EffectDocumentFixture : public SceneDeviceFixture {
protected:
    void Load(const wchar_t* document, size_t objects)
    {
        wchar_t folder[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, folder);
        m_folder = folder;
        SetCurrentDirectoryW(UnixToWindowsPath(VO_BINARY_DIR).c_str());
        LoadDocument(AssembledTestDocument(document));
        if (HasFatalFailure())
            return;
        ASSERT_EQ(m_root->Slides().size(), 1u);
        m_root->ActivateSlides();
        m_root->SetPicturePosition(ScreenView::kStretch);
        ASSERT_EQ(m_root->Slides()[0]->DrawnObjects().size(), objects);
    }
    void TearDown() override
    {
        SceneDeviceFixture::TearDown();
        if (!m_folder.empty())
            SetCurrentDirectoryW(m_folder.c_str());
    }

    template <class T>
    T* ObjectAt(size_t i)
    {
        return dynamic_cast<T*>(m_root->Slides()[0]->DrawnObjects()[i].Get());
    }

    void DrawFrame(float time)
    {
        ASSERT_EQ(m_root->FrameMove(time), S_OK);
        ASSERT_EQ(Device()->BeginScene(), D3D_OK);
        m_root->Render(0);
        Device()->EndScene();
    }

    std::wstring m_folder;
};
