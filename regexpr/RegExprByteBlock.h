// A growable byte block that keeps its first bytes inside its owner.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>

namespace regexpr {

/// A block of bytes held inside its owner while it fits into `InlineCapacity` bytes, and on the
/// heap once it grows beyond: the program and the expression text of one object are small for
/// nearly every expression, so making, compiling and releasing an object costs no heap memory
/// for them. Bytes that `resize` adds are zero. Shrinking keeps the memory (a recompilation
/// reuses it). The block points into itself, so it is neither copied nor moved.
template <std::size_t InlineCapacity>
class TByteBlock {
public:
    TByteBlock() = default;
    TByteBlock(const TByteBlock &) = delete;
    TByteBlock &operator=(const TByteBlock &) = delete;

    std::uint8_t *data() { return Data_; }
    const std::uint8_t *data() const { return Data_; }
    std::size_t size() const { return Size_; }
    bool empty() const { return Size_ == 0; }
    const std::uint8_t *begin() const { return Data_; }
    const std::uint8_t *end() const { return Data_ + Size_; }
    std::uint8_t &operator[](std::size_t i) { return Data_[i]; }
    std::uint8_t operator[](std::size_t i) const { return Data_[i]; }

    operator std::span<const std::uint8_t>() const { return {Data_, Size_}; }

    void clear() { Size_ = 0; }

    /// Bytes the block holds before it must grow.
    std::size_t capacity() const { return Capacity_; }

    /// Makes the block `size` bytes long without keeping its contents, and returns them for
    /// writing. A heap block larger than `keepUpTo` and than twice `size` is given back first
    /// (for the inline part when `size` fits there), so that one long text does not hold its
    /// memory for the short ones after it.
    std::uint8_t *Overwrite(std::size_t size, std::size_t keepUpTo) {
        if (size > Capacity_ || (Heap_ && Capacity_ > std::max(keepUpTo, 2 * size))) {
            Heap_.reset();  // the old block goes first, so that the two are never both held
            if (size <= InlineCapacity) {
                Data_ = Inline_;
                Capacity_ = InlineCapacity;
            } else {
                Heap_ = std::make_unique_for_overwrite<std::uint8_t[]>(size);
                Data_ = Heap_.get();
                Capacity_ = size;
            }
        }
        Size_ = size;
        return Data_;
    }

    /// Makes the block `size` bytes long; bytes beyond the old size are zero.
    void resize(std::size_t size) {
        if (size > Capacity_) Grow(std::max(size, 2 * Capacity_));
        if (size > Size_) std::memset(Data_ + Size_, 0, size - Size_);
        Size_ = size;
    }

    /// Replaces the contents with `count` bytes from `bytes`, which may lie inside the block.
    void assign(const void *bytes, std::size_t count) {
        if (count > Capacity_) {
            auto heap = std::make_unique_for_overwrite<std::uint8_t[]>(count);
            std::memcpy(heap.get(), bytes, count);
            Heap_ = std::move(heap);
            Data_ = Heap_.get();
            Capacity_ = count;
        } else if (count > 0) {
            std::memmove(Data_, bytes, count);
        }
        Size_ = count;
    }

private:
    void Grow(std::size_t capacity) {
        auto heap = std::make_unique_for_overwrite<std::uint8_t[]>(capacity);
        if (Size_ > 0) std::memcpy(heap.get(), Data_, Size_);
        Heap_ = std::move(heap);
        Data_ = Heap_.get();
        Capacity_ = capacity;
    }

    std::uint8_t *Data_ = Inline_;
    std::size_t Size_ = 0;
    std::size_t Capacity_ = InlineCapacity;
    std::unique_ptr<std::uint8_t[]> Heap_;
    std::uint8_t Inline_[InlineCapacity];
};

}  // namespace regexpr
