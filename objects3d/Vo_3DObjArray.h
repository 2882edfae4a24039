#pragma once
#include <list>
#include <vector>

#include "model/ParamBindingList.h"
#include "runtime/MeshInstance.h"
#include "runtime/Vo_ABObj.h"

class Vo_3D_Obj_Ctrl;
class Vo_Frame;

// The runtime object of a 3D object: one frame tree per copy, oldest first, and the mesh
// instances that draw them. The instances are bound once; the count only adds or removes trees.
class Vo_3DObjArray : public Vo_ABObj {
public:
    // Takes ownership of the description clone.
    explicit Vo_3DObjArray(Vo_3D_Obj_Ctrl* owner);
    ~Vo_3DObjArray() override;

    void Render(Vo_ABRender* render) override;
    void Notify(int, int) override {}
    void Relayout() override;
    bool HitTest(float x, float y) const override;
    // Advances the description's speed clock, then every tree from its root.
    void Update(float localTime) override;

    // Appends new trees at the end or removes the oldest from the front until there are
    // `count` (at most kMaxObjectCopies), then hands the frames to the instances again.
    void SetCount(unsigned int count);

    const std::list<Vo_Frame*>& Roots() const { return m_roots; }
    const std::vector<MeshInstance>& Instances() const { return m_instances; }
    Vo_3D_Obj_Ctrl& Description() const { return *m_description; }

private:
    Vo_3D_Obj_Ctrl* m_description;  // the clone, owned through the base
    std::list<Vo_Frame*> m_roots;
    std::vector<MeshInstance> m_instances;
    // Last, so the count control leaves the parameter before anything else goes.
    ParamBindingList m_bindings;
};
