#pragma once
// Helpers of the brush tests and of the layers that hold brushes: hand-built record values for
// the queued stream, a layer that records what brushes draw through it, a brush that draws with a
// given effect, and reference counts of device objects.
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "brushes/Vo_FX_Constructor.h"
#include "runtime/PictureMesh.h"
#include "runtime/Vo_ABRender.h"
#include "runtime/Vo_IndexedMesh.h"
#include "support/QueuedStream.h"

namespace brush_testing {

const wchar_t kGuidText[] = L"{0C1D2E3F-4A5B-6C7D-8E9F-A0B1C2D3E4F5}";

// The common brush record of the given version; the scene-object record after it is version 1
// (a name only).
inline void PushFxRecord(QueuedStream& s, int32_t version, uint32_t speedRaw, int32_t flag,
                         const wchar_t* effectPath, int64_t stamp, uint32_t scaleRaw = 0)
{
    s.Push(QueuedStream::String{L"Vo_FX_Constructor"}).Push(QueuedStream::Int{version});
    s.Push(QueuedStream::UInt{speedRaw}).Push(QueuedStream::Long{flag});
    s.Push(QueuedStream::String{kGuidText}).Push(QueuedStream::String{L"brush one"});
    s.Push(QueuedStream::Bool{false});
    s.Push(QueuedStream::String{effectPath}).Push(QueuedStream::Int64{stamp});
    if (version >= 2)
        s.Push(QueuedStream::UInt{scaleRaw});
    if (version >= 3) {
        for (int i = 0; i < 12; ++i)
            s.Push(QueuedStream::Float{static_cast<float>(10 * i + 1)});
        s.Push(QueuedStream::Long{7});
    }
    s.Push(QueuedStream::String{L"Vo_ABObj_Constructor"}).Push(QueuedStream::Int{1});
    s.Push(QueuedStream::String{L"object name"});
}

// The record of the direction-based middle class: strength raw and angle; the common brush
// record follows.
inline void PushDirectionRecord(QueuedStream& s, uint32_t strengthRaw, uint32_t angle)
{
    s.Push(QueuedStream::String{L"Vo_DirectionBased"}).Push(QueuedStream::Int{1});
    s.Push(QueuedStream::UInt{strengthRaw}).Push(QueuedStream::UInt{angle});
}

// The record of the centre-based middle class: the centre in picture pixels; the common brush
// record follows.
inline void PushCentralRecord(QueuedStream& s, float x, float y, float z)
{
    s.Push(QueuedStream::String{L"Vo_CentralBased"}).Push(QueuedStream::Int{1});
    s.Push(QueuedStream::Float{x}).Push(QueuedStream::Float{y}).Push(QueuedStream::Float{z});
}

// A brush of the given class that draws with an effect the test hands it instead of the one its
// link names in the resource store: GiveEffect sets it at once, and LoadResources sets it again
// after the brush's own resources, so that the clone a brush object loads keeps it too. The test
// keeps the effect alive; the brush holds references only through its own effect slot.
template <class Brush>
class WithGivenEffect : public Brush {
public:
    WithGivenEffect() = default;
    // Taken when the brush loads its resources.
    explicit WithGivenEffect(ID3DXEffect* effect) : m_given(effect) {}

    void GiveEffect(ID3DXEffect* effect)
    {
        m_given = effect;
        ApplyGiven();
    }
    void LoadResources(MaskSlot* slot) override
    {
        Brush::LoadResources(slot);
        if (m_given)
            ApplyGiven();
    }
    Vo_FX_Constructor* Clone() const override { return new WithGivenEffect(*this); }

private:
    void ApplyGiven()
    {
        ComRef<ID3DXEffect> held;
        held.Assign(m_given);
        this->SetEffect(held);
    }

    ID3DXEffect* m_given = nullptr;
};

inline ULONG RefCount(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}

// One draw a brush made through the layer, with the effect's state at that moment.
struct RecordedDraw {
    bool indexed;
    std::string technique;
    float transluency;
    float shift[2];
    IDirect3DTexture9* background;
    // "Texture1": the image the blending light brush reads.
    IDirect3DTexture9* image;
};

// A layer of the given picture size that records each effect draw with the effect's state at that
// moment and draws nothing (the tests that draw use the real layer). Services that brushes never
// use fail the test.
class RecordingLayer : public Vo_ABRender {
public:
    RecordingLayer(unsigned width, unsigned height) : m_width(width), m_height(height) {}

    void PushTargetSize(const _D3DSURFACE_DESC&, int) override { Unexpected("PushTargetSize"); }
    void PopTargetSize() override { Unexpected("PopTargetSize"); }

    HRESULT DrawIndexedWithEffect(Vo_IndexedMesh<DX_V::PCT>*, ID3DXEffect** effect) override
    {
        Record(true, effect);
        return S_OK;
    }
    HRESULT DrawStripWithEffect(Vo_SimpleMesh<DX_V::PCT>*, ID3DXEffect** effect) override
    {
        Record(false, effect);
        return S_OK;
    }
    HRESULT DrawListWithEffect(Vo_SimpleMesh<DX_V::PCT>*, ID3DXEffect**) override
    {
        return Unexpected("DrawListWithEffect");
    }
    HRESULT DrawColoredIndexed(Vo_IndexedMesh<DX_V::PCT>*, ID3DXEffect**, int, float) override
    {
        return Unexpected("DrawColoredIndexed");
    }
    HRESULT DrawColoredIndexedWithEffect(Vo_IndexedMesh<DX_V::PCT>*, ID3DXEffect**) override
    {
        return Unexpected("DrawColoredIndexedWithEffect");
    }
    HRESULT DrawMeshList(MeshInstance*) override { return Unexpected("DrawMeshList"); }
    HRESULT DrawSpriteMesh(SpriteMeshDrawable*) override { return Unexpected("DrawSpriteMesh"); }
    HRESULT DrawMeshListTextured(TexturedMesh*) override { return Unexpected("DrawMeshListTextured"); }
    HRESULT DrawWithTextureFactor(TextureFactorDrawable*, int) override
    {
        return Unexpected("DrawWithTextureFactor");
    }

    IDirect3DTexture9** GetOutputTexture() override { return &m_output; }
    PictureMesh* GetPictureMesh() override { return &picture; }
    unsigned GetPictureWidth() const override { return m_width; }
    unsigned GetPictureHeight() const override { return m_height; }

    IDirect3DTexture9* m_output = nullptr;
    PictureMesh picture;
    std::vector<RecordedDraw> draws;

private:
    HRESULT Unexpected(const char* service)
    {
        ADD_FAILURE() << "a brush called " << service;
        return E_NOTIMPL;
    }

    void Record(bool indexed, ID3DXEffect** effect)
    {
        RecordedDraw draw = {indexed, "", 0.0f, {0, 0}, nullptr, nullptr};
        if (effect && *effect) {
            D3DXTECHNIQUE_DESC desc = {};
            if (SUCCEEDED((*effect)->GetTechniqueDesc((*effect)->GetCurrentTechnique(), &desc)) && desc.Name)
                draw.technique = desc.Name;
            (*effect)->GetFloat("transluency", &draw.transluency);
            (*effect)->GetFloatArray("shift", draw.shift, 2);
            IDirect3DBaseTexture9* background = nullptr;
            if (SUCCEEDED((*effect)->GetTexture("Background", &background)) && background) {
                draw.background = static_cast<IDirect3DTexture9*>(background);
                background->Release();
            }
            IDirect3DBaseTexture9* image = nullptr;
            if (SUCCEEDED((*effect)->GetTexture("Texture1", &image)) && image) {
                draw.image = static_cast<IDirect3DTexture9*>(image);
                image->Release();
            }
        }
        draws.push_back(draw);
    }

    unsigned m_width, m_height;
};

}  // namespace brush_testing
