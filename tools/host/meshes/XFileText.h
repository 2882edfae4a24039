#pragma once
#include <string>
#include <vector>

// A triangle mesh as the .x format stores it: positions, one texture coordinate pair per
// position, and triangles of three position indices each. Normals are left to the loader.
struct XMesh {
    struct Vertex {
        float x, y, z;
        float u, v;
    };
    std::vector<Vertex> vertices;
    std::vector<unsigned> indices;  // three per triangle

    void Triangle(unsigned a, unsigned b, unsigned c)
    {
        indices.insert(indices.end(), {a, b, c});
    }
};

// Writes the mesh as a text .x file (header "xof 0303txt 0032", one Mesh object with its
// MeshTextureCoords); false when the file cannot be written.
bool WriteXFileText(const std::string& path, const std::string& meshName, const XMesh& mesh);
