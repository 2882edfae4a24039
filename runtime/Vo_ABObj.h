#pragma once
#include <cstdint>
#include <memory>

class Vo_ABObj_Constructor;
class Vo_ABRender;

// The runtime object of a scene object: what the slide updates every frame and the layer lets
// draw. It owns the clone of its description that it was made from.
class Vo_ABObj {
public:
    Vo_ABObj(const Vo_ABObj&) = delete;
    Vo_ABObj& operator=(const Vo_ABObj&) = delete;
    virtual ~Vo_ABObj();

    // Draws into the layer through its drawing services.
    virtual void Render(Vo_ABRender* render) = 0;
    virtual void Notify(int, int) = 0;
    virtual void Relayout() = 0;
    virtual void SetEnabled(int enabled) { m_enabled = enabled; }
    // True asks the layer for the image drawn so far before this object draws.
    virtual bool NeedsBackground() const { return false; }
    virtual int GetKind() const;
    virtual bool HitTest(float, float) const { return false; }
    virtual void* QueryOwner();
    virtual void Restart();
    virtual void Update(float localTime) = 0;

    // Turns the absolute time into the object's local time through its timeline, then updates.
    // The slide calls it every frame, enabled or not.
    void UpdateByTimeline(float absoluteTime);

    int IsEnabled() const { return m_enabled; }
    Vo_ABObj_Constructor* Owner() const { return m_owner.get(); }

protected:
    // Takes ownership of the description clone.
    explicit Vo_ABObj(Vo_ABObj_Constructor* owner);

private:
    int32_t m_reserved = 0;
    std::unique_ptr<Vo_ABObj_Constructor> m_owner;
    int32_t m_enabled = 1;
};
