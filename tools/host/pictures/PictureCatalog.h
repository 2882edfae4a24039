#pragma once
#include <string>
#include <vector>

// Every picture the project generates, by name. A picture is a function of its code and its seed,
// so the bytes never change unless the code does.
struct PictureEntry {
    const char* name;
    const char* file;  // suggested file name, whose extension is the format written
    const char* what;
    bool (*make)(const std::string& path);
};

const std::vector<PictureEntry>& PictureCatalog();
const PictureEntry* FindPicture(const std::string& name);
