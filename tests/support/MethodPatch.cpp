#include "support/MethodPatch.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

bool WriteSlot(void** slot, void* value)
{
    DWORD protection = 0;
    if (!VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &protection))
        return false;
    *slot = value;
    VirtualProtect(slot, sizeof(void*), protection, &protection);
    return true;
}

}  // namespace

MethodPatch::MethodPatch(void* object, unsigned slot, void* replacement)
{
    if (!object) {
        ADD_FAILURE() << "no object to patch";
        return;
    }
    void** table = *static_cast<void***>(object);
    m_original = table[slot];
    if (!WriteSlot(&table[slot], replacement)) {
        ADD_FAILURE() << "the method table could not be written (slot " << slot << ")";
        m_original = nullptr;
        return;
    }
    m_slot = &table[slot];
}

MethodPatch::~MethodPatch()
{
    if (m_slot)
        WriteSlot(m_slot, m_original);
}
