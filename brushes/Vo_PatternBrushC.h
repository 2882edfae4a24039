#pragma once
#include "brushes/Vo_PatternBrush.h"

// The pattern brush under a class name of its own. Its record wraps a whole pattern brush record,
// and its runtime clone is a plain pattern brush.
class Vo_PatternBrushC : public Vo_PatternBrush {
public:
    // After this class's name and version (read by the registry): the nested record's class name
    // and version, then the pattern brush's fields.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);
};
