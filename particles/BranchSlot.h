#pragma once
#include <vector>

// While a bolt grows: one branch of a chain, placed at a node chosen at random (-1 until then),
// with the slots of the branches that will leave it in turn.
struct BranchSlot {
    int node = -1;
    std::vector<BranchSlot> children;
};
