#pragma once

// Puts a function of the test's in place of one method of a COM object's interface table while
// it lives, and the original back when it goes. Wine's objects of one kind share one table (all
// devices, all effects), so the replacement sees the calls of every such object in the process,
// those D3DX makes included; tests make one device at a time.
class MethodPatch {
public:
    MethodPatch(void* object, unsigned slot, void* replacement);
    ~MethodPatch();
    MethodPatch(const MethodPatch&) = delete;
    MethodPatch& operator=(const MethodPatch&) = delete;

    void* Original() const { return m_original; }

private:
    void** m_slot = nullptr;
    void* m_original = nullptr;
};
