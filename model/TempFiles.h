#pragma once
#include <cstdint>

#include "model/vo_string.h"

// Files that the scene writes to the user's temporary folder: music tracks and sound items that a
// document embeds, so that DirectShow can play them from a path.

// The temporary folder, ending in a backslash; empty when the system gives none.
vo_string GetTempFolder();

// The stored file name, taken after the last backslash or slash (documents made on other systems
// store either), or empty when that name could name anything but a plain file in the temporary
// folder. A path without a separator is a bare file name.
vo_string GetTempFileNameOf(const vo_string& storedPath);

// Writes the bytes to a new file of that path, replacing an older one; a failed write leaves no
// file behind, so nothing ever plays a cut copy.
bool WriteWholeFile(const vo_string& path, const uint8_t* bytes, uint32_t size);

// A copy of a file that a scene object owns alone, in the temporary folder under the stored file
// name with a mark of this process and a running number before its extension ("rain.mp3" becomes
// "rain~1f4-3.mp3"), so that no other object or saver process shares, overwrites or deletes it.
// The copy holds the bytes, or without bytes the file at the stored path. Returns its path, or
// empty when the stored name names no plain file or the copy cannot be made.
vo_string MakeOwnTempCopy(const vo_string& storedPath, const uint8_t* bytes, uint32_t size);
