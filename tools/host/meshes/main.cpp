// meshmaker NAME OUTPUT   writes the named mesh to OUTPUT as a text .x file
// meshmaker --list        lists the meshes it knows
#include "MeshCatalog.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc == 2 && std::string(argv[1]) == "--list") {
        for (const MeshEntry& e : MeshCatalog())
            std::printf("%-16s %-20s %s\n", e.name, e.file, e.what);
        return 0;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: meshmaker NAME OUTPUT | --list\n");
        return 2;
    }
    const MeshEntry* entry = FindMesh(argv[1]);
    if (!entry) {
        std::fprintf(stderr, "meshmaker: no mesh named '%s' (see --list)\n", argv[1]);
        return 2;
    }
    return entry->make(argv[2]) ? 0 : 1;
}
