#pragma once
#include <string>
#include <vector>

// Every mesh the project generates, by name. A mesh is a function of its code alone.
struct MeshEntry {
    const char* name;
    const char* file;  // suggested file name
    const char* what;
    bool (*make)(const std::string& path);
};

const std::vector<MeshEntry>& MeshCatalog();
const MeshEntry* FindMesh(const std::string& name);
