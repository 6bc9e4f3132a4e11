// Storage for many small texts in a few large blocks.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/MemoryBlock.h"

/// Holds copies of texts in large blocks that never move until the arena is cleared or
/// destroyed, so that a stored text costs its characters and nothing more: no allocation, no
/// terminator and no heap header of its own. A stored text stays valid and unchanged until it
/// is restored or the arena is cleared; the space of a text that is replaced is not reused,
/// except that the last text stored may be rewritten in place. Blocks start small and double up
/// to 2 MiB, so that a short list takes little and a long one wastes at most the tail of each
/// block; the largest are `platform::MemoryBlock`'s large blocks, cheap to fill.
class TextArena {
public:
    static constexpr std::size_t kFirstBlock = 256;
    static constexpr std::size_t kLargestBlock = platform::MemoryBlock::kLargeBlock;

    TextArena() = default;
    TextArena(TextArena &&other) noexcept;
    TextArena &operator=(TextArena &&other) noexcept;
    TextArena(const TextArena &) = delete;
    TextArena &operator=(const TextArena &) = delete;

    /// A stored copy of `text`; throws std::bad_alloc when no block can be had.
    std::string_view Store(std::string_view text);
    /// Replaces `stored`, a text this arena gave out, with `text` (which may lie inside
    /// `stored`): in place when `stored` is the last text stored and its block has room, else
    /// as a new copy. Returns the stored replacement.
    std::string_view Restore(std::string_view stored, std::string_view text);
    /// Frees every block; every stored text becomes invalid.
    void Clear();
    /// The bytes of every block held.
    std::size_t BytesHeld() const { return bytesHeld_; }

private:
    /// Makes the current block one with room for `size` more characters.
    void StartBlock(std::size_t size);

    std::vector<platform::MemoryBlock> blocks_;
    char *free_ = nullptr;  // the unused room of the current block: [free_, end_)
    char *end_ = nullptr;
    std::size_t nextBlock_ = kFirstBlock;
    std::size_t bytesHeld_ = 0;
};
