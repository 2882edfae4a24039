#pragma once
// A layer variant on a device as a slide shows it: a store of its own made current, the layer
// made with its defaults (the test's SetUp sets its values), pictures embedded in the store and
// linked, and the layer activated and laid out over the target. The layer goes before the scene
// and the store. Scene is the scene fixture to build on (BuildFolderSceneFixture for layers that
// read common_res.dll).
#include <d3d9.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "model/ComRef.h"
#include "model/DataBuffer.h"
#include "model/TextureInfo.h"
#include "model/Vo_DocResManager.h"
#include "runtime/PictureMesh.h"
#include "runtime/ScreenView.h"
#include "support/BmpBytes.h"
#include "support/SceneDeviceFixture.h"

template <class Layer, class Scene = SceneDeviceFixture>
class LayerOnDeviceFixture : public Scene {
protected:
    static constexpr unsigned kSize = Scene::kSize;

    void SetUp() override
    {
        Scene::SetUp();
        if (this->HasFatalFailure())
            return;
        this->m_store.reset(new Vo_DocResManager());
        CurrentDocResManager = this->m_store.get();
        m_layer.reset(new Layer());
    }
    void TearDown() override
    {
        m_layer.reset();
        Scene::TearDown();
    }

    // Embeds a BMP of w x h pixels (colours 0x00RRGGBB) in the store under the name and points
    // the link at it.
    void LinkEmbeddedBmp(Vo_ImageFileLink& link, const wchar_t* name, unsigned w, unsigned h,
                         const std::function<uint32_t(unsigned, unsigned)>& colour)
    {
        const std::vector<uint8_t> bytes = MakeBmp(w, h, colour);
        FileBlob blob;
        blob.SetName(name);
        blob.SetData(static_cast<uint32_t>(bytes.size()), bytes.data());
        const Vo_ImageFileLink adopted = this->m_store->AdoptPictureBlob(blob);
        link.Assign(adopted.GetKey().Path(), adopted.GetKey().Stamp());
    }

    // An opaque picture of w x h pixels from a colour function (0x00RRGGBB) in m_picture, for Show
    // to put in place of the one the layer's link names.
    void MakePicture(unsigned w, unsigned h, const std::function<uint32_t(unsigned, unsigned)>& colour)
    {
        ComRef<IDirect3DTexture9> texture;
        ASSERT_EQ(this->Device()->CreateTexture(w, h, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture.Receive(),
                                                nullptr),
                  D3D_OK);
        D3DLOCKED_RECT locked;
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        for (unsigned y = 0; y < h; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
            for (unsigned x = 0; x < w; ++x)
                row[x] = 0xFF000000u | colour(x, y);
        }
        texture->UnlockRect(0);
        MakeTextureInfo(m_picture, texture.Get(), w, h);
    }

    // Activation and show as the slide does them, at the picture position; a given picture takes
    // the place of the one the layer's link names.
    void Show(int position, const TextureInfo* picture = nullptr)
    {
        m_layer->LoadContent();
        if (picture)
            m_layer->GetPictureMesh()->SetPicture(*picture);
        m_layer->Layout(1, 1);
        m_layer->SetPicturePosition(position);
        m_layer->Layout(kSize, kSize);
        m_layer->RestoreDeviceObjects();
    }

    std::unique_ptr<Layer> m_layer;
    TextureInfo m_picture;
};
