#pragma once
#include <cstdint>

#include "model/ComRef.h"

struct IDirect3DDevice9;
struct IDirect3DQuery9;

// Counts the pixels the device writes between Begin and End, as the device itself counts them:
// an occlusion query (D3DQUERYTYPE_OCCLUSION) counts every pixel that passes the depth and
// stencil tests, on any render target, once per draw that covers it.
class FillCounter {
public:
    // False when the device offers no occlusion query.
    bool Create(IDirect3DDevice9* device);
    void Begin();
    // Waits for the count of the draws since Begin; 0 when the device gave none.
    uint64_t End();

private:
    ComRef<IDirect3DQuery9> m_query;
};
