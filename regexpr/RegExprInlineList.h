// A list whose first items live inside its owner.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <type_traits>

namespace regexpr {

/// A growing list of plain items whose first `InlineCapacity` are held inside the list itself
/// and the rest, once there are more, in one heap block that doubles: the matcher keeps the
/// repeat hints of a program here, and a program of a few repeats, executed once for one line,
/// then takes no heap memory for them. The list points into itself, so it is neither copied nor
/// moved; like a vector, it moves its items when it grows, so no reference to an item may be
/// held across `push_back`.
template <typename T, std::size_t InlineCapacity>
class TInlineList {
    static_assert(std::is_trivially_copyable_v<T>, "items are moved as bytes");

public:
    TInlineList() = default;
    TInlineList(const TInlineList &) = delete;
    TInlineList &operator=(const TInlineList &) = delete;

    std::size_t size() const { return Size_; }
    bool empty() const { return Size_ == 0; }
    T &operator[](std::size_t i) { return Data_[i]; }
    const T &operator[](std::size_t i) const { return Data_[i]; }

    /// Empties the list; a heap block it has is kept for the next items.
    void clear() { Size_ = 0; }

    void push_back(const T &item) {
        if (Size_ == Capacity_) Grow();
        Data_[Size_++] = item;
    }

private:
    void Grow() {
        const std::size_t capacity = 2 * Capacity_;
        auto heap = std::make_unique_for_overwrite<T[]>(capacity);
        std::memcpy(static_cast<void *>(heap.get()), Data_, Size_ * sizeof(T));
        Heap_ = std::move(heap);
        Data_ = Heap_.get();
        Capacity_ = capacity;
    }

    T *Data_ = Inline_;
    std::size_t Size_ = 0;
    std::size_t Capacity_ = InlineCapacity;
    std::unique_ptr<T[]> Heap_;
    T Inline_[InlineCapacity];
};

}  // namespace regexpr
