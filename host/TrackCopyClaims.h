#pragma once
// The temporary copies of music tracks that this process plays. Several scene hosts (one per
// display) and several saver processes of one scene (a preview beside the full-screen saver)
// share one copy, so a copy may go only when its last user is done with it. Each process holds
// a claim on its copies: an open handle that lets others read the file but neither write nor
// delete it. Within the process the claims are counted per path.
#include <string>

namespace TrackCopyClaims {

// One more user of the copy at the path; the first opens the process's handle.
void Claim(const std::wstring& path);

// One user fewer; after the last the handle is closed and the copy deleted, unless another
// process still holds a claim on it (the delete is then refused and that process deletes it).
void Release(const std::wstring& path);

// The number of this process's users of the copy at the path.
int Users(const std::wstring& path);

}  // namespace TrackCopyClaims
