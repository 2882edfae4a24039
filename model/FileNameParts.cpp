#include "model/FileNameParts.h"

vo_string GetFileNamePart(const vo_string& path)
{
    const size_t slash = path.rfind(L'\\');
    if (slash == vo_string::npos)
        return vo_string();
    return path.substr(slash + 1);
}

static bool OnlyDotsAndSpaces(const vo_string& name)
{
    // Win32 path normalisation trims trailing dots and spaces from the last component, so ". ."
    // or "..." must be refused with "." and "..".
    return name.find_first_not_of(L". ") == vo_string::npos;
}

vo_string GetSafeTempFileName(const vo_string& path)
{
    const vo_string name = GetFileNamePart(path);
    if (OnlyDotsAndSpaces(name))
        return vo_string();
    if (name.find_first_of(L"/:") != vo_string::npos)
        return vo_string();
    return name;
}
