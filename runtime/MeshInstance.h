#pragma once
#include <vector>

#include "runtime/TexturedMesh.h"

class Vo_FileLink3;
class Vo_Frame;

// One mesh of a 3D object and the frames at whose world matrices the layer draws it. The frames
// belong to the object's frame trees; the instance only points at them. A copy shares the
// buffers and texture (references taken) and the same frame pointers.
class MeshInstance {
public:
    // The texture := the current frame of the picture's frame set (none for a set without
    // frames), then LoadMesh. Both come from CurrentDocResManager.
    void Bind(const Vo_FileLink3& picture, const Vo_FileLink3& mesh);
    // Buffers, counts and bounding sphere of the linked mesh as the resource store delivers it
    // (32-byte NormalTexVertex vertices, 16-bit indices), drawn as a triangle list. A mesh the
    // store cannot make leaves the instance without buffers, and so not drawn.
    void LoadMesh(const Vo_FileLink3& mesh);

    // True when the layer has something to draw: both buffers and at least one triangle.
    bool HasMesh() const;

    TexturedMesh& Mesh() { return m_mesh; }
    const TexturedMesh& Mesh() const { return m_mesh; }
    std::vector<Vo_Frame*>& Frames() { return m_frames; }
    const std::vector<Vo_Frame*>& Frames() const { return m_frames; }

private:
    TexturedMesh m_mesh;
    std::vector<Vo_Frame*> m_frames;
};

// Puts a mesh as the resource store or loader delivers it into a textured mesh: its buffers
// (references taken, the old ones released), vertex and triangle counts, a triangle list, and its
// bounding sphere into the frame part's bounds. An empty record empties the mesh.
struct MeshRecord;
void AttachMeshRecord(TexturedMesh& mesh, const MeshRecord& record);
