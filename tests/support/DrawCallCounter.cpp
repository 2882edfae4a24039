#include "support/DrawCallCounter.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <d3d9.h>

#include "support/MethodPatch.h"
#include "support/MethodSlots.h"

namespace {

struct CounterState {
    long count = 0;
    void* originals[4] = {};
};

CounterState* s_counter = nullptr;

enum Method { kDraw, kDrawIndexed, kDrawUP, kDrawIndexedUP };

template <class F>
F Original(Method m)
{
    return reinterpret_cast<F>(s_counter->originals[m]);
}

HRESULT STDMETHODCALLTYPE DrawPrimitive(IDirect3DDevice9* self, D3DPRIMITIVETYPE type, UINT start, UINT count)
{
    ++s_counter->count;
    return Original<decltype(&DrawPrimitive)>(kDraw)(self, type, start, count);
}

HRESULT STDMETHODCALLTYPE DrawIndexedPrimitive(IDirect3DDevice9* self, D3DPRIMITIVETYPE type, INT baseVertex,
                                               UINT minIndex, UINT vertices, UINT startIndex, UINT count)
{
    ++s_counter->count;
    return Original<decltype(&DrawIndexedPrimitive)>(kDrawIndexed)(self, type, baseVertex, minIndex, vertices,
                                                                    startIndex, count);
}

HRESULT STDMETHODCALLTYPE DrawPrimitiveUP(IDirect3DDevice9* self, D3DPRIMITIVETYPE type, UINT count,
                                          const void* data, UINT stride)
{
    ++s_counter->count;
    return Original<decltype(&DrawPrimitiveUP)>(kDrawUP)(self, type, count, data, stride);
}

HRESULT STDMETHODCALLTYPE DrawIndexedPrimitiveUP(IDirect3DDevice9* self, D3DPRIMITIVETYPE type, UINT minIndex,
                                                 UINT vertices, UINT count, const void* indices,
                                                 D3DFORMAT indexFormat, const void* data, UINT stride)
{
    ++s_counter->count;
    return Original<decltype(&DrawIndexedPrimitiveUP)>(kDrawIndexedUP)(self, type, minIndex, vertices, count,
                                                                        indices, indexFormat, data, stride);
}

}  // namespace

DrawCallCounter::DrawCallCounter(IDirect3DDevice9* device)
{
    if (s_counter) {
        ADD_FAILURE() << "a draw-call counter is already running";
        return;
    }
    s_counter = new CounterState();
    m_counting = true;
    const struct {
        Method method;
        unsigned slot;
        void* replacement;
    } methods[] = {
        {kDraw, kDrawPrimitiveSlot, reinterpret_cast<void*>(&DrawPrimitive)},
        {kDrawIndexed, kDrawIndexedPrimitiveSlot, reinterpret_cast<void*>(&DrawIndexedPrimitive)},
        {kDrawUP, kDrawPrimitiveUPSlot, reinterpret_cast<void*>(&DrawPrimitiveUP)},
        {kDrawIndexedUP, kDrawIndexedPrimitiveUPSlot, reinterpret_cast<void*>(&DrawIndexedPrimitiveUP)},
    };
    for (const auto& m : methods) {
        m_patches.push_back(std::make_unique<MethodPatch>(device, m.slot, m.replacement));
        s_counter->originals[m.method] = m_patches.back()->Original();
    }
}

DrawCallCounter::~DrawCallCounter()
{
    m_patches.clear();
    if (!m_counting)
        return;
    delete s_counter;
    s_counter = nullptr;
}

long DrawCallCounter::Count() const { return m_counting ? s_counter->count : 0; }

void DrawCallCounter::Restart()
{
    if (m_counting)
        s_counter->count = 0;
}
