#pragma once
#include <vector>

#include "model/MediaRectangle.h"
#include "model/ParamBindingList.h"
#include "model/Vo_ImageFileLink.h"
#include "objects3d/Vo_3D_Obj_Ctrl.h"

// An analogue clock showing the computer's local time: a face and two hands drawn from one flat
// mesh with two pictures. Each copy is a root frame carrying the face, placed at the clock's
// centre and size, with the hour and minute hands as its children.
class Vo_ClockConstructor : public Vo_3D_Obj_Ctrl {
public:
    Vo_ClockConstructor();
    // Takes the rectangle's six values, the hands picture and the size; the instances it
    // remembers belong to the runtime object of the original, so the copy starts without.
    Vo_ClockConstructor(const Vo_ClockConstructor& other);
    ~Vo_ClockConstructor() override;

    // Instance 0 the face (the object's picture), instance 1 the hands (the hands picture), both
    // on the object's mesh and blended.
    void BuildInstances(std::vector<MeshInstance>& instances) override;
    // Every root to the face's list; every root's hands to the front of the hands' list.
    void LinkInstances(const std::list<Vo_Frame*>& roots, std::vector<MeshInstance>& instances) override;
    Vo_Frame* BuildFrameTree() override;
    Vo_3D_Obj_Ctrl* Clone() const override { return new Vo_ClockConstructor(*this); }

    // The clock's square, not the placed-object rectangle.
    void GetScreenQuad(ScreenQuad* quad) const override;
    bool HitTest(float x, float y) const override;

    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    MediaRectangle& Rectangle() { return m_rectangle; }
    const MediaRectangle& Rectangle() const { return m_rectangle; }
    Vo_ImageFileLink& HandsPicture() { return m_handsPicture; }
    const Vo_ImageFileLink& HandsPicture() const { return m_handsPicture; }

private:
    void BindPictureChange();
    // A new face picture binds the face instance again.
    void OnPictureChanged();

    MediaRectangle m_rectangle;
    Vo_ImageFileLink m_handsPicture;
    std::vector<MeshInstance>* m_instances = nullptr;
    ParamBindingList m_bindings;
};
