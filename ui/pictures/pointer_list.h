// The growable list of pointers every toolkit container uses: capacity starts
// at 1 and doubles when an element is added to a full array. Removal closes
// the gap and keeps the cursor in step with the element it pointed at.
#pragma once

#include <cstdint>
#include <new>

template <class T> class PointerList {
public:
    PointerList() : items(new (std::nothrow) T*[1]), capacity(items ? 1 : 0) {}
    ~PointerList() { delete[] items; }
    PointerList(const PointerList&) = delete;
    PointerList& operator=(const PointerList&) = delete;

    // Appends; answers the new count, or 0 when memory ran out.
    int32_t Add(T* item) {
        if (count == capacity) {
            int32_t grown = capacity ? capacity * 2 : 1;
            T** larger = new (std::nothrow) T*[grown];
            if (!larger) {
                return 0;
            }
            for (int32_t i = 0; i < count; ++i) {
                larger[i] = items[i];
            }
            delete[] items;
            items = larger;
            capacity = grown;
        }
        items[count++] = item;
        return count;
    }

    void RemoveAt(int32_t index) {
        if (index < 0 || index >= count) {
            return;
        }
        for (int32_t i = index; i + 1 < count; ++i) {
            items[i] = items[i + 1];
        }
        --count;
        // A walk that removes the element under its cursor goes on with the next one.
        if (index <= cursor) {
            --cursor;
        }
    }

    // Removes the first occurrence; answers 1 when it was there.
    int Remove(T* item) {
        int32_t index = IndexOf(item);
        if (index < 0) {
            return 0;
        }
        RemoveAt(index);
        return 1;
    }

    int32_t IndexOf(const T* item) const {
        for (int32_t i = 0; i < count; ++i) {
            if (items[i] == item) {
                return i;
            }
        }
        return -1;
    }

    void Clear() {
        count = 0;
        cursor = 0;
    }

    T* At(int32_t index) const { return index >= 0 && index < count ? items[index] : nullptr; }
    T* operator[](int32_t index) const { return At(index); }
    int32_t Count() const { return count; }
    int32_t Capacity() const { return capacity; }
    T** begin() const { return items; }
    T** end() const { return items + count; }

    int32_t cursor = 0;

private:
    T** items;
    int32_t count = 0;
    int32_t capacity;
};
