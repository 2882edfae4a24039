#pragma once
#include <cstdint>
#include <list>
#include <vector>

#include "model/MediaParamT.h"
#include "model/Vo_ImageFileLink.h"
#include "model/Vo_MeshFile.h"
#include "runtime/Vo_ViewObjCtrl.h"

class MeshInstance;
class Vo_Frame;

// The description of a 3D object: N copies of a small tree of textured .x meshes placed in the
// picture, each copy moved by its own animators. It keeps what every such object shares (copy
// count, size, one picture and one mesh); the derived class decides how many mesh instances it
// draws with which picture and mesh, how one copy's frame tree is built and how the frames of
// all copies are handed to the instances.
class Vo_3D_Obj_Ctrl : public Vo_ViewObjCtrl {
public:
    Vo_3D_Obj_Ctrl();
    Vo_3D_Obj_Ctrl(const Vo_3D_Obj_Ctrl& other);
    ~Vo_3D_Obj_Ctrl() override;

    // Sizes the vector to the object's instance count and binds each instance's texture and mesh.
    virtual void BuildInstances(std::vector<MeshInstance>& instances) = 0;
    // Rebuilds every instance's frame list from the current roots.
    virtual void LinkInstances(const std::list<Vo_Frame*>& roots, std::vector<MeshInstance>& instances) {}
    // One new copy: a root frame with its animator and child frames, owned by the caller.
    virtual Vo_Frame* BuildFrameTree() = 0;
    virtual Vo_3D_Obj_Ctrl* Clone() const = 0;

    Vo_ABObj* CreateObject() override;

    // The base record of every 3D object: class name, version, count, size, picture link, mesh
    // link, then the placed-object record.
    void LoadRecord(Vo_IOF_Virtual& stream);

    MediaParamT<unsigned int>& Count() { return m_count; }
    const MediaParamT<unsigned int>& Count() const { return m_count; }
    MediaParamT<unsigned int>& Size() { return m_size; }
    const MediaParamT<unsigned int>& Size() const { return m_size; }
    Vo_ImageFileLink& PictureLink() { return m_picture; }
    const Vo_ImageFileLink& PictureLink() const { return m_picture; }
    Vo_MeshFile& MeshLink() { return m_mesh; }
    const Vo_MeshFile& MeshLink() const { return m_mesh; }

private:
    MediaParamT<unsigned int> m_count;
    MediaParamT<unsigned int> m_size;
    Vo_ImageFileLink m_picture;
    Vo_MeshFile m_mesh;
};

// The resource module that 3D objects take their default meshes and pictures from.
extern const wchar_t kObjectResourceModule[];
