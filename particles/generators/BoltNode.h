#pragma once
#include <d3dx9math.h>

#include <vector>

// One node of a lightning bolt's chain: where it is, how wide the bolt is there (a factor of the
// layer widths), how far along the bolt's growth it lights up (1 at the start of the main chain,
// 0 at the tips) and the branch that leaves it, usually none.
struct BoltNode {
    D3DXVECTOR3 position = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    float width = 1.0f;
    float fade = 0.0f;
    std::vector<BoltNode> branch;
};
