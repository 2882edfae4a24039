#pragma once
#include <cstdint>
#include <memory>

#include "model/Vo_IOF_Item.h"
#include "model/vo_string.h"

class Vo_ABObj;
class Vo_IOF_Virtual;
class Vo_ImageFileLink;
class Vo_TimeLineControl;

// What an editor shows for a description in its object list. Emitters and sound items fill in
// their own picture; the player never asks.
struct ObjectPreviewInfo {
    const Vo_ImageFileLink* picture = nullptr;
    int frame = 0;
    int flag = 0;
    float scale = 1.0f;
};

// The stored description of a scene object: a name, a timeline and the derived class's
// parameters. A slide's activation asks it for its runtime object, which owns a clone of it.
class Vo_ABObj_Constructor : public Vo_IOF_Item {
public:
    Vo_ABObj_Constructor();
    // A deep copy: the clone gets a timeline of its own, copied from this one's.
    Vo_ABObj_Constructor(const Vo_ABObj_Constructor& other);
    Vo_ABObj_Constructor& operator=(const Vo_ABObj_Constructor&) = delete;
    ~Vo_ABObj_Constructor() override;

    virtual int GetKind() const { return kKind; }
    virtual void GetPreviewInfo(ObjectPreviewInfo& info) const;
    virtual void Notify(int) {}
    // Makes the runtime object, owning a clone of this description.
    virtual Vo_ABObj* CreateObject() = 0;
    virtual void ResetIdentity() {}
    // Starts the timeline's cycle afresh; runs whenever the object's slide is shown.
    virtual void Restart();
    virtual void ReservedHookA(int) {}
    virtual void ReservedHookB(int) {}
    virtual int ReservedQuery(int) { return 0; }
    virtual void* QueryForObject(Vo_ABObj*) { return nullptr; }

    // Reads this level's whole record (class name, version, fields); derived readers call it
    // as their last step.
    void Load(Vo_IOF_Virtual& stream);
    // The fields after the name and version. A version-1 record has no timeline and keeps the
    // default one.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);
    // Copy-assignment of this level: the value, the name and a copy of the timeline, which
    // replaces this one's.
    void AssignDescription(const Vo_ABObj_Constructor& other);

    const vo_string& Name() const { return m_name; }
    void SetName(const vo_string& name) { m_name = name; }
    Vo_TimeLineControl& Timeline() { return *m_timeline; }
    const Vo_TimeLineControl& Timeline() const { return *m_timeline; }
    int32_t ReservedValue() const { return m_reserved; }

    static const int kKind = 3;

private:
    int32_t m_reserved = 1;
    vo_string m_name;
    std::unique_ptr<Vo_TimeLineControl> m_timeline;
};
