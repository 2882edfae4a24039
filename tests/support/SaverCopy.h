#pragma once
// A copy of the built saver that plays another scene document: its "QNT" 107 is replaced
// through the Windows resource-update functions, so no program is linked per document.
#include <cstdint>
#include <string>
#include <vector>

// Copies GlimmerSaver.scr and common_res.dll from the build folder into folder (made when
// missing; the copy's module search finds the resource module beside it), names the copy
// programName and puts document in place of the scene it carries. Returns the copy's path, or an
// empty string with the reason in error.
std::wstring MakeSaverCopyPlaying(const std::vector<uint8_t>& document, const std::wstring& folder,
                                  const std::wstring& programName, std::string* error);
