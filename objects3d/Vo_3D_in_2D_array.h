#pragma once
#include "runtime/TexturedMesh.h"
#include "runtime/Vo_ABObj.h"

class Vo_3D_in_2D_array_Constructor;

// The runtime object of a mesh array: one textured mesh whose frame is the root of the copies,
// each copy a child frame moved by its own falling-leaf animator. The copies are made once.
class Vo_3D_in_2D_array : public Vo_ABObj {
public:
    // Takes ownership of the description copy; loads the embedded picture and mesh and makes
    // the copies.
    explicit Vo_3D_in_2D_array(Vo_3D_in_2D_array_Constructor* owner);
    ~Vo_3D_in_2D_array() override;

    void Render(Vo_ABRender* render) override;
    void Notify(int, int) override {}
    void Relayout() override {}
    // Sets the leaf clock to the local time, then moves every copy under the root.
    void Update(float localTime) override;

    const TexturedMesh& Mesh() const { return m_mesh; }
    Vo_3D_in_2D_array_Constructor& Description() const { return *m_description; }

private:
    void LoadMeshAndTexture();
    void SetCount();
    Vo_Frame* AddChildFrame();

    // Filled in place: the root frame's children are the copies, which a copy of the mesh
    // would not carry.
    TexturedMesh m_mesh;
    Vo_3D_in_2D_array_Constructor* m_description;
};
