// Large blocks of memory for texts that are filled front to back.
#pragma once

#include <cstddef>

namespace platform {

/// An uninitialised block of memory that a text store fills from its start to its end and keeps
/// whole until it is released. A block of `kLargeBlock` bytes or more is mapped from the system
/// on its own; on Linux it is aligned to and asks for 2 MiB pages, so that filling it takes one
/// page fault per 2 MiB instead of one per 4 KiB page (the first touch of fresh memory is what a
/// long captured run mostly pays for). Smaller blocks, and every block elsewhere, come from the
/// heap. Move-only; releases its memory when destroyed.
class MemoryBlock {
public:
    static constexpr std::size_t kLargeBlock = std::size_t{2} << 20;

    MemoryBlock() = default;
    /// A block of `size` bytes (not 0); throws std::bad_alloc when there is no memory for it.
    explicit MemoryBlock(std::size_t size);
    MemoryBlock(MemoryBlock &&other) noexcept;
    MemoryBlock &operator=(MemoryBlock &&other) noexcept;
    MemoryBlock(const MemoryBlock &) = delete;
    MemoryBlock &operator=(const MemoryBlock &) = delete;
    ~MemoryBlock();

    char *Data() const { return data_; }
    std::size_t Size() const { return size_; }

    /// The bytes of every block of the process that is mapped outside the heap, which the C
    /// library's own accounting of the heap does not see.
    static std::size_t MappedBytes();

private:
    void Release() noexcept;

    char *data_ = nullptr;
    std::size_t size_ = 0;
    bool mapped_ = false;
};

}  // namespace platform
