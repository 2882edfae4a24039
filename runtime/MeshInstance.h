#pragma once
#include <vector>

#include "runtime/TexturedMesh.h"

class Vo_Frame;

// One mesh of a 3D object and the frames at whose world matrices the layer draws it. The frames
// belong to the object's frame trees; the instance only points at them. A copy shares the
// buffers and texture (references taken) and the same frame pointers.
class MeshInstance {
public:
    TexturedMesh& Mesh() { return m_mesh; }
    const TexturedMesh& Mesh() const { return m_mesh; }
    std::vector<Vo_Frame*>& Frames() { return m_frames; }
    const std::vector<Vo_Frame*>& Frames() const { return m_frames; }

private:
    TexturedMesh m_mesh;
    std::vector<Vo_Frame*> m_frames;
};
