// RegExpr: Kilnrun's own regular-expression engine, `TRegExpr`, and its exception `ERegExpr`.
//
// The engine compiles an expression into a byte program (RegExprProgram.h) with the compiler
// stage (RegExprCompiler.h), derives search hints from it, and runs it with the backtracking
// matcher stage (RegExprMatcher.h), one made for each execution. It depends on nothing but the C++ standard library: case folding comes
// from a case function that the caller hands to it (the process-wide default is ASCII-only).
//
// Typical use:
//     regexpr::TRegExpr re;
//     re.SetExpression("^.*?(\\d+)");
//     if (re.Exec(line) && re.SubMatchCount() >= 1) use(re.Match(1));
// Every failure raises `ERegExpr`.
//
// Decisions the engine makes where a plain backtracking design would go wrong:
// - Backtracking state lives on the heap: the matcher is one loop over an explicit stack of
//   choice points and undo records, so neither the expression nor the subject can overflow the
//   native stack (a 1 MB line under "(a|b)*c" runs on the 1 MB main thread stack of a Windows
//   host). The stack is bounded by `BacktrackLimit` frames (error 1016), about 20 bytes each.
// - Work is bounded per execution: every node visited, every backtrack and every repetition
//   count tried is a step; characters that a repeat counts, a scan for the next count worth
//   trying passes over or a back-reference compares cost one step per 4
//   (`TMatcher::ScanCharsPerStep`),
//   one per 64 where a memchr scan passes over them, and "." counted by a repeat costs nothing,
//   since it looks at no character: the bound stays one in time. An execution that
//   takes more than `StepLimit` steps (default 50 million, under a second on a desktop machine)
//   stops with error 1017, so catastrophic backtracking ("(a|aa)*b" against 256 "a" followed by
//   "cb") ends instead of running for ages, while a search that ends on its own in that time is
//   never cut short ("a.{1000}b" over a megabyte of "a" finds no match). Ordinary matches take a
//   few steps per character: a 1 MB line under "((a)|(b))*c" takes about 12 million.
// - Repeats of a back-reference ("\1*", "\1{2,5}") step back by whole repetitions of the group's
//   text, so every position tried lies inside the input; a group that captured the empty text
//   is "repeated" exactly once, at the position where the repeat starts, instead of being counted
//   up to the maximum.
// - A loop pass that consumes nothing ends the loop: a greedy "*"/"+" loop whose body comes back
//   to its jump node at the position where it was last there fails that path (so "(a{0,1})*" or
//   "(\1)*" over an empty group cannot loop forever), and a loop without a finite maximum
//   ("{2,}", a non-greedy "*" or "+" around a group) whose last pass matched the empty text, once
//   it has its minimum, only tries to leave, since further passes would match the same nothing.
//   A loop with a finite maximum makes every pass its counter allows, empty or not: in
//   "(a{0,1}?){2}b" on "ab" the second pass may take the "a" that the first left.
// - Loop counters are restored exactly when the matcher backtracks (an entered loop that fails
//   gives back the counter value it replaced), so a failed path that left one loop and entered a
//   sibling loop at the same depth cannot change the count of the first.
// - The start-character walk visits each node once, so it ends on loops whose body can match the
//   empty text ("(b*)??x") and stays linear on any program.
// - "\x00" (or "\x{}") outside a class compiles to a three-NUL OpSmallSet, a test that never
//   succeeds, like "[\x00]": a NUL inside an OpLiteral would end the string early and leave a
//   stray byte in the program, and the subject never holds a NUL anyway.
// - The paired line separator only counts while one is assigned.
// - Positions are 32-bit: a subject longer than 2147483646 characters is refused (error 1018).
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "regexpr/RegExprByteBlock.h"
#include "regexpr/RegExprCharLists.h"
#include "regexpr/RegExprErrors.h"
#include "regexpr/RegExprModifiers.h"
#include "regexpr/RegExprProgram.h"
#include "regexpr/RegExprSubMatches.h"

namespace regexpr {

/// Raised for every syntax error and every execution error. what() is the message text.
class ERegExpr : public std::runtime_error {
public:
    ERegExpr(const std::string &message, std::int32_t code, std::int32_t pos)
        : std::runtime_error(message), Code(code), Pos(pos) {}

    /// The error code (the `ErrorText` table).
    std::int32_t Code;
    /// Bytes of the expression before the parse position, for errors raised while compiling;
    /// 0 otherwise.
    std::int32_t Pos;
};

/// The case function: returns the case-inverted partner of `c` (its upper-case form if that
/// differs from `c`, else its lower-case form). `context` is the value bound with it.
using TCasePartnerFunc = unsigned char (*)(void *context, unsigned char c);

/// A case function bound to its context value.
struct TCasePartner {
    TCasePartnerFunc Func = nullptr;
    void *Context = nullptr;

    unsigned char operator()(unsigned char c) const { return Func ? Func(Context, c) : c; }
};

/// The default case function: swaps the case of the ASCII letters only.
unsigned char AsciiCasePartner(void *context, unsigned char c);

/// Settings that every new `TRegExpr` takes (a list equal to its standard text is shared, any
/// other copied). They are process-wide: set them at start-up (the plug-in installs its
/// platform's case function here) and not while objects are being made.
struct TRegExprDefaults {
    bool ModifierI = false;
    bool ModifierR = true;
    bool ModifierS = true;
    bool ModifierG = true;
    bool ModifierM = false;
    std::string SpaceList{StandardSpaceList};
    std::string WordList{StandardWordList};
    std::string LineSeparatorList{StandardLineSeparators};
    std::string LinePairedSeparator{StandardLineSeparators};
    TCasePartner CasePartner{&AsciiCasePartner, nullptr};
};

/// The process-wide defaults, for reading and for setting at start-up.
TRegExprDefaults &RegExprDefaults();

class TCompiler;
class TMatcherMemory;

/// A regular expression: its text, the program compiled from it, the subject of the last
/// execution and the sub-matches found there. One object serves one caller at a time.
class TRegExpr {
public:
    /// Default bound of `StepLimit`.
    static constexpr std::int64_t DefaultStepLimit = 50'000'000;
    /// Default bound of `BacktrackLimit`.
    static constexpr std::int32_t DefaultBacktrackLimit = 1 << 24;
    /// Longest subject accepted.
    static constexpr std::int32_t MaxInputLength = 0x7FFFFFFE;

    /// A new object takes the process-wide defaults: `Modifiers` is 14 (r, s, g) with them.
    TRegExpr();
    virtual ~TRegExpr();
    TRegExpr(const TRegExpr &) = delete;
    TRegExpr &operator=(const TRegExpr &) = delete;

    // --- Expression and program -------------------------------------------------------------

    /// Stores the expression (up to its first NUL; an empty text leaves none) and drops the
    /// program unless the same text is already compiled. Nothing is compiled here.
    void SetExpression(std::string_view text);
    /// The stored expression, or an empty view when there is none.
    std::string_view Expression() const;

    /// Compiles the stored expression now: error 1003 without one, a syntax error otherwise.
    void CompileExpression();
    /// Compiles `expression` (up to its first NUL) into the program; returns true on success.
    /// A syntax error raises `ERegExpr` through `Error` and leaves no program.
    bool CompileProgram(std::string_view expression);
    /// Makes sure a valid program exists before a match: recompiles when `Modifiers` changed
    /// since the program was compiled, rebuilds the line separator set, and checks the program's
    /// signature (error 1004). Returns whether a program is there.
    bool EnsureProgram();
    /// Releases the program; the next execution compiles again.
    void DropProgram();

    // --- Execution -------------------------------------------------------------------------

    /// Sets the subject to `text` (cut at its first NUL) and searches it from its start.
    bool Exec(std::string_view text);
    /// Searches the current subject from the 1-based character `offset`.
    bool ExecAt(std::int32_t offset);
    /// Sets the subject (cut at its first NUL) and clears the sub-matches.
    void SetInputString(std::string_view text);
    /// The current subject, or an empty view when none is set.
    std::string_view InputString() const;
    bool HasInputString() const { return !Subject_.empty(); }

    /// -1 without a subject; else the highest group number whose bounds are both set, 0 if none.
    std::int32_t SubMatchCount() const;
    /// The text of sub-match `n` (0: the whole match); empty when it is not set.
    std::string Match(std::int32_t n) const;
    /// The 0-based position of sub-match `n` in the subject, or -1 when it is not set.
    std::int32_t MatchPos(std::int32_t n) const;
    /// The length of sub-match `n`, or -1 when it is not set.
    std::int32_t MatchLen(std::int32_t n) const;

    // --- Settings --------------------------------------------------------------------------

    std::int32_t Modifiers() const { return Modifiers_; }
    /// Sets all modifier bits; the program follows at the next execution.
    void SetModifiers(std::int32_t modifiers) { Modifiers_ = modifiers; }
    /// Index 1 to 6 selects i, r, s, g, m, x; any other index is error 1013.
    void SetModifierByIndex(std::int32_t index, bool on);
    bool GetModifierByIndex(std::int32_t index);

    /// Two different characters set the pair, an empty text clears it; anything else is error 128.
    void SetLinePairedSeparator(std::string_view text);
    std::string LinePairedSeparator() const;

    const std::string &SpaceList() const { return SpaceList_.Text(); }
    const std::string &WordList() const { return WordList_.Text(); }
    const std::string &LineSeparatorList() const { return LineSeparatorList_.Text(); }
    const TCasePartner &CasePartner() const { return CasePartner_; }

    /// Steps one execution may take before it stops with error 1017.
    std::int64_t StepLimit() const { return StepLimit_; }
    void SetStepLimit(std::int64_t steps) { StepLimit_ = steps; }
    /// Backtracking frames one execution may hold before it stops with error 1016.
    std::int32_t BacktrackLimit() const { return BacktrackLimit_; }
    void SetBacktrackLimit(std::int32_t frames) { BacktrackLimit_ = frames; }

    // --- Errors ----------------------------------------------------------------------------

    /// Records `code` in `LastErrorCode` and raises `ERegExpr` with the message, the code and
    /// `ErrorPosition`. An override may return instead; the operation that reported the error
    /// then gives up (no program, or no match).
    virtual void Error(std::int32_t code);
    /// The message text of an error code; "Unknown error" for a code without one.
    virtual std::string ErrorText(std::int32_t code) const;
    /// Bytes of the expression before the parse position while compiling; 0 otherwise.
    std::int32_t ErrorPosition() const;
    std::int32_t LastErrorCode() const { return LastErrorCode_; }

    // --- Inspection (tests, the debug dump) --------------------------------------------------

    /// The compiled program, or an empty span when there is none (as while one is compiled).
    std::span<const std::uint8_t> Program() const {
        return ActiveCompiler_ ? std::span<const std::uint8_t>() : std::span<const std::uint8_t>(Program_);
    }
    bool IsCompiled() const { return IsCompiled_; }
    /// How many compilations have succeeded on this object.
    std::int32_t CompileCount() const { return CompileCount_; }
    unsigned char StartChar() const { return StartChar_; }
    bool AnchoredStart() const { return AnchoredStart_; }
    /// The literal every match must contain, or an empty view.
    std::string_view MustString() const;
    const std::bitset<256> &StartCharSet() const;
    /// Steps taken by the last execution.
    std::int64_t StepsTaken() const { return Steps_; }

private:
    void BuildCaseTable();
    void BuildWordSet();
    /// Collects the start-character set unless it is known; false when the walk met an opcode
    /// outside the table.
    bool EnsureStartCharSet() const;

    // Results and what the executions of the program keep (RegExprMatcher.h). The matcher's
    // memory is made at the first execution, in a block of this object sized for it: the front
    // need not declare the stage's state, and an object made for one line takes no heap memory
    // for it.
    TSubMatches Sub_;
    static constexpr std::size_t MatcherMemoryBlockSize = 1536;
    TMatcherMemory *MatcherMemory_ = nullptr;
    alignas(16) std::byte MatcherMemoryBlock_[MatcherMemoryBlockSize];
    std::int64_t Steps_ = 0;
    std::int64_t StepLimit_ = DefaultStepLimit;
    std::int32_t BacktrackLimit_ = DefaultBacktrackLimit;

    // Hints.
    unsigned char StartChar_ = 0;
    bool AnchoredStart_ = false;
    std::int32_t MustStringAt_ = 0;
    std::int32_t MustLength_ = 0;
    TRequiredLiterals Required_;
    // Built on first use: only a search that is neither anchored nor led by a start character
    // (or the inspection accessor) needs the set, and most programs never do.
    mutable std::bitset<256> StartCharSet_;
    mutable bool StartCharSetKnown_ = false;

    // The compilation under way, for `ErrorPosition`; none between compilations.
    const TCompiler *ActiveCompiler_ = nullptr;
    std::int32_t ProgramModifiers_ = 0;

    bool IsCompiled_ = false;
    std::int32_t CompileCount_ = 0;
    TProgramBlock Program_;
    // The expression's text followed by a NUL (the parser reads up to it); empty without one.
    TByteBlock<512> Expression_;
    // The subject: the object's own copy followed by a NUL, empty without one. The block serves
    // line after line, and a line of ordinary tool output fits the part inside the object, so an
    // object made for one line takes no heap memory for it.
    TByteBlock<256> Subject_;
    std::int32_t LastErrorCode_ = 0;

    // Settings.
    std::int32_t Modifiers_ = 0;
    TListSetting SpaceList_;
    TListSetting WordList_;
    TCasePartner CasePartner_;
    std::array<unsigned char, 256> CaseTable_{};
    bool CaseTableBuilt_ = false;
    std::bitset<256> WordSet_;
    bool WordSetBuilt_ = false;
    TListSetting LineSeparatorList_;
    bool PairAssigned_ = false;
    unsigned char PairHead_ = 0;
    unsigned char PairTail_ = 0;
    std::bitset<256> LineSeparatorSet_;
    bool LineSeparatorSetBuilt_ = false;
};

}  // namespace regexpr
