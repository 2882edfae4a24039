#pragma once
#include "runtime/PicturePlacement.h"

// Keeps the process's picture placement and puts it back when it goes, so that a test that lays
// a picture out (itself or through a layer) leaves the placement as it found it: the placement is
// one record for the whole process, and a test program runs all its tests in one process.
class KeptPicturePlacement {
public:
    KeptPicturePlacement() : m_kept(GetPicturePlacement()) {}
    ~KeptPicturePlacement() { RestorePicturePlacement(m_kept); }
    KeptPicturePlacement(const KeptPicturePlacement&) = delete;
    KeptPicturePlacement& operator=(const KeptPicturePlacement&) = delete;

private:
    PicturePlacement m_kept;
};
