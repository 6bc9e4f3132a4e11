// The matcher stage: runs a compiled program (RegExprProgram.h) against a subject with
// backtracking. `TRegExpr` makes one `TMatcher` for each execution; its scan position, loop
// stack, frames and step count live only as long as that execution. What is worth keeping from
// one execution of a program to the next (the repeat hints, the frames' memory) is kept in a
// `TMatcherMemory` that the object owns.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "regexpr/RegExprBacktrack.h"
#include "regexpr/RegExprErrors.h"
#include "regexpr/RegExprInlineList.h"
#include "regexpr/RegExprProgram.h"
#include "regexpr/RegExprSubMatches.h"

namespace regexpr {

/// What one execution reads: the program and its search hints, the subject, and the object's
/// settings that matching needs.
struct TMatchInput {
    std::span<const std::uint8_t> Program;
    /// The subject; the byte after it is a NUL.
    std::string_view Subject;
    unsigned char StartChar = 0;
    bool AnchoredStart = false;
    /// Literals every match contains.
    const TRequiredLiterals *Required = nullptr;
    /// The characters a match can start with; needed only when the search is neither anchored
    /// nor led by `StartChar`.
    const std::bitset<256> *StartCharSet = nullptr;
    const std::array<unsigned char, 256> *CaseTable = nullptr;
    const std::bitset<256> *WordSet = nullptr;
    const std::bitset<256> *LineSeparatorSet = nullptr;
    bool PairAssigned = false;
    unsigned char PairHead = 0;
    unsigned char PairTail = 0;
    std::int64_t StepLimit = 0;
    std::int32_t BacktrackLimit = 0;
};

/// What the executions of one program keep between them: the hints of its simple repeats,
/// worked out at their first use, the memory of the backtracking stack, and where the last pass
/// through each jump back began.
class TMatcherMemory {
public:
    /// Forgets the hints when `program` (a number that changes with every compilation) is not
    /// the one they were made for.
    void UseProgram(std::int32_t program) {
        if (Program_ != program) [[unlikely]]
            ForgetProgram(program);
    }

private:
    friend class TMatcher;

    void ForgetProgram(std::int32_t program);

    // For a program anchored at the start whose way in must consume a character: the characters
    // it can begin with, packed as a byte-set operand, worked out at its second execution.
    enum class TAnchorStarts : std::uint8_t { Unknown, Known, None };
    TAnchorStarts AnchorStartsState_ = TAnchorStarts::Unknown;
    std::uint32_t Executions_ = 0;
    std::array<std::uint8_t, ByteSetSize> AnchorStarts_{};
    TFrameStack Frames_;
    static constexpr std::size_t InlineRepeatHints = 8;
    TInlineList<TRepeatHint, InlineRepeatHints> RepeatHints_;
    // Where the hint of a repeat node was last found, in the slot its offset selects: a slot is
    // right when the hint it names belongs to that node, so a new program needs no clearing (its
    // hints list starts empty) and two nodes sharing a slot only cost the slower lookup below.
    // Slots are single bytes: the whole memory then stays small enough for the C library's
    // quickest allocation, which an object made for one line pays at its one execution.
    static constexpr std::size_t RepeatHintSlots = 128;
    std::array<std::uint8_t, RepeatHintSlots> RepeatHintSlot_{};
    // The hint of each repeat node by its offset, made once a program has more repeats in use
    // than a short search handles well.
    static constexpr std::size_t LinearRepeatHints = 8;
    std::vector<std::int32_t> RepeatHintIndex_;
    std::int32_t Program_ = -1;
    // Where the last pass through each "back" node began, valid only when its stamp equals
    // BackPassEpoch_: a new execution moves the epoch on instead of clearing every entry. The
    // table is made when an execution first reaches a "back" node of the program (most programs
    // have none, and a program compiled for one line is executed once); an entry of stamp 0
    // never counts, so a new table is all zeros.
    struct TBackPass {
        std::uint32_t Epoch = 0;
        std::int32_t Pos = 0;
    };
    std::vector<TBackPass> BackPassPos_;
    std::uint32_t BackPassEpoch_ = 0;
};

/// One execution: the search driver (start positions chosen by the hints), the node loop with
/// its heap backtracking stack, the simple repeats and the counted loops.
class TMatcher {
public:
    /// Reports an error through `Func(Context, code)`; it normally raises, and the execution
    /// stops either way. A plain function and its context: an execution is short, and making a
    /// std::function for each would cost a line of output a measurable part of its match.
    struct TReportError {
        void (*Func)(void *context, TErrorCode code);
        void *Context;

        void operator()(TErrorCode code) const { Func(Context, code); }
    };

    TMatcher(const TMatchInput &input, TMatcherMemory &memory, TSubMatches &subMatches, TReportError report);
    TMatcher(const TMatcher &) = delete;
    TMatcher &operator=(const TMatcher &) = delete;

    /// One execution from start to end: makes the matcher, searches from `start` and stores the
    /// steps taken in `steps`, also when the search stops with an error. The object's one call
    /// into this stage, so that the matcher's set-up is compiled together with its search.
    static bool Execute(const TMatchInput &input, TMatcherMemory &memory, TSubMatches &subMatches,
                        TReportError report, std::int32_t start, std::int64_t &steps);

    /// Searches the subject from position `start` (0-based, at most its length). On success the
    /// sub-matches hold the match; otherwise they are all unset.
    bool Search(std::int32_t start);
    /// Steps taken so far.
    std::int64_t Steps() const { return Steps_; }

private:
    bool RequiredLiteralsPresent(std::int32_t start) const;
    /// An anchored attempt before the end of the subject fails at once at a character that its
    /// way in cannot begin with (when that way must consume a character there).
    bool AnchoredStartPossible(std::int32_t start) {
        using TState = TMatcherMemory::TAnchorStarts;
        if (Memory_.AnchorStartsState_ == TState::Unknown) [[unlikely]]
            FindAnchorStarts();
        if (Memory_.AnchorStartsState_ == TState::None) return true;
        // The set holds for an attempt before the end of the subject; one at the end is made.
        return start >= InputEnd_ || InByteSet(Memory_.AnchorStarts_.data(), Input_[start]);
    }
    void FindAnchorStarts();
    [[gnu::noinline]] bool Attempts(std::int32_t start);
    bool TryMatch(std::int32_t pos);
    bool MatchPrim(std::int32_t node);
    std::int32_t RegRepeat(std::int32_t node, std::int32_t max);
    std::int32_t NextNode(std::int32_t node) const { return LinkedNode(Program_, ProgramSize_, node); }
    /// The node after `node`, or 0, without the range tests of `NextNode`: programs come from the
    /// compiler alone, and every link it writes lands on a node it wrote. The node loop and the
    /// frames it resumes follow links this way; a chain that ends early is still found (0).
    std::int32_t FollowLink(std::int32_t node) const {
        const std::int32_t link = NodeLink(Program_, node);
        return link == 0 ? 0 : node + link;
    }
    bool ReportError(TErrorCode code);
    bool StopExecution(TErrorCode code);
    bool IsWordChar(std::int32_t pos) const;
    bool LineStartAt(std::int32_t pos) const;
    bool LineEndAt(std::int32_t pos) const;
    unsigned char CharAt(std::int32_t pos) const { return pos < InputEnd_ ? Input_[pos] : 0; }
    bool PushFrame(std::uint8_t kind, std::int32_t node, std::int32_t pos, std::int32_t a, std::int32_t b);
    /// Whether another alternative follows the one of `branch` (an OpBranch).
    bool HasNextAlternative(std::int32_t branch) const {
        const std::int32_t next = FollowLink(branch);
        return next != 0 && Program_[next] == OpBranch;
    }
    bool AlternativeMayStart(std::int32_t node, std::int32_t pos) const;
    std::int32_t PossibleAlternative(std::int32_t branch, std::int32_t pos) const;
    bool RecordBound(const std::array<std::int32_t, SubMatchSlots> &bounds, int group, std::size_t base);
    bool Abandon(std::int32_t pos, std::int64_t steps);
    bool ResumeFrame(const TFrame &frame, std::int32_t &node);
    void ChargeScan(std::int32_t chars) { Steps_ += chars / ScanCharsPerStep; }
    void ChargeFastScan(std::int32_t chars) { Steps_ += chars / FastScanCharsPerStep; }
    bool StartRepeat(std::int32_t node, std::int32_t &resumeAt);
    bool NextRepeatAttempt(std::int32_t hintIndex, std::int32_t saved, std::int32_t count, std::int32_t limit,
                           std::int32_t &resumeAt);
    /// The index of the hint of the repeat at `node`, made at its first use in the program.
    std::int32_t RepeatHintFor(std::int32_t node) {
        const std::uint8_t slot = Memory_.RepeatHintSlot_[static_cast<std::size_t>(node) % TMatcherMemory::RepeatHintSlots];
        if (slot < Memory_.RepeatHints_.size() && Memory_.RepeatHints_[slot].Node == node) [[likely]]
            return slot;
        return FindRepeatHint(node);
    }
    [[gnu::noinline]] std::int32_t FindRepeatHint(std::int32_t node);
    std::int32_t MakeRepeatHint(std::int32_t node);
    bool OnlyLongestCount(const TRepeatHint &hint, std::int32_t end, std::int32_t &resumeAt);
    bool StartLoopBody(std::int32_t loop, std::int32_t &resumeAt);
    bool StartLoopContinuation(std::int32_t loop, std::int32_t &resumeAt);
    bool EndlessEmptyPass(std::int32_t depth, std::int32_t passes, std::int32_t min, std::int32_t max) const;
    void PrepareBackPasses();
    std::int32_t BackPassAt(std::int32_t node) const;
    void SetBackPass(std::int32_t node, std::int32_t pos);

public:
    /// Characters that a repeat, a filter scan or a back-reference looks at one by one, per step
    /// charged; a scan through memchr passes over `FastScanCharsPerStep` per step.
    static constexpr std::int32_t ScanCharsPerStep = 4;
    static constexpr std::int32_t FastScanCharsPerStep = 64;

private:
    const TMatchInput &In_;
    TMatcherMemory &Memory_;
    TSubMatches &Sub_;
    TReportError Report_;
    const std::uint8_t *Program_;
    std::int32_t ProgramSize_;
    const unsigned char *Input_;
    std::int32_t InputStart_ = 0;
    std::int32_t InputEnd_;
    std::int32_t ScanPos_ = 0;
    // The loop stack: the pass count and where the current pass began, for each active loop.
    // Slots above `LoopSlotsSet_` have not been written in this execution; a loop entered there
    // finds 0 and -1 (an execution sets up no more than it uses).
    std::array<std::int32_t, LoopStackSize + 1> LoopStack_;
    std::array<std::int32_t, LoopStackSize + 1> LoopPassStart_;
    std::int32_t LoopSlotsSet_ = 0;
    std::int32_t LoopDepth_ = 0;
    std::int64_t Steps_ = 0;
    std::int64_t StepLimit_;
    std::size_t FrameLimit_;
    bool Aborted_ = false;
    // An attempt set a group bound without a record: its failure clears the bounds as a whole.
    bool BoundsUnrecorded_ = false;
};

/// Adds to `set` every character that a match of the chain from `start` can begin with (the
/// empty match aside). False when the walk met an opcode outside the program format.
bool CollectStartChars(std::span<const std::uint8_t> program, std::int32_t start,
                       const std::array<unsigned char, 256> &caseTable, std::bitset<256> &set);

}  // namespace regexpr
