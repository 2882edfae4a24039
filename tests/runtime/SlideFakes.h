#pragma once
// Layer and scene-object classes for slide and loading tests. They register under their own
// class names, so assembled documents can name them, and count their live instances, so a test
// sees what a failed load left behind. Every call the slide show makes on them is logged.
#include <string>
#include <vector>

#include "model/ClassReaderRegistration.h"
#include "model/Vo_IOF_Virtual.h"
#include "runtime/Vo_2D_Light.h"
#include "runtime/Vo_ABObj.h"
#include "runtime/Vo_ABObj_Constructor.h"

namespace slide_fakes {

inline std::vector<std::string> log;
inline int liveLights = 0;
inline int liveRecords = 0;
inline int liveObjects = 0;
inline bool postEffect = false;

inline void Log(const std::string& entry) { log.push_back(entry); }

}  // namespace slide_fakes

// A base layer that logs what the slide asks of it and draws nothing itself.
class Vo_CountedLight : public Vo_2D_Light {
public:
    Vo_CountedLight() { ++slide_fakes::liveLights; }
    ~Vo_CountedLight() override { --slide_fakes::liveLights; }

    void LoadContent() override { Log("content"); }
    void Layout(int width, int height) override
    {
        Log("layout " + std::to_string(width) + "x" + std::to_string(height));
    }
    void RestoreDeviceObjects() override { Log("restore"); }
    void InvalidateDeviceObjects() override { Log("invalidate"); }
    void Update(float time) override { Log("update " + std::to_string(static_cast<int>(time))); }
    void BeginRender(int nested) override { Log("begin " + std::to_string(nested)); }
    void EndRender(int nested) override { Log("end " + std::to_string(nested)); }
    void BeginEffects() override { Log("effects"); }
    void ApplyEffects(const ObjectList& objects, int n) override
    {
        Log("apply " + std::to_string(n));
        Vo_2D_Light::ApplyEffects(objects, n);
    }
    IDirect3DTexture9* SwapTarget() override
    {
        Log("swap");
        return nullptr;
    }
    RenderTargetPair& EndEffects(bool) override
    {
        Log("end effects");
        return Targets();
    }
    bool HasOwnPostEffect() const override { return slide_fakes::postEffect; }
    HRESULT DrawOverlayQuad(Vo_SimpleMesh<DX_V::PCT>* mesh) override
    {
        Log(mesh ? "overlay" : "no overlay");
        return S_OK;
    }

    std::string Name() const
    {
        const vo_string path = PictureLink().GetPath();
        return std::string(path.begin(), path.end());
    }

private:
    void Log(const std::string& what) { slide_fakes::Log(Name() + ": " + what); }
};

class CountedObject;

// A scene-object record with a tag and a flag asking for the background.
class Vo_CountedObjectCtrl : public Vo_ABObj_Constructor {
public:
    Vo_CountedObjectCtrl() { ++slide_fakes::liveRecords; }
    Vo_CountedObjectCtrl(const Vo_CountedObjectCtrl& other)
        : Vo_ABObj_Constructor(other), m_tag(other.m_tag), m_needsBackground(other.m_needsBackground)
    {
        ++slide_fakes::liveRecords;
    }
    ~Vo_CountedObjectCtrl() override { --slide_fakes::liveRecords; }

    void LoadFields(Vo_IOF_Virtual& stream, int32_t)
    {
        stream.ReadUInt(m_tag);
        stream.ReadBool(m_needsBackground);
    }
    Vo_ABObj* CreateObject() override;

    uint32_t m_tag = 0;
    bool m_needsBackground = false;
};

class CountedObject : public Vo_ABObj {
public:
    explicit CountedObject(Vo_CountedObjectCtrl* owner) : Vo_ABObj(owner), m_record(owner)
    {
        ++slide_fakes::liveObjects;
    }
    ~CountedObject() override { --slide_fakes::liveObjects; }

    void Render(Vo_ABRender*) override { Log("draw"); }
    void Notify(int, int) override {}
    void Relayout() override {}
    void Update(float) override { Log("update"); }
    void Restart() override
    {
        Log("restart");
        Vo_ABObj::Restart();
    }
    void SetEnabled(int enabled) override
    {
        Log(enabled ? "enable" : "disable");
        Vo_ABObj::SetEnabled(enabled);
    }
    bool NeedsBackground() const override { return m_record->m_needsBackground; }

    uint32_t Tag() const { return m_record->m_tag; }

private:
    void Log(const std::string& what) { slide_fakes::Log("object " + std::to_string(Tag()) + ": " + what); }
    Vo_CountedObjectCtrl* m_record;
};

inline Vo_ABObj* Vo_CountedObjectCtrl::CreateObject()
{
    return new CountedObject(new Vo_CountedObjectCtrl(*this));
}

VO_REGISTER_LIGHT_READER(Vo_CountedLight);
VO_REGISTER_CONSTRUCTOR_READER(Vo_CountedObjectCtrl);
