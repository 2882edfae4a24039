#include "XFileText.h"

#include <cstdio>

namespace {

// Fixed notation with four decimals: the same bytes on every machine, and no exponent, which
// some .x readers refuse.
void WriteNumber(std::FILE* file, float value)
{
    if (value > -0.00005f && value < 0.00005f)
        value = 0.0f;  // no "-0.0000"
    std::fprintf(file, "%.4f;", value);
}

}  // namespace

bool WriteXFileText(const std::string& path, const std::string& meshName, const XMesh& mesh)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    std::fprintf(file, "xof 0303txt 0032\n\nMesh %s {\n %zu;\n", meshName.c_str(), mesh.vertices.size());
    for (size_t i = 0; i < mesh.vertices.size(); ++i) {
        const XMesh::Vertex& v = mesh.vertices[i];
        std::fputc(' ', file);
        WriteNumber(file, v.x);
        WriteNumber(file, v.y);
        WriteNumber(file, v.z);
        std::fputs(i + 1 < mesh.vertices.size() ? ",\n" : ";\n", file);
    }
    const size_t triangles = mesh.indices.size() / 3;
    std::fprintf(file, " %zu;\n", triangles);
    for (size_t t = 0; t < triangles; ++t)
        std::fprintf(file, " 3;%u,%u,%u;%s\n", mesh.indices[3 * t], mesh.indices[3 * t + 1],
                     mesh.indices[3 * t + 2], t + 1 < triangles ? "," : ";");
    std::fprintf(file, "\n MeshTextureCoords {\n  %zu;\n", mesh.vertices.size());
    for (size_t i = 0; i < mesh.vertices.size(); ++i) {
        std::fputs("  ", file);
        WriteNumber(file, mesh.vertices[i].u);
        WriteNumber(file, mesh.vertices[i].v);
        std::fputs(i + 1 < mesh.vertices.size() ? ",\n" : ";\n", file);
    }
    std::fputs(" }\n}\n", file);
    return std::fclose(file) == 0;
}
