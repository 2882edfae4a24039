#pragma once
#include <cstdint>

class Vo_SlideShow_Light;

// The failure code of a scene document that cannot be loaded, thrown as an unsigned 32-bit value.
const uint32_t kSceneDocumentFailure = 0x8200000B;

// Loads the program's own scene document ("QNT" resource 107) into a new root, owned by the
// caller, and makes the document's resource store current.
Vo_SlideShow_Light* LoadSceneDocument();

// The same for a document held in memory (begin to end, kept alive by the caller).
//
// A missing or damaged document (cut short, a negative count or one larger than what follows, a
// class name no registry holds, a root without slides, a slide without a layer) throws
// kSceneDocumentFailure after deleting everything read so far. CurrentDocResManager then stays
// as it was, and CurrentResourceLoader goes back to the loader that was current before.
Vo_SlideShow_Light* LoadSceneDocumentFrom(const uint8_t* begin, const uint8_t* end);
