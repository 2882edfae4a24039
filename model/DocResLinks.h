#pragma once
#include "model/DataBuffer.h"
#include "model/Vo_FileLink3.h"

// How the resource store tells links apart (used only by the store's own files).

// A link to a resource module file by name.
inline bool IsDllLink(const Vo_FileLink3& link) { return link.GetExtension() == L".dll"; }

// A link whose stamp is a resource id: a module file, or the program itself for an empty path.
// Only such a link may open a module; any other link gets its bytes from the document alone.
inline bool IsModuleLink(const Vo_FileLink3& link) { return IsDllLink(link) || link.GetKey().Path().empty(); }

// A blob that names the link's resource (id = the stamp's low 32 bits) and carries no bytes yet.
inline FileBlob ModuleBlob(const Vo_FileLink3& link)
{
    return FileBlob(static_cast<int32_t>(link.GetKey().Stamp()), link.GetKey().Path());
}
