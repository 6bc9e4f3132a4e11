#include "platform/MemoryBlock.h"

#include <atomic>
#include <cstdint>
#include <new>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace platform {

namespace {

std::atomic<std::size_t> mappedBytes{0};

#if defined(__linux__)

/// `size` bytes at a multiple of the huge page size, mapped and asked to be backed by huge
/// pages, or nullptr. The mapping is made one huge page larger and trimmed to the aligned part.
char *MapAligned(std::size_t size) {
    constexpr std::size_t kAlign = MemoryBlock::kLargeBlock;
    const std::size_t span = size + kAlign;
    void *mapped = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return nullptr;
    char *const start = static_cast<char *>(mapped);
    const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(start);
    char *const aligned = start + ((kAlign - address % kAlign) % kAlign);
    if (aligned != start) ::munmap(start, static_cast<std::size_t>(aligned - start));
    if (char *const tail = aligned + size; tail != start + span) {
        ::munmap(tail, static_cast<std::size_t>(start + span - tail));
    }
    // Only a hint: without transparent huge pages the block works with small pages.
    ::madvise(aligned, size, MADV_HUGEPAGE);
    return aligned;
}

void Unmap(char *data, std::size_t size) { ::munmap(data, size); }

#else

char *MapAligned(std::size_t) { return nullptr; }
void Unmap(char *, std::size_t) {}

#endif

}  // namespace

MemoryBlock::MemoryBlock(std::size_t size) : size_(size) {
    if (size >= kLargeBlock) data_ = MapAligned(size);
    if (data_ != nullptr) {
        mapped_ = true;
        mappedBytes += size;
    } else {
        data_ = new char[size];
    }
}

MemoryBlock::MemoryBlock(MemoryBlock &&other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, false)) {}

MemoryBlock &MemoryBlock::operator=(MemoryBlock &&other) noexcept {
    if (this != &other) {
        Release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        mapped_ = std::exchange(other.mapped_, false);
    }
    return *this;
}

MemoryBlock::~MemoryBlock() { Release(); }

void MemoryBlock::Release() noexcept {
    if (data_ == nullptr) return;
    if (mapped_) {
        Unmap(data_, size_);
        mappedBytes -= size_;
    } else {
        delete[] data_;
    }
    data_ = nullptr;
    size_ = 0;
    mapped_ = false;
}

std::size_t MemoryBlock::MappedBytes() { return mappedBytes; }

}  // namespace platform
