#pragma once
#include "model/vo_string.h"

// The text after the last backslash of a path; empty when the path has no backslash.
vo_string GetFileNamePart(const vo_string& path);

// The file name under which a file held in a document may be written to the temporary folder:
// GetFileNamePart of the stored path, or empty when that part could name anything but a file in
// that folder. Stored paths come from the document, so a part that is empty, made only of dots
// and spaces (".", ".." and what Windows trims to them), or holds "/" (another separator) or ":"
// (a drive or an alternate data stream) is refused. Callers skip the write on an empty result.
vo_string GetSafeTempFileName(const vo_string& path);
