// picturemaker NAME OUTPUT   writes the named picture to OUTPUT
// picturemaker --list        lists the pictures it knows
#include "PictureCatalog.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc == 2 && std::string(argv[1]) == "--list") {
        for (const PictureEntry& e : PictureCatalog())
            std::printf("%-14s %-16s %s\n", e.name, e.file, e.what);
        return 0;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: picturemaker NAME OUTPUT | --list\n");
        return 2;
    }
    const PictureEntry* entry = FindPicture(argv[1]);
    if (!entry) {
        std::fprintf(stderr, "picturemaker: no picture named '%s' (see --list)\n", argv[1]);
        return 2;
    }
    return entry->make(argv[2]) ? 0 : 1;
}
