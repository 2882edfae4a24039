#pragma once
#include <vector>

#include "model/UINTSclaleTo.h"
#include "model/Vo_ImageFileLink.h"
#include "model/Vo_MeshFile.h"
#include "objects3d/Vo_3D_Obj_Ctrl.h"

// Butterflies fluttering inside the object's rectangle of the picture. Each is a body frame
// flown by an AC_Butterfly with two wing frames that it beats. The body has a picture and mesh
// of its own (from the resource module unless the document says otherwise); the wings take the
// object's picture on the object's mesh.
class Vo_ButterflyConstructor : public Vo_3D_Obj_Ctrl {
public:
    Vo_ButterflyConstructor();
    Vo_ButterflyConstructor(const Vo_ButterflyConstructor& other);
    ~Vo_ButterflyConstructor() override;

    // Instance 0 the bodies, instance 1 the wings (blended).
    void BuildInstances(std::vector<MeshInstance>& instances) override;
    // Every root to the bodies' list; every root's wings to the front of the wings' list.
    void LinkInstances(const std::list<Vo_Frame*>& roots, std::vector<MeshInstance>& instances) override;
    Vo_Frame* BuildFrameTree() override;
    Vo_3D_Obj_Ctrl* Clone() const override { return new Vo_ButterflyConstructor(*this); }

    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    Vo_ImageFileLink& BodyPicture() { return m_bodyPicture; }
    const Vo_ImageFileLink& BodyPicture() const { return m_bodyPicture; }
    Vo_MeshFile& BodyMesh() { return m_bodyMesh; }
    const Vo_MeshFile& BodyMesh() const { return m_bodyMesh; }
    // Stored and kept; the flight does not read them.
    UINTSclaleTo<float>& Reserved1() { return m_reserved1; }
    UINTSclaleTo<float>& Reserved2() { return m_reserved2; }
    float WingScale() const { return m_wingScale; }
    void SetWingScale(float scale) { m_wingScale = scale; }

private:
    Vo_ImageFileLink m_bodyPicture;
    Vo_MeshFile m_bodyMesh;
    UINTSclaleTo<float> m_reserved1;
    UINTSclaleTo<float> m_reserved2;
    float m_wingScale = 1.0f;
};
