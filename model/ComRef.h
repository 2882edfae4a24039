#pragma once
#include <utility>

// Releases a COM interface pointer and nulls it; returns what Release returned (0 for null).
// Together with ComRef this is the only place that calls Release.
template <class T>
unsigned long ReleaseInterface(T*& pointer)
{
    if (!pointer)
        return 0;
    unsigned long remaining = pointer->Release();
    pointer = nullptr;
    return remaining;
}

// Holds one COM interface pointer and releases it when destroyed or reset. Taking ownership of a
// pointer that already carries a reference (what a Create call hands out) is Attach; storing a
// borrowed pointer with a reference of our own is Assign.
template <class T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() { Reset(); }
    ComRef(const ComRef& other) : m_pointer(other.m_pointer)
    {
        if (m_pointer)
            m_pointer->AddRef();
    }
    ComRef(ComRef&& other) noexcept : m_pointer(std::exchange(other.m_pointer, nullptr)) {}
    ComRef& operator=(const ComRef& other)
    {
        Assign(other.m_pointer);
        return *this;
    }
    ComRef& operator=(ComRef&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_pointer = std::exchange(other.m_pointer, nullptr);
        }
        return *this;
    }

    // Takes over a reference the caller already owns.
    void Attach(T* pointer)
    {
        Reset();
        m_pointer = pointer;
    }
    // Keeps a reference of its own to a borrowed pointer.
    void Assign(T* pointer)
    {
        if (pointer)
            pointer->AddRef();
        Reset();
        m_pointer = pointer;
    }
    // Hands the reference to the caller.
    T* Detach() { return std::exchange(m_pointer, nullptr); }
    unsigned long Reset() { return ReleaseInterface(m_pointer); }

    // For Create calls that write a new reference: releases the old one first.
    T** Receive()
    {
        Reset();
        return &m_pointer;
    }

    T* Get() const { return m_pointer; }
    T* operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }

private:
    T* m_pointer = nullptr;
};
