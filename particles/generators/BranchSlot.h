#pragma once

// While a bolt grows: one branch of a chain, placed at a node chosen at random (-1 until then).
// The slots of the branches that will leave it in turn lie in the same table, `childCount` of
// them from `firstChild` on, so that growing a bolt reuses one table instead of a tree of lists.
struct BranchSlot {
    int node = -1;
    unsigned firstChild = 0;
    unsigned childCount = 0;
};
