// The matcher: runs a compiled program against the subject with backtracking.
//
// `MatchPrim` is one loop. Where a recursive matcher would call itself to try the rest of the
// program and undo its change when that fails, this one pushes a frame onto a heap stack and goes
// on; a failure pops frames, each of which either undoes its change (group bounds, loop counters)
// or offers the next way to try (another alternative, another repeat count, another loop pass).
// The order in which ways are tried is exactly that of the recursive formulation.
//
// The small members that only this file calls on an execution's path (the set-up, the refusal
// tests, the repeat entry, the alternatives' look-ahead) are defined `inline`: a library built
// position-independent may otherwise have any of its functions replaced at load time, so the
// compiler keeps each one a call of its own, and a line that fails after a few nodes pays for
// the calls more than for the work.
#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

#include "regexpr/RegExprMatcher.h"

namespace regexpr {

namespace {

enum FrameKind : std::uint8_t {
    FrameBranch,        // try the next alternative
    FrameSubStart,      // put a group's start back
    FrameSubEnd,        // put a group's end back
    FrameRepeatGreedy,  // try one repetition fewer
    FrameRepeatLazy,    // try one repetition more
    FrameLoopEntry,     // leave a loop that was entered: its counter and pass start come back
    FrameLoopBody,      // a loop pass failed: counter back, then maybe leave the loop
    FrameLoopExit,      // leaving a loop failed: back inside, then maybe one more pass
    FrameBackPass,      // the position of the last pass through a jump back
};

bool IsDigitChar(unsigned char c) { return c >= '0' && c <= '9'; }

bool IsBackRefOp(TOpCode op) { return op == OpBackRef || op == OpBackRefNoCase; }

bool InSmallSet(const std::uint8_t *set, unsigned char c) {
    return c == set[0] || c == set[1] || c == set[2];
}

// The place of the first of `text`'s `length` characters that is in the small set `set`, or
// `length`. A run of `[^...]` through a line is the most frequent repeat: eight characters are
// tested at a time (a word holds one of the set's characters when the word XOR that character has
// a zero byte), and the word that holds one is searched character by character.
std::int32_t FindSmallSetChar(const unsigned char *text, std::int32_t length, const std::uint8_t *set) {
    constexpr std::uint64_t lows = 0x0101010101010101;
    constexpr std::uint64_t highs = 0x8080808080808080;
    auto hasZeroByte = [](std::uint64_t word) { return ((word - lows) & ~word & highs) != 0; };
    const std::uint64_t first = lows * set[0];
    const std::uint64_t second = lows * set[1];
    const std::uint64_t third = lows * set[2];
    std::int32_t at = 0;
    for (; at + 8 <= length; at += 8) {
        std::uint64_t word;
        std::memcpy(&word, text + at, sizeof word);
        if (hasZeroByte(word ^ first) || hasZeroByte(word ^ second) || hasZeroByte(word ^ third)) break;
    }
    while (at < length && !InSmallSet(set, text[at])) ++at;
    return at;
}

// Character maps packed as an OpByteSet operand are combined a machine word at a time: hints
// are made while a line is matched, and for a program compiled for that one line.
using TSetWords = std::array<std::uint64_t, ByteSetSize / 8>;

TSetWords SetWords(const std::uint8_t *set) {
    TSetWords words;
    std::memcpy(words.data(), set, ByteSetSize);
    return words;
}

// chars |= set, or chars |= ~set.
void OrSet(std::uint8_t *chars, const std::uint8_t *set, bool negated) {
    TSetWords into = SetWords(chars);
    const TSetWords from = SetWords(set);
    const std::uint64_t flip = negated ? ~std::uint64_t(0) : 0;
    for (std::size_t i = 0; i < into.size(); ++i) into[i] |= from[i] ^ flip;
    std::memcpy(chars, into.data(), ByteSetSize);
}

// The characters that nodes and chains of a program can begin with: for the start-character
// set and for the repeat hints.
struct TCharWalk {
    const std::uint8_t *Program;
    std::int32_t Size;
    const std::array<unsigned char, 256> &CaseTable;

    bool AddNodeChars(std::int32_t node, std::uint8_t *chars) const;
    bool AddChainStarts(std::int32_t node, std::uint8_t *chars, int &budget) const;
};

// Adds the characters that the single-character node `node` can match to `chars`; false for a
// node that is not one.
bool TCharWalk::AddNodeChars(std::int32_t node, std::uint8_t *chars) const {
    const std::uint8_t *operand = NodeOperand(Program, node);
    switch (Program[node]) {
    case OpAny:
    case OpAnyInLine:
        std::fill(chars, chars + ByteSetSize, std::uint8_t(0xFF));
        return true;
    case OpLiteral:
        if (operand[0] == 0) return false;
        AddToByteSet(chars, operand[0]);
        return true;
    case OpLiteralNoCase:
        if (operand[0] == 0) return false;
        AddToByteSet(chars, operand[0]);
        AddToByteSet(chars, CaseTable[operand[0]]);
        return true;
    case OpDigit:
    case OpNonDigit:
    case OpSmallSet:
    case OpNotSmallSet: {
        std::array<std::uint8_t, ByteSetSize> members{};
        if (Program[node] == OpDigit || Program[node] == OpNonDigit) {
            members['0' >> 3] = 0xFF;  // '0'..'7'
            members['8' >> 3] = 0x03;  // '8', '9'
        } else {
            for (int i = 0; i < SmallSetSize; ++i) AddToByteSet(members.data(), operand[i]);
        }
        const bool negated = Program[node] == OpNonDigit || Program[node] == OpNotSmallSet;
        OrSet(chars, members.data(), negated);
        return true;
    }
    case OpByteSet:
        OrSet(chars, operand, false);
        return true;
    default:
        return false;
    }
}

// Adds to `chars` every character that the chain from `node` can begin with when it succeeds at
// a position before the end of the input. False when that cannot be told: the chain may succeed
// there without consuming (it ends, or starts with a test or a loop), or the walk took more than
// `budget` nodes.
bool TCharWalk::AddChainStarts(std::int32_t node, std::uint8_t *chars, int &budget) const {
    const std::uint8_t *program = Program;
    for (;;) {
        if (node == 0 || --budget < 0) return false;
        const TOpCode op = program[node];
        const std::int32_t next = LinkedNode(Program, Size, node);
        switch (op) {
        case OpEmpty:
        case OpComment:
        case OpInputStart:  // a test that consumes nothing: what follows it begins the chain
            node = next;
            continue;
        case OpInputEnd:
            return true;  // it holds only at the end
        case OpLiteral:
        case OpLiteralNoCase:
            if (*NodeOperand(program, node) == 0) {
                node = next;
                continue;
            }
            return AddNodeChars(node, chars);
        case OpAny:
        case OpAnyInLine:
        case OpDigit:
        case OpNonDigit:
        case OpSmallSet:
        case OpNotSmallSet:
        case OpByteSet:
            return AddNodeChars(node, chars);
        case OpBranch:
            if (next == 0 || program[next] != OpBranch) {
                node = NodeAfterHeader(node);
                continue;
            }
            for (std::int32_t branch = node; branch != 0 && program[branch] == OpBranch; branch = LinkedNode(Program, Size, branch))
                if (!AddChainStarts(NodeAfterHeader(branch), chars, budget)) return false;
            return true;
        case OpStar:
        case OpStarLazy:
        case OpPlus:
        case OpPlusLazy:
        case OpBraces:
        case OpBracesLazy: {
            if (!AddNodeChars(RepeatOperandNode(op, node), chars)) return false;
            if (RepeatMin(program, node) > 0) return true;
            node = next;
            continue;
        }
        default:
            if (IsOpenOp(op) || IsCloseOp(op)) {
                node = next;
                continue;
            }
            return false;
        }
    }
}

}  // namespace

// --- Helpers ----------------------------------------------------------------------------------

bool TMatcher::IsWordChar(std::int32_t pos) const {
    return pos >= InputStart_ && pos < InputEnd_ && In_.WordSet->test(CharAt(pos));
}

bool TMatcher::LineStartAt(std::int32_t pos) const {
    if (pos == InputStart_) return true;
    const unsigned char before = CharAt(pos - 1);
    if (In_.PairAssigned) {
        if (before == In_.PairTail && pos - 1 > InputStart_ && CharAt(pos - 2) == In_.PairHead) return true;
        if (before == In_.PairHead && CharAt(pos) == In_.PairTail) return false;
    }
    return In_.LineSeparatorSet->test(before);
}

bool TMatcher::LineEndAt(std::int32_t pos) const {
    if (pos >= InputEnd_) return true;
    const unsigned char c = CharAt(pos);
    if (In_.PairAssigned) {
        if (c == In_.PairHead && CharAt(pos + 1) == In_.PairTail) return true;
        if (c == In_.PairTail && pos > InputStart_ && CharAt(pos - 1) == In_.PairHead) return false;
    }
    return In_.LineSeparatorSet->test(c);
}

bool TMatcher::ReportError(TErrorCode code) {
    Report_(code);
    return false;
}

bool TMatcher::StopExecution(TErrorCode code) {
    Aborted_ = true;
    Report_(code);
    return false;
}

inline bool TMatcher::PushFrame(std::uint8_t kind, std::int32_t node, std::int32_t pos,
                                std::int32_t a, std::int32_t b) {
    if (Memory_.Frames_.Size() >= FrameLimit_) [[unlikely]]
        return StopExecution(ErrBacktrackLimit);
    Memory_.Frames_.Push(TFrame{kind, node, pos, a, b});
    return true;
}

void TMatcher::PrepareBackPasses() {
    if (Memory_.BackPassPos_.size() != static_cast<std::size_t>(ProgramSize_))
        Memory_.BackPassPos_.assign(static_cast<std::size_t>(ProgramSize_), TMatcherMemory::TBackPass{});
}

std::int32_t TMatcher::BackPassAt(std::int32_t node) const {
    const TMatcherMemory::TBackPass &entry = Memory_.BackPassPos_[static_cast<std::size_t>(node)];
    return entry.Epoch == Memory_.BackPassEpoch_ ? entry.Pos : -1;
}

void TMatcher::SetBackPass(std::int32_t node, std::int32_t pos) {
    Memory_.BackPassPos_[static_cast<std::size_t>(node)] = TMatcherMemory::TBackPass{Memory_.BackPassEpoch_, pos};
}

// --- Execution driver -------------------------------------------------------------------------

inline TMatcher::TMatcher(const TMatchInput &input, TMatcherMemory &memory, TSubMatches &subMatches, TReportError report)
    : In_(input),
      Memory_(memory),
      Sub_(subMatches),
      Report_(report),
      Program_(input.Program.data()),
      ProgramSize_(static_cast<std::int32_t>(input.Program.size())),
      Input_(reinterpret_cast<const unsigned char *>(input.Subject.data())),
      InputEnd_(static_cast<std::int32_t>(input.Subject.size())),
      StepLimit_(input.StepLimit),
      FrameLimit_(static_cast<std::size_t>(std::max(input.BacktrackLimit, 0))) {}

void TMatcherMemory::ForgetProgram(std::int32_t program) {
    RepeatHints_.clear();
    RepeatHintIndex_.clear();
    BackPassPos_.clear();
    AnchorStartsState_ = TAnchorStarts::Unknown;
    Executions_ = 0;
    Program_ = program;
}

bool TMatcher::Execute(const TMatchInput &input, TMatcherMemory &memory, TSubMatches &subMatches,
                       TReportError report, std::int32_t start, std::int64_t &steps) {
    TMatcher matcher(input, memory, subMatches, report);
    struct TRecordSteps {
        const TMatcher &Matcher;
        std::int64_t &Steps;
        ~TRecordSteps() { Steps = Matcher.Steps_; }
    } record{matcher, steps};
    return matcher.Search(start);
}

namespace {

// How common a byte is in tool output, roughly: blanks and lower-case letters most, then digits
// and capitals, punctuation least.
int Commonness(unsigned char c) {
    if (c == ' ') return 3;
    if (c >= 'a' && c <= 'z') return 2;
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) return 1;
    return 0;
}

// Whether `text` occurs in `subject`: memchr finds each place of the literal's least common
// byte, and the literal is compared around it.
bool Contains(std::string_view subject, std::string_view text) {
    if (text.empty()) return true;
    if (text.size() > subject.size()) return false;
    // The most frequent required literal is one character (the colon of "file:line"): found by
    // memchr alone, without a comparison around it.
    if (text.size() == 1) return std::memchr(subject.data(), text[0], subject.size()) != nullptr;
    std::size_t pivot = 0;
    for (std::size_t i = 1; i < text.size(); ++i)
        if (Commonness(static_cast<unsigned char>(text[i])) < Commonness(static_cast<unsigned char>(text[pivot])))
            pivot = i;
    const char *first = subject.data() + pivot;
    const char *last = subject.data() + subject.size() - (text.size() - pivot);  // last place of the pivot
    for (const char *p = first; p <= last;) {
        const void *found = std::memchr(p, text[pivot], static_cast<std::size_t>(last - p + 1));
        if (found == nullptr) return false;
        const char *at = static_cast<const char *>(found);
        if (std::memcmp(at - pivot, text.data(), text.size()) == 0) return true;
        p = at + 1;
    }
    return false;
}

}  // namespace

inline bool TMatcher::RequiredLiteralsPresent(std::int32_t start) const {
    const TRequiredLiterals &required = *In_.Required;
    const std::string_view subject(reinterpret_cast<const char *>(Input_) + start,
                                   static_cast<std::size_t>(InputEnd_ - start));
    // An anchored match begins where the search does.
    if (!subject.starts_with(required.Prefix.View())) return false;
    const std::string_view last = required.Last.View();
    if (!Contains(subject, last)) return false;
    const std::string_view longest = required.Longest.View();
    return longest == last || Contains(subject, longest);
}

// Works out the characters an anchored program's way in can begin with, at its first use.
void TMatcher::FindAnchorStarts() {
    using TState = TMatcherMemory::TAnchorStarts;
    Memory_.AnchorStarts_.fill(0);
    int budget = 64;
    const TCharWalk walk{Program_, ProgramSize_, *In_.CaseTable};
    const bool known = walk.AddChainStarts(1, Memory_.AnchorStarts_.data(), budget);
    Memory_.AnchorStartsState_ = known ? TState::Known : TState::None;
}

inline bool TMatcher::Search(std::int32_t start) {
    // An anchored program's test of the first character pays for itself only over many
    // executions: it is worked out at the second and comes before the scans for the literals from
    // then on. A program compiled for one line runs once, and its one attempt fails as early.
    const bool startWorthTesting = In_.AnchoredStart && Memory_.Executions_++ > 0;
    // The bounds are cleared once: an attempt that fails puts back every bound it set.
    Sub_.Clear();
    if ((startWorthTesting && !AnchoredStartPossible(start)) || !RequiredLiteralsPresent(start)) return false;
    return Attempts(start);
}

// The attempts of a search that its refusals let through. A function of its own, so that a refused
// subject pays for none of its set-up.
bool TMatcher::Attempts(std::int32_t start) {
    if (Memory_.BackPassEpoch_ == UINT32_MAX) {
        Memory_.BackPassPos_.clear();  // made again, all unset, when a "back" node needs it
        Memory_.BackPassEpoch_ = 0;
    }
    ++Memory_.BackPassEpoch_;  // every entry written before now reads as unset

    struct TCleanup {
        TFrameStack &Frames;
        ~TCleanup() { Frames.Trim(); }
    } cleanup{Memory_.Frames_};

    const std::int32_t length = InputEnd_;
    try {
        if (In_.AnchoredStart) return TryMatch(start);
        if (In_.StartChar != 0) {
            for (std::int32_t p = start; p < length; ++p) {
                const void *found = std::memchr(Input_ + p, In_.StartChar, static_cast<std::size_t>(length - p));
                if (found == nullptr) return false;
                p = static_cast<std::int32_t>(static_cast<const unsigned char *>(found) - Input_);
                if (TryMatch(p)) return true;
                if (Aborted_) return false;
            }
            return false;
        }
        const std::bitset<256> &starts = *In_.StartCharSet;
        for (std::int32_t p = start; p < length; ++p) {
            if (!starts.test(Input_[p])) continue;
            if (TryMatch(p)) return true;
            if (Aborted_) return false;
        }
        return false;
    } catch (...) {
        // An interrupted execution leaves no half-set sub-matches behind.
        Sub_.Clear();
        throw;
    }
}

inline bool TMatcher::TryMatch(std::int32_t pos) {
    ScanPos_ = pos;
    Memory_.Frames_.Clear();
    const bool matched = MatchPrim(1);
    Memory_.Frames_.Clear();
    if (matched) {
        Sub_.Start[0] = pos;
        Sub_.End[0] = ScanPos_;
    } else if (Aborted_ || BoundsUnrecorded_) {
        Sub_.Clear();
        BoundsUnrecorded_ = false;
    }
    return matched;
}

// --- The node loop ---------------------------------------------------------------------------

// The position and the step count live in locals while the loop runs (`pos`, `steps`), so that
// neither is stored and loaded again at every node: the helpers that read or change them (the
// repeats, the loops, resuming a frame) get them through `ScanPos_` and `Steps_`, handed over
// before the call and taken back after it.
bool TMatcher::MatchPrim(std::int32_t node) {
    const std::uint8_t *program = Program_;
    const unsigned char *input = Input_;
    const std::int32_t end = InputEnd_;
    const std::int64_t stepLimit = StepLimit_;
    TFrameStack &frames = Memory_.Frames_;
    const std::size_t base = frames.Size();
    std::int32_t pos = ScanPos_;
    std::int64_t steps = Steps_;
    auto handOver = [&] {
        ScanPos_ = pos;
        Steps_ = steps;
    };
    auto takeBack = [&] {
        pos = ScanPos_;
        steps = Steps_;
    };

    for (;;) {
        if (++steps > stepLimit) [[unlikely]] {
            handOver();
            return StopExecution(ErrStepLimit);
        }
        // A chain that ends early leads to node 0, the program's signature byte, which is no
        // opcode: the switch's default case reports it.
        {
            const TOpCode op = program[node];
            const std::int32_t next = FollowLink(node);
            const std::uint8_t *operand = NodeOperand(program, node);
            switch (op) {
            case OpEnd:
                handOver();
                return true;
            case OpInputStart:
                if (pos != InputStart_) goto fail;
                break;
            case OpInputEnd:
                if (pos != end) goto fail;
                break;
            case OpAny:
                if (pos >= end) goto fail;
                ++pos;
                break;
            case OpAnyInLine: {
                if (pos >= end) goto fail;
                const unsigned char c = input[pos];
                if (In_.PairAssigned && c == In_.PairHead && CharAt(pos + 1) == In_.PairTail) goto fail;
                if (In_.LineSeparatorSet->test(c)) goto fail;
                ++pos;
                break;
            }
            case OpLineStart:
                if (!LineStartAt(pos)) goto fail;
                break;
            case OpLineEnd:
                if (!LineEndAt(pos)) goto fail;
                break;
            case OpWordBound:
            case OpNotWordBound: {
                const bool boundary = IsWordChar(pos - 1) != IsWordChar(pos);
                if (boundary != (op == OpWordBound)) goto fail;
                break;
            }
            case OpLiteral: {
                std::int32_t at = pos;
                for (const std::uint8_t *p = operand; *p != 0; ++p, ++at)
                    if (at >= end || input[at] != *p) goto fail;
                pos = at;
                break;
            }
            case OpLiteralNoCase: {
                std::int32_t at = pos;
                for (const std::uint8_t *p = operand; *p != 0; ++p, ++at)
                    if (at >= end || (input[at] != *p && input[at] != (*In_.CaseTable)[*p])) goto fail;
                pos = at;
                break;
            }
            case OpDigit:
                if (pos >= end || !IsDigitChar(input[pos])) goto fail;
                ++pos;
                break;
            case OpNonDigit:
                if (pos >= end || IsDigitChar(input[pos])) goto fail;
                ++pos;
                break;
            case OpSmallSet:
                if (pos >= end || !InSmallSet(operand, input[pos])) goto fail;
                ++pos;
                break;
            case OpNotSmallSet:
                if (pos >= end || InSmallSet(operand, input[pos])) goto fail;
                ++pos;
                break;
            case OpByteSet:
                if (pos >= end || !InByteSet(operand, input[pos])) goto fail;
                ++pos;
                break;
            case OpBackRef:
            case OpBackRefNoCase: {
                const int group = operand[0];
                if (group > MaxGroups || Sub_.Start[group] < 0 || Sub_.End[group] < 0) goto fail;
                const std::int32_t from = Sub_.Start[group];
                const std::int32_t length = std::max(0, Sub_.End[group] - from);
                if (length > end - pos) goto fail;
                steps += length / ScanCharsPerStep;
                for (std::int32_t i = 0; i < length; ++i) {
                    const unsigned char q = input[from + i];
                    const unsigned char x = input[pos + i];
                    if (x != q && (op == OpBackRef || x != (*In_.CaseTable)[q])) goto fail;
                }
                pos += length;
                break;
            }
            case OpBack: {
                // A pass that comes back here where the last one did consumed nothing: going
                // round again would never end.
                PrepareBackPasses();
                const std::int32_t last = BackPassAt(node);
                if (last == pos) goto fail;
                if (!PushFrame(FrameBackPass, node, 0, last, 0)) return Abandon(pos, steps);
                SetBackPass(node, pos);
                break;
            }
            case OpEmpty:
            case OpComment:
                break;
            case OpBranch:
                if (HasNextAlternative(node)) {
                    // The first alternative that can begin here; a frame offers those after it.
                    node = PossibleAlternative(node, pos);
                    if (HasNextAlternative(node) && !PushFrame(FrameBranch, node, pos, 0, 0))
                        return Abandon(pos, steps);
                }
                node = NodeAfterHeader(node);  // the alternative's first node
                continue;
            case OpStar:
            case OpPlus:
            case OpBraces:
            case OpStarLazy:
            case OpPlusLazy:
            case OpBracesLazy: {
                std::int32_t resumeAt = 0;
                handOver();
                const bool started = StartRepeat(node, resumeAt);
                takeBack();
                if (!started) {
                    if (Aborted_) return false;
                    goto fail;
                }
                node = resumeAt;
                continue;
            }
            case OpLoopEntry: {
                const std::int32_t depth = LoopDepth_ + 1;
                if (depth > LoopStackSize) {
                    ReportError(ErrLoopStackExceeded);
                    goto fail;
                }
                if (depth > LoopSlotsSet_) {
                    LoopStack_[depth] = 0;
                    LoopPassStart_[depth] = -1;
                    LoopSlotsSet_ = depth;
                }
                if (!PushFrame(FrameLoopEntry, depth, pos, LoopStack_[depth], LoopPassStart_[depth]))
                    return Abandon(pos, steps);
                LoopDepth_ = depth;
                LoopStack_[depth] = 0;
                LoopPassStart_[depth] = -1;
                break;
            }
            case OpLoop:
            case OpLoopLazy: {
                const std::int32_t depth = LoopDepth_;
                if (depth <= 0) {
                    ReportError(ErrLoopWithoutEntry);
                    goto fail;
                }
                handOver();
                const std::int32_t passes = LoopStack_[depth];
                const std::int32_t min = CountMin(program, node);
                const std::int32_t max = CountMax(program, node);
                const bool bodyFirst = passes < max && (passes < min || op == OpLoop) &&
                                       !EndlessEmptyPass(depth, passes, min, max);
                std::int32_t resumeAt = 0;
                const bool started = bodyFirst ? StartLoopBody(node, resumeAt)
                                               : StartLoopContinuation(node, resumeAt);
                takeBack();
                if (!started) {
                    if (Aborted_) return false;
                    goto fail;
                }
                node = resumeAt;
                continue;
            }
            default:
                if (IsOpenOp(op)) {
                    if (!RecordBound(Sub_.Start, op - OpOpen, base)) return Abandon(pos, steps);
                    Sub_.Start[op - OpOpen] = pos;
                    break;
                }
                if (IsCloseOp(op)) {
                    if (!RecordBound(Sub_.End, op - OpClose, base)) return Abandon(pos, steps);
                    Sub_.End[op - OpClose] = pos;
                    break;
                }
                static_assert(ProgramSignature > OpClose + MaxGroups, "node 0 is no opcode");
                ReportError(node == 0 ? ErrBrokenLink : ErrBadOpcode);
                goto fail;
            }
            node = next;
            continue;
        }

    fail:
        for (;;) {
            if (frames.Size() == base) {
                handOver();
                return false;
            }
            if (++steps > stepLimit) [[unlikely]] {
                handOver();
                return StopExecution(ErrStepLimit);
            }
            const TFrame frame = frames.Pop();
            // Group bounds are the most frequent records: put back here, without a call.
            if (frame.Kind == FrameSubStart) {
                Sub_.Start[frame.Node] = frame.A;
                continue;
            }
            if (frame.Kind == FrameSubEnd) {
                Sub_.End[frame.Node] = frame.A;
                continue;
            }
            handOver();
            const bool resumed = ResumeFrame(frame, node);
            takeBack();
            if (resumed) break;
            if (Aborted_) return false;
        }
    }
}

// Whether the alternative that begins at `node` may match at `pos`: false only when the nodes
// along it, up to its first choice or node of another kind, hold a literal or a one-character
// test that the text there fails. Those nodes are followed as the node loop would (group starts
// and ends, empty nodes and branches with one alternative consume nothing; literals and character
// tests move on by their length), a few at most, so that an alternation whose alternatives begin
// differently tries only those that fit, without a frame for each of the others: an optional
// drive letter (`([A-Za-z]:)?`) is passed over on a line whose second character is no colon.
inline bool TMatcher::AlternativeMayStart(std::int32_t node, std::int32_t pos) const {
    constexpr int LookedAt = 6;
    for (int looked = 0; looked < LookedAt && node != 0; ++looked) {
        const TOpCode op = Program_[node];
        const std::uint8_t *operand = NodeOperand(Program_, node);
        switch (op) {
        case OpLiteral:
            for (const std::uint8_t *p = operand; *p != 0; ++p, ++pos)
                if (pos >= InputEnd_ || Input_[pos] != *p) return false;
            break;
        case OpByteSet:
        case OpSmallSet:
        case OpNotSmallSet:
        case OpDigit: {
            if (pos >= InputEnd_) return false;
            const unsigned char c = Input_[pos++];
            const bool fits = op == OpByteSet       ? InByteSet(operand, c)
                              : op == OpSmallSet    ? InSmallSet(operand, c)
                              : op == OpNotSmallSet ? !InSmallSet(operand, c)
                                                    : IsDigitChar(c);
            if (!fits) return false;
            break;
        }
        case OpEmpty:
            break;
        case OpBranch:
            if (HasNextAlternative(node)) return true;
            node = NodeAfterHeader(node);
            continue;
        default:
            if (!IsOpenOp(op) && !IsCloseOp(op)) return true;
            break;
        }
        node = FollowLink(node);
    }
    return true;
}

// From the alternative of `branch` (an OpBranch) on, the first whose beginning fits the character
// at `pos`, or the last one: that one needs no frame, and fails by itself where it does not fit.
inline std::int32_t TMatcher::PossibleAlternative(std::int32_t branch, std::int32_t pos) const {
    while (HasNextAlternative(branch) && !AlternativeMayStart(NodeAfterHeader(branch), pos))
        branch = FollowLink(branch);
    return branch;
}

// A group bound about to change needs a record to be put back only while a choice point is open
// below it: without one, a failure ends the attempt, and the attempt's bounds are cleared as a
// whole (`BoundsUnrecorded_`).
inline bool TMatcher::RecordBound(const std::array<std::int32_t, SubMatchSlots> &bounds, int group,
                                  std::size_t base) {
    if (Memory_.Frames_.Size() == base) {
        BoundsUnrecorded_ = true;
        return true;
    }
    const bool isStart = &bounds == &Sub_.Start;
    return PushFrame(isStart ? FrameSubStart : FrameSubEnd, group, 0, bounds[static_cast<std::size_t>(group)], 0);
}

// Leaves the node loop after an error that stopped the execution, keeping the position and steps.
inline bool TMatcher::Abandon(std::int32_t pos, std::int64_t steps) {
    ScanPos_ = pos;
    Steps_ = steps;
    return false;
}

bool TMatcher::ResumeFrame(const TFrame &frame, std::int32_t &node) {
    switch (frame.Kind) {
    case FrameBranch: {
        ScanPos_ = frame.Pos;
        const std::int32_t branch = PossibleAlternative(FollowLink(frame.Node), frame.Pos);
        if (HasNextAlternative(branch) && !PushFrame(FrameBranch, branch, frame.Pos, 0, 0)) return false;
        node = NodeAfterHeader(branch);
        return true;
    }
    case FrameSubStart:
        Sub_.Start[frame.Node] = frame.A;
        return false;
    case FrameSubEnd:
        Sub_.End[frame.Node] = frame.A;
        return false;
    case FrameRepeatGreedy:  // Node: the repeat's hint
        return NextRepeatAttempt(frame.Node, frame.Pos, frame.A - 1, frame.B, node);
    case FrameRepeatLazy:
        return NextRepeatAttempt(frame.Node, frame.Pos, frame.A + 1, frame.B, node);
    case FrameLoopEntry:
        LoopStack_[frame.Node] = frame.A;
        LoopPassStart_[frame.Node] = frame.B;
        LoopDepth_ = frame.Node - 1;
        ScanPos_ = frame.Pos;
        return false;
    case FrameLoopBody: {
        LoopStack_[LoopDepth_] = frame.A;
        LoopPassStart_[LoopDepth_] = frame.B;
        ScanPos_ = frame.Pos;
        if (Program_[frame.Node] != OpLoop) return false;
        if (frame.A < CountMin(Program_, frame.Node)) return false;
        return StartLoopContinuation(frame.Node, node);
    }
    case FrameLoopExit: {
        LoopDepth_ = frame.A;
        ScanPos_ = frame.Pos;
        if (Program_[frame.Node] != OpLoopLazy) return false;
        const std::int32_t passes = LoopStack_[LoopDepth_];
        const std::int32_t max = CountMax(Program_, frame.Node);
        const std::int32_t min = CountMin(Program_, frame.Node);
        if (passes >= max || EndlessEmptyPass(LoopDepth_, passes, min, max)) return false;
        return StartLoopBody(frame.Node, node);
    }
    case FrameBackPass:
        SetBackPass(frame.Node, frame.A);
        return false;
    default:
        return false;
    }
}

// --- Counted loops ----------------------------------------------------------------------------

// A loop without a finite maximum whose last pass matched nothing, once it has its minimum: more
// passes would match nothing again and again, so the loop only goes on after it. A loop with a
// finite maximum makes every pass its counter allows, empty or not.
bool TMatcher::EndlessEmptyPass(std::int32_t depth, std::int32_t passes, std::int32_t min,
                                std::int32_t max) const {
    return max == BracesLimit && passes >= min && passes > 0 && LoopPassStart_[depth] == ScanPos_;
}

bool TMatcher::StartLoopBody(std::int32_t loop, std::int32_t &resumeAt) {
    const std::int32_t depth = LoopDepth_;
    const std::int64_t body = std::int64_t(loop) + LoopBodyOffset(Program_, loop);
    if (body < 1 || body >= static_cast<std::int64_t>(ProgramSize_)) return ReportError(ErrBrokenLink);
    if (!PushFrame(FrameLoopBody, loop, ScanPos_, LoopStack_[depth], LoopPassStart_[depth]))
        return false;
    ++LoopStack_[depth];
    LoopPassStart_[depth] = ScanPos_;
    resumeAt = static_cast<std::int32_t>(body);
    return true;
}

bool TMatcher::StartLoopContinuation(std::int32_t loop, std::int32_t &resumeAt) {
    if (!PushFrame(FrameLoopExit, loop, ScanPos_, LoopDepth_, 0)) return false;
    --LoopDepth_;
    resumeAt = FollowLink(loop);
    return true;
}

// --- Simple repeats ---------------------------------------------------------------------------

inline bool TMatcher::StartRepeat(std::int32_t node, std::int32_t &resumeAt) {
    const std::int32_t hintIndex = RepeatHintFor(node);
    const TRepeatHint &hint = Memory_.RepeatHints_[static_cast<std::size_t>(hintIndex)];
    const std::int32_t saved = ScanPos_;
    if (hint.BackRef) {
        const int group = BackRefGroup(Program_, hint.Operand);
        const bool set = group <= MaxGroups && Sub_.Start[group] >= 0 && Sub_.End[group] >= 0;
        if (set && Sub_.End[group] <= Sub_.Start[group]) {
            // Repetitions of an empty text all end where they start: one attempt there.
            return NextRepeatAttempt(hintIndex, saved, hint.Min, hint.Min, resumeAt);
        }
    }
    const std::int32_t count = RegRepeat(hint.Operand, hint.Max);
    ScanPos_ = saved;
    if (count < hint.Min) return false;
    if (hint.Lazy) return NextRepeatAttempt(hintIndex, saved, hint.Min, count, resumeAt);
    if (hint.Disjoint) return OnlyLongestCount(hint, saved + count, resumeAt);
    return NextRepeatAttempt(hintIndex, saved, count, hint.Min, resumeAt);
}

// A greedy repeat whose operand matches none of the characters its continuation can begin with:
// every count but the longest would fail at the continuation's first character, so the longest
// is the one attempt, and it leaves no choice behind. `end` is where that count ends.
inline bool TMatcher::OnlyLongestCount(const TRepeatHint &hint, std::int32_t end, std::int32_t &resumeAt) {
    if (end < InputEnd_ && !InByteSet(hint.Starts.data(), Input_[end])) return false;
    ++Steps_;
    ScanPos_ = end;
    resumeAt = hint.Next;
    return true;
}

// Looks for the next repetition count worth an attempt, starting at `count`: greedy repeats go
// down to `limit` (their minimum), lazy ones up to it (the count found).
bool TMatcher::NextRepeatAttempt(std::int32_t hintIndex, std::int32_t saved, std::int32_t count,
                                 std::int32_t limit, std::int32_t &resumeAt) {
    const TRepeatHint &hint = Memory_.RepeatHints_[static_cast<std::size_t>(hintIndex)];
    std::int32_t step = 1;
    if (hint.BackRef) {
        const int group = BackRefGroup(Program_, hint.Operand);
        step = group <= MaxGroups && Sub_.Start[group] >= 0 ? std::max(0, Sub_.End[group] - Sub_.Start[group]) : 0;
    }
    if (hint.Lazy && hint.Disjoint && count < limit) {
        // The counts below the one found would each fail at the continuation's first character.
        count = limit;
    }
    const unsigned char *input = Input_;
    const std::int32_t end = InputEnd_;
    if (hint.Filtered && step == 1) {
        // One scan over the counts whose next character the continuation cannot start with; the
        // loop below then meets the first count worth an attempt, or runs out of counts.
        const std::int32_t from = count;
        std::int32_t pos = saved + count;
        if (hint.Lazy) {
            const std::int32_t last = std::min(saved + limit, end - 1);
            if (hint.Single >= 0 && pos <= last) {
                const void *found = std::memchr(input + pos, hint.Single, static_cast<std::size_t>(last - pos + 1));
                pos = found ? static_cast<std::int32_t>(static_cast<const unsigned char *>(found) - input) : last + 1;
                ChargeFastScan(std::max(0, std::min(pos - saved, limit) - from));
            } else {
                while (pos <= last && !InByteSet(hint.Starts.data(), input[pos])) ++pos;
                ChargeScan(std::max(0, std::min(pos - saved, limit) - from));
            }
            count = pos - saved;
        } else if (pos < end) {
            const std::int32_t low = saved + limit;
            while (pos >= low && !InByteSet(hint.Starts.data(), input[pos])) --pos;
            count = pos - saved;
            ChargeScan(std::max(0, from - std::max(count, limit)));
        }
    }
    const std::int32_t direction = hint.Lazy ? 1 : -1;
    for (;; count += direction) {
        if (hint.Lazy ? count > limit : count < limit) return false;
        ++Steps_;
        const std::int32_t pos = static_cast<std::int32_t>(saved + std::int64_t(count) * step);
        if (hint.Filtered && pos < end && !InByteSet(hint.Starts.data(), input[pos])) continue;
        if (count != limit && !PushFrame(hint.Lazy ? FrameRepeatLazy : FrameRepeatGreedy, hintIndex,
                                         saved, count, limit))
            return false;
        ScanPos_ = pos;
        resumeAt = hint.Next;
        return true;
    }
}

// The lookup of a hint that its slot does not name: the hint is found in the list (or its index)
// or made, and the slot of its node names it from now on.
std::int32_t TMatcher::FindRepeatHint(std::int32_t node) {
    std::int32_t found = -1;
    if (!Memory_.RepeatHintIndex_.empty()) {
        found = Memory_.RepeatHintIndex_[static_cast<std::size_t>(node)];
    } else {
        for (std::size_t i = 0; i < Memory_.RepeatHints_.size() && found < 0; ++i)
            if (Memory_.RepeatHints_[i].Node == node) found = static_cast<std::int32_t>(i);
    }
    if (found < 0) found = MakeRepeatHint(node);
    // A hint whose index a slot cannot hold is always found the slower way.
    if (found <= UINT8_MAX)
        Memory_.RepeatHintSlot_[static_cast<std::size_t>(node) % TMatcherMemory::RepeatHintSlots] =
            static_cast<std::uint8_t>(found);
    return found;
}

// Works out the hint of the repeat at `node` and adds it to the program's hints.
std::int32_t TMatcher::MakeRepeatHint(std::int32_t node) {
    const std::uint8_t *program = Program_;
    const TOpCode op = program[node];
    TRepeatHint hint{};
    hint.Node = node;
    hint.Operand = RepeatOperandNode(op, node);
    hint.Min = RepeatMin(program, node);
    hint.Max = IsBracesOp(op) ? CountMax(program, node) : RepeatLimit;
    hint.Lazy = op == OpStarLazy || op == OpPlusLazy || op == OpBracesLazy;
    hint.BackRef = IsBackRefOp(program[hint.Operand]);
    hint.Next = NextNode(node);

    int budget = 64;
    const TCharWalk walk{Program_, ProgramSize_, *In_.CaseTable};
    hint.Filtered = walk.AddChainStarts(hint.Next, hint.Starts.data(), budget);
    if (hint.Filtered) {
        std::array<std::uint8_t, ByteSetSize> operandChars{};
        bool overlap = hint.BackRef || !walk.AddNodeChars(hint.Operand, operandChars.data());
        const TSetWords starts = SetWords(hint.Starts.data());
        const TSetWords operandWords = SetWords(operandChars.data());
        // Whether exactly one bit is set: one word holds bits, and only one.
        int wordsWithBits = 0;
        bool oneBit = true;
        for (std::size_t i = 0; i < starts.size(); ++i) {
            overlap = overlap || (operandWords[i] & starts[i]) != 0;
            wordsWithBits += starts[i] != 0;
            oneBit = oneBit && (starts[i] & (starts[i] - 1)) == 0;
        }
        hint.Disjoint = !overlap;
        hint.Single = -1;
        if (wordsWithBits == 1 && oneBit) {
            int i = 0;
            while (hint.Starts[i] == 0) ++i;
            hint.Single = i * 8 + std::countr_zero(hint.Starts[i]);
        }
    } else {
        hint.Single = -1;
    }
    Memory_.RepeatHints_.push_back(hint);
    const auto index = static_cast<std::int32_t>(Memory_.RepeatHints_.size() - 1);
    if (!Memory_.RepeatHintIndex_.empty()) {
        Memory_.RepeatHintIndex_[static_cast<std::size_t>(node)] = index;
    } else if (Memory_.RepeatHints_.size() > TMatcherMemory::LinearRepeatHints) {
        // Past a few repeats a search through the list would cost every repeat attempt more than
        // a step's worth: an index by node keeps the lookup constant, and the step limit a bound
        // in time as well.
        Memory_.RepeatHintIndex_.assign(static_cast<std::size_t>(ProgramSize_), -1);
        for (std::size_t i = 0; i < Memory_.RepeatHints_.size(); ++i)
            Memory_.RepeatHintIndex_[static_cast<std::size_t>(Memory_.RepeatHints_[i].Node)] = static_cast<std::int32_t>(i);
    }
    return index;
}

std::int32_t TMatcher::RegRepeat(std::int32_t node, std::int32_t max) {
    const std::uint8_t *program = Program_;
    const unsigned char *input = Input_;
    const std::uint8_t *operand = NodeOperand(program, node);
    const std::int32_t limit = std::min(max, InputEnd_ - ScanPos_);
    const std::int32_t from = ScanPos_;
    std::int32_t count = 0;
    auto countWhile = [&](auto &&accepts) {
        while (count < limit && accepts(input[from + count])) ++count;
    };
    switch (program[node]) {
    case OpAny:
        ScanPos_ = from + limit;  // nothing to look at
        return limit;
    case OpLiteral: {
        const unsigned char c = operand[0];
        countWhile([c](unsigned char x) { return x == c; });
        break;
    }
    case OpLiteralNoCase: {
        const unsigned char c = operand[0];
        const unsigned char partner = (*In_.CaseTable)[c];
        countWhile([c, partner](unsigned char x) { return x == c || x == partner; });
        break;
    }
    case OpDigit:
        countWhile([](unsigned char x) { return IsDigitChar(x); });
        break;
    case OpNonDigit:
        countWhile([](unsigned char x) { return !IsDigitChar(x); });
        break;
    case OpSmallSet:
        countWhile([operand](unsigned char x) { return InSmallSet(operand, x); });
        break;
    case OpNotSmallSet:
        if (operand[0] == operand[2]) {
            // One excluded character ("[^:]"): the run ends at its next occurrence.
            const void *found = std::memchr(input + from, operand[0], static_cast<std::size_t>(std::max(limit, 0)));
            count = found ? static_cast<std::int32_t>(static_cast<const unsigned char *>(found) - (input + from))
                          : std::max(limit, 0);
            ChargeFastScan(count);
            ScanPos_ = from + count;
            return count;
        }
        count = FindSmallSetChar(input + from, std::max(limit, 0), operand);
        break;
    case OpByteSet:
        countWhile([operand](unsigned char x) { return InByteSet(operand, x); });
        break;
    case OpBackRef:
    case OpBackRefNoCase: {
        const int group = operand[0];
        if (group > MaxGroups || Sub_.Start[group] < 0 || Sub_.End[group] < 0) return 0;
        const std::int32_t start = Sub_.Start[group];
        const std::int32_t length = Sub_.End[group] - start;
        if (length <= 0) return 0;
        const bool noCase = program[node] == OpBackRefNoCase;
        std::int32_t pos = from;
        while (count < max && length <= InputEnd_ - pos) {
            std::int32_t i = 0;
            for (; i < length; ++i) {
                const unsigned char q = input[start + i];
                const unsigned char x = input[pos + i];
                if (x != q && (!noCase || x != (*In_.CaseTable)[q])) break;
            }
            if (i < length) break;
            pos += length;
            ++count;
        }
        ChargeScan(pos - from);
        ScanPos_ = pos;
        return count;
    }
    default:
        ReportError(ErrRepeatOperand);
        return 0;
    }
    ChargeScan(count);
    ScanPos_ = from + count;
    return count;
}

// --- Start characters -------------------------------------------------------------------------

bool CollectStartChars(std::span<const std::uint8_t> program, std::int32_t start,
                       const std::array<unsigned char, 256> &caseTable, std::bitset<256> &set) {
    const TCharWalk walk{program.data(), static_cast<std::int32_t>(program.size()), caseTable};
    const std::int32_t size = walk.Size;
    // What a walk from a node adds depends on the node alone, so each node is walked once: that
    // ends loops whose body can match nothing and keeps the walk linear.
    std::vector<bool> visited(program.size(), false);
    std::vector<std::int32_t> pending{start};
    // The characters found, packed as a byte-set operand is, so that sets are added a byte at a
    // time; they join `set` when the walk ends.
    std::array<std::uint8_t, ByteSetSize> found{};
    auto flush = [&set, &found] {
        std::bitset<256> bits;
        for (int i = ByteSetSize - 1; i >= 0; --i) {
            bits <<= 8;
            bits |= std::bitset<256>(found[i]);
        }
        set |= bits;
        found.fill(0);
    };
    while (!pending.empty()) {
        std::int32_t node = pending.back();
        pending.pop_back();
        while (node > 0 && node < size && !visited[node]) {
            visited[node] = true;
            const TOpCode op = program[node];
            const std::int32_t next = LinkedNode(program.data(), size, node);
            std::int32_t goOn = 0;
            switch (op) {
            case OpEnd:
                break;
            case OpBackRef:
            case OpBackRefNoCase:
                found.fill(0xFF);
                break;
            case OpAny:
            case OpAnyInLine:
            case OpLiteral:
            case OpLiteralNoCase:
            case OpDigit:
            case OpNonDigit:
            case OpSmallSet:
            case OpNotSmallSet:
            case OpByteSet:
                walk.AddNodeChars(node, found.data());  // the compiler writes no empty literal
                break;
            case OpLoopEntry:
                goOn = next;
                break;
            case OpBranch:
                if (next == 0 || program[next] != OpBranch) {
                    goOn = NodeAfterHeader(node);
                    break;
                }
                for (std::int32_t branch = node; branch != 0 && program[branch] == OpBranch;
                     branch = LinkedNode(program.data(), size, branch))
                    pending.push_back(NodeAfterHeader(branch));
                break;
            case OpLoop:
            case OpLoopLazy:
                pending.push_back(static_cast<std::int32_t>(std::int64_t(node) + LoopBodyOffset(program.data(), node)));
                if (CountMin(program.data(), node) == 0) pending.push_back(next);
                break;
            case OpStar:
            case OpStarLazy:
                pending.push_back(RepeatOperandNode(op, node));
                goOn = next;
                break;
            case OpPlus:
            case OpPlusLazy:
                pending.push_back(RepeatOperandNode(op, node));
                break;
            case OpBraces:
            case OpBracesLazy:
                pending.push_back(RepeatOperandNode(op, node));
                if (CountMin(program.data(), node) == 0) goOn = next;
                break;
            case OpInputStart:
            case OpInputEnd:
            case OpLineStart:
            case OpLineEnd:
            case OpWordBound:
            case OpNotWordBound:
            case OpBack:
            case OpEmpty:
            case OpComment:
                goOn = next;
                break;
            default:
                if (IsOpenOp(op) || IsCloseOp(op)) {
                    goOn = next;
                    break;
                }
                flush();
                return false;
            }
            node = goOn;
        }
    }
    flush();
    return true;
}

}  // namespace regexpr
