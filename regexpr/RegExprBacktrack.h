// The matcher's backtracking stack and the run-time form of a simple repeat, used by the
// matcher stage (RegExprMatcher.h) alone.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "regexpr/RegExprProgram.h"

namespace regexpr {

/// One choice point or undo record. What the fields hold depends on the kind (RegExprMatcher.cpp).
struct TFrame {
    std::uint8_t Kind;
    std::int32_t Node;
    std::int32_t Pos;
    std::int32_t A;
    std::int32_t B;
};

/// A stack kept in fixed-size chunks, so that deep backtracking never needs one huge contiguous
/// block (a 32-bit process has little address space to spare) and never copies frames. The first
/// chunk is small and part of the stack itself: most executions need a few frames, and an object
/// made for one line should not allocate for them.
class TFrameStack {
public:
    static constexpr std::size_t FirstChunkSize = 32;
    static constexpr std::size_t ChunkSize = 1 << 10;
    // Chunks after the first kept for the next execution: an object that runs many lines reuses
    // them.
    static constexpr std::size_t ChunksKept = 64;

    std::size_t Size() const { return Size_; }

    void Push(const TFrame &frame) {
        if (Top_ == End_) [[unlikely]]
            NextChunk();
        *Top_++ = frame;
        ++Size_;
    }

    /// The stack must not be empty.
    TFrame Pop() {
        if (Top_ == Begin_) [[unlikely]]
            PreviousChunk();
        --Size_;
        return *--Top_;
    }

    void Clear() {
        Size_ = 0;
        Chunk_ = NoChunk;
        Begin_ = Top_ = End_ = nullptr;
    }

    /// Gives back the memory of an unusually deep execution.
    void Trim() {
        Clear();
        if (Chunks_.size() > ChunksKept) Chunks_.resize(ChunksKept);
    }

private:
    static constexpr std::size_t NoChunk = static_cast<std::size_t>(-1);

    // Chunk 0 is `FirstChunk_`, chunk n > 0 is `Chunks_[n - 1]`.
    void NextChunk() {
        ++Chunk_;  // NoChunk wraps round to the first
        if (Chunk_ > Chunks_.size()) Chunks_.push_back(std::make_unique_for_overwrite<TFrame[]>(ChunkSize));
        Enter(Chunk_, false);
    }
    void PreviousChunk() { Enter(--Chunk_, true); }
    void Enter(std::size_t chunk, bool atEnd) {
        Begin_ = chunk == 0 ? FirstChunk_.data() : Chunks_[chunk - 1].get();
        End_ = Begin_ + (chunk == 0 ? FirstChunkSize : ChunkSize);
        Top_ = atEnd ? End_ : Begin_;
    }

    std::array<TFrame, FirstChunkSize> FirstChunk_;
    std::vector<std::unique_ptr<TFrame[]>> Chunks_;
    std::size_t Size_ = 0;
    // The chunk in use and its bounds: a push or a pop touches only these unless it crosses
    // into another chunk.
    std::size_t Chunk_ = NoChunk;
    TFrame *Begin_ = nullptr;
    TFrame *Top_ = nullptr;
    TFrame *End_ = nullptr;
};

/// A simple repeat (OpStar, OpPlus, OpBraces and their lazy forms) as the matcher runs it. The
/// continuation can only succeed before the end of the input where it starts with one of
/// `Starts` (when `Filtered`), so the attempts elsewhere are skipped without running it; when the
/// operand matches none of those characters (`Disjoint`), every count but the one that ran as far
/// as the operand matches would fail at once, so only that one is tried.
struct TRepeatHint {
    std::int32_t Node;
    std::int32_t Operand;
    std::int32_t Next;
    std::int32_t Min;
    std::int32_t Max;
    bool Lazy;
    bool BackRef;
    bool Filtered;
    bool Disjoint;
    /// The one member of `Starts`, or -1 when it has none or several.
    std::int32_t Single;
    /// A 256-bit map packed as an OpByteSet operand.
    std::array<std::uint8_t, ByteSetSize> Starts;
};

}  // namespace regexpr
