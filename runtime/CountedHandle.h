#pragma once
#include <cstdint>
#include <utility>

// Shared ownership of a scene object through a reference-counted record. Slides, layers, music
// tracks and runtime objects are held this way; the last release deletes the object through its
// virtual destructor. A record may hold no object (an empty layer slot of a slide).
template <class T>
class CountedHandle {
public:
    CountedHandle() = default;
    // A new record with count 1, also for a null object.
    explicit CountedHandle(T* object) : m_record(new Record{object, 1}) {}
    CountedHandle(const CountedHandle& other) : m_record(other.m_record)
    {
        if (m_record)
            ++m_record->count;
    }
    CountedHandle(CountedHandle&& other) noexcept : m_record(std::exchange(other.m_record, nullptr)) {}
    ~CountedHandle() { Release(); }

    // Releases the target's record first unless both share it, then shares the source's.
    CountedHandle& operator=(const CountedHandle& other)
    {
        if (m_record == other.m_record)
            return *this;
        Release();
        m_record = other.m_record;
        if (m_record)
            ++m_record->count;
        return *this;
    }
    CountedHandle& operator=(CountedHandle&& other) noexcept
    {
        if (this != &other) {
            Release();
            m_record = std::exchange(other.m_record, nullptr);
        }
        return *this;
    }

    // Gives up this reference; the last one deletes the object and the record. The handle is
    // empty afterwards.
    void Release()
    {
        // Deleting an object of an incomplete type would skip its destructor.
        static_assert(sizeof(T) > 0, "a handle is released only where its object type is complete");
        Record* record = std::exchange(m_record, nullptr);
        if (!record)
            return;
        if (--record->count > 0)
            return;
        delete record->object;
        delete record;
    }

    T* Get() const { return m_record ? m_record->object : nullptr; }
    T* operator->() const { return Get(); }
    T& operator*() const { return *Get(); }
    explicit operator bool() const { return Get() != nullptr; }
    // References to the record, 0 for a handle without one.
    int32_t UseCount() const { return m_record ? m_record->count : 0; }
    bool SharesWith(const CountedHandle& other) const { return m_record == other.m_record; }

private:
    struct Record {
        T* object;
        int32_t count;
    };
    Record* m_record = nullptr;
};
