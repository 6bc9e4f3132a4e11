// The matcher's backtracking stack. Internal to the engine: RegExpr.h only names these types.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "regexpr/RegExpr.h"

namespace regexpr {

/// One choice point or undo record. What the fields hold depends on the kind (RegExprMatcher.cpp).
struct TRegExpr::TFrame {
    std::uint8_t Kind;
    std::int32_t Node;
    std::int32_t Pos;
    std::int32_t A;
    std::int32_t B;
};

/// A stack kept in fixed-size chunks, so that deep backtracking never needs one huge contiguous
/// block (a 32-bit process has little address space to spare) and never copies frames.
class TRegExpr::TFrameStack {
public:
    static constexpr std::size_t ChunkSize = 1 << 14;
    static constexpr std::size_t ChunksKept = 4;

    std::size_t Size() const { return Size_; }

    void Push(const TFrame &frame) {
        const std::size_t chunk = Size_ / ChunkSize;
        if (chunk == Chunks_.size()) Chunks_.push_back(std::make_unique_for_overwrite<TFrame[]>(ChunkSize));
        Chunks_[chunk][Size_ % ChunkSize] = frame;
        ++Size_;
    }

    TFrame Pop() {
        --Size_;
        return Chunks_[Size_ / ChunkSize][Size_ % ChunkSize];
    }

    void Clear() { Size_ = 0; }

    /// Gives back the memory of an unusually deep execution.
    void Trim() {
        Size_ = 0;
        if (Chunks_.size() > ChunksKept) Chunks_.resize(ChunksKept);
    }

private:
    std::vector<std::unique_ptr<TFrame[]>> Chunks_;
    std::size_t Size_ = 0;
};

}  // namespace regexpr
