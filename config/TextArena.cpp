#include "config/TextArena.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <utility>

TextArena::TextArena(TextArena &&other) noexcept
    : blocks_(std::move(other.blocks_)),
      free_(std::exchange(other.free_, nullptr)),
      end_(std::exchange(other.end_, nullptr)),
      nextBlock_(std::exchange(other.nextBlock_, kFirstBlock)),
      bytesHeld_(std::exchange(other.bytesHeld_, 0)) {
    other.blocks_.clear();
}

TextArena &TextArena::operator=(TextArena &&other) noexcept {
    if (this != &other) {
        blocks_ = std::move(other.blocks_);
        other.blocks_.clear();
        free_ = std::exchange(other.free_, nullptr);
        end_ = std::exchange(other.end_, nullptr);
        nextBlock_ = std::exchange(other.nextBlock_, kFirstBlock);
        bytesHeld_ = std::exchange(other.bytesHeld_, 0);
    }
    return *this;
}

void TextArena::StartBlock(std::size_t size) {
    const std::size_t blockSize = std::max(nextBlock_, size);
    blocks_.reserve(blocks_.size() + 1);
    blocks_.emplace_back(blockSize);
    free_ = blocks_.back().Data();
    end_ = free_ + blockSize;
    bytesHeld_ += blockSize;
    nextBlock_ = std::min(nextBlock_ * 2, kLargestBlock);
}

std::string_view TextArena::Store(std::string_view text) {
    if (text.empty()) return std::string_view(free_, 0);
    if (static_cast<std::size_t>(end_ - free_) < text.size()) StartBlock(text.size());
    char *const copy = free_;
    std::memcpy(copy, text.data(), text.size());
    free_ += text.size();
    return std::string_view(copy, text.size());
}

std::string_view TextArena::Restore(std::string_view stored, std::string_view text) {
    // The last text stored lies in the current block and ends where its free room begins.
    char *const place = const_cast<char *>(stored.data());
    const bool last = free_ != nullptr && std::greater_equal<const char *>()(place, blocks_.back().Data()) &&
                      place + stored.size() == free_;
    if (last && static_cast<std::size_t>(end_ - place) >= text.size()) {
        if (!text.empty()) std::memmove(place, text.data(), text.size());
        free_ = place + text.size();
        return std::string_view(place, text.size());
    }
    return Store(text);
}

void TextArena::Clear() {
    blocks_.clear();
    free_ = end_ = nullptr;
    nextBlock_ = kFirstBlock;
    bytesHeld_ = 0;
}
