#pragma once
#include <windows.h>

#include "model/DataBuffer.h"
#include "model/vo_string.h"

// A picture that a document keeps under an object's GUID (a brush mask, a bump picture).
struct GuidPictureEntry {
    GUID guid = {};
    vo_string name;
    bool flag = true;  // stored by documents; nothing reads it
    DataBuffer picture;
};
