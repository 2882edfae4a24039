#include "MeshCatalog.h"

#include "XFileText.h"

#include <cmath>

namespace {

const float kPi = 3.14159265f;

// A flat rectangle of one quad; corners in the order (u, v) = (0, 1), (0, 0), (1, 0), (1, 1).
void AddQuad(XMesh& mesh, const XMesh::Vertex corners[4])
{
    const unsigned first = unsigned(mesh.vertices.size());
    mesh.vertices.insert(mesh.vertices.end(), corners, corners + 4);
    mesh.Triangle(first, first + 1, first + 2);
    mesh.Triangle(first, first + 2, first + 3);
}

// The butterfly's body along +z, head at +z: a lathe of eight sides through a round head, a
// narrow neck, the thorax and a long tapering abdomen, 60 units from tail to head. The picture
// wraps once around it (u) and runs from head (v = 0) to tail (v = 1).
bool MakeButterflyBody(const std::string& path)
{
    struct Ring {
        float z, radius;
    };
    static const Ring rings[] = {{30, 0}, {28, 2.5f}, {25, 3.5f}, {22, 2.5f}, {20, 2},  {17, 4},
                                 {10, 4.5f}, {4, 4},  {1, 3},     {-8, 3.5f}, {-20, 2.5f}, {-27, 1.5f},
                                 {-30, 0}};
    const unsigned sides = 8;
    const unsigned ringCount = sizeof(rings) / sizeof(rings[0]);
    XMesh mesh;
    // Each ring has sides + 1 vertices: the seam is doubled so that u runs from 0 to 1.
    for (const Ring& ring : rings)
        for (unsigned s = 0; s <= sides; ++s) {
            const float a = 2 * kPi * float(s) / float(sides);
            mesh.vertices.push_back({ring.radius * std::cos(a), ring.radius * std::sin(a), ring.z,
                                     float(s) / float(sides), (30 - ring.z) / 60});
        }
    for (unsigned r = 0; r + 1 < ringCount; ++r)
        for (unsigned s = 0; s < sides; ++s) {
            const unsigned a = r * (sides + 1) + s, b = a + 1;
            const unsigned c = a + sides + 1, d = c + 1;
            // The tips are single points: one triangle each instead of a quad.
            if (rings[r].radius > 0)
                mesh.Triangle(a, c, b);
            if (rings[r + 1].radius > 0)
                mesh.Triangle(b, c, d);
        }
    return WriteXFileText(path, "ButterflyBody", mesh);
}

// One wing in the x-z plane, hinged along x = 0 and reaching 40 units out, 50 units from its
// back edge (z = -25) to its front edge (z = 25). The picture lies on it with its left edge at
// the hinge and its top edge at the front, so the wing's outline is the picture's alpha.
bool MakeButterflyWing(const std::string& path)
{
    XMesh mesh;
    const XMesh::Vertex corners[4] = {
        {0, 0, -25, 0, 1}, {0, 0, 25, 0, 0}, {40, 0, 25, 1, 0}, {40, 0, -25, 1, 1}};
    AddQuad(mesh, corners);
    return WriteXFileText(path, "ButterflyWing", mesh);
}

// A flat square of +-50 units in the x-z plane, the picture's top edge at z = +50.
bool MakeClockSquare(const std::string& path)
{
    XMesh mesh;
    const XMesh::Vertex corners[4] = {
        {-50, 0, -50, 0, 1}, {-50, 0, 50, 0, 0}, {50, 0, 50, 1, 0}, {50, 0, -50, 1, 1}};
    AddQuad(mesh, corners);
    return WriteXFileText(path, "ClockSquare", mesh);
}

// A leaf of 40 x 60 units in the x-y plane, folded along its midrib (x = 0) so that it shows
// its shape from every side while it tumbles; the picture's top edge at y = +30.
bool MakeLeaf(const std::string& path)
{
    XMesh mesh;
    const unsigned columns = 4, rows = 3;
    for (unsigned j = 0; j <= rows; ++j)
        for (unsigned i = 0; i <= columns; ++i) {
            const float u = float(i) / float(columns), v = float(j) / float(rows);
            const float x = -20 + 40 * u, y = 30 - 60 * v;
            mesh.vertices.push_back({x, y, std::fabs(x) * 0.35f, u, v});
        }
    for (unsigned j = 0; j < rows; ++j)
        for (unsigned i = 0; i < columns; ++i) {
            const unsigned a = j * (columns + 1) + i, b = a + 1, c = a + columns + 1, d = c + 1;
            mesh.Triangle(a, b, d);
            mesh.Triangle(a, d, c);
        }
    return WriteXFileText(path, "Leaf", mesh);
}

}  // namespace

const std::vector<MeshEntry>& MeshCatalog()
{
    static const std::vector<MeshEntry> catalog = {
        {"butterfly-body", "butterfly-body.x", "a butterfly's body along +z, head at +z, 60 units long", MakeButterflyBody},
        {"butterfly-wing", "butterfly-wing.x", "one wing in the x-z plane hinged at x = 0, 40 x 50 units", MakeButterflyWing},
        {"clock-square", "clock-square.x", "a flat square of +-50 units in the x-z plane", MakeClockSquare},
        {"leaf", "leaf.x", "a leaf of 40 x 60 units folded along its midrib", MakeLeaf},
    };
    return catalog;
}

const MeshEntry* FindMesh(const std::string& name)
{
    for (const MeshEntry& e : MeshCatalog())
        if (name == e.name)
            return &e;
    return nullptr;
}
