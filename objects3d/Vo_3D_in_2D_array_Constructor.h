#pragma once
#include "model/DataBuffer.h"
#include "model/MediaParamT.h"
#include "objects3d/StreamParams.h"
#include "runtime/Vo_ABObj_Constructor.h"

// N copies of one small textured mesh drifting across the picture while they tumble, like
// falling leaves. The mesh and its picture are embedded in the record.
class Vo_3D_in_2D_array_Constructor : public Vo_ABObj_Constructor {
public:
    Vo_3D_in_2D_array_Constructor() = default;
    Vo_3D_in_2D_array_Constructor(const Vo_3D_in_2D_array_Constructor& other);

    Vo_ABObj* CreateObject() override;

    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    const FileBlob& MeshFile() const { return m_meshFile; }
    FileBlob& MeshFile() { return m_meshFile; }
    const FileBlob& PictureFile() const { return m_pictureFile; }
    FileBlob& PictureFile() { return m_pictureFile; }
    MediaParamT<unsigned int>& Count() { return m_count; }
    const MediaParamT<unsigned int>& Count() const { return m_count; }
    StreamParams& Motion() { return m_motion; }
    const StreamParams& Motion() const { return m_motion; }

private:
    FileBlob m_meshFile;
    FileBlob m_pictureFile;
    MediaParamT<unsigned int> m_count{0};
    StreamParams m_motion;
};
