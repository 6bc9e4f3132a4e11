// The compiler stage: turns an expression into the program format (RegExprProgram.h) and derives
// the search hints. `TRegExpr` makes one for each compilation; its parse and emit state lives
// only as long as that compilation.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>

#include "regexpr/RegExprErrors.h"
#include "regexpr/RegExprModifiers.h"
#include "regexpr/RegExprProgram.h"

namespace regexpr {

/// What a compilation reads from the object's settings.
struct TCompileSettings {
    /// The modifiers in force at the start of the expression.
    std::int32_t Modifiers = 0;
    /// The characters of "\s" and "\w".
    std::string_view SpaceList;
    std::string_view WordList;
    /// Whether `SpaceList` and `WordList` are the standard lists, whose sets are known beforehand.
    bool StandardSpaces = false;
    bool StandardWords = false;
    /// The case partner of every character. It need not be filled in while the i modifier is
    /// off: the compiler calls `PrepareCaseTable` (with `PrepareContext`) when the expression
    /// switches it on, before it looks at the table.
    const std::array<unsigned char, 256> *CaseTable = nullptr;
    void (*PrepareCaseTable)(void *context) = nullptr;
    void *PrepareContext = nullptr;
    /// Whether a line separator is defined, so that "^" and "$" follow lines under m.
    bool LineSeparatorDefined = false;
};

/// The hints derived from a compiled program.
struct TCompiledProgram {
    /// The character every match starts with, or 0.
    unsigned char StartChar = 0;
    /// Whether a match can only start where the search starts.
    bool AnchoredStart = false;
    /// Offset and length of the literal every match contains (length 0: none).
    std::int32_t MustStringAt = 0;
    std::int32_t MustLength = 0;
    /// Whether the program tests word boundaries.
    bool UsesWordSet = false;
    /// Literals every match contains, for refusing a subject before any attempt.
    TRequiredLiterals Required;
};

/// One compilation: a recursive-descent parser with three levels (alternation, sequence of
/// pieces, atom; a quantifier is applied to the atom before it) that emits nodes while it
/// parses, in one pass over the text, straight into the block that keeps the program.
class TCompiler {
public:
    /// Reports an error; it normally raises, and the compilation stops either way.
    using TReportError = std::function<void(TErrorCode)>;

    /// Writes the program into `program`, whose contents are replaced. After a failed
    /// compilation the block holds a partial program, which the caller discards.
    TCompiler(const TCompileSettings &settings, TProgramBlock &program, TReportError report)
        : Settings_(settings), Report_(std::move(report)), Program_(program) {}
    TCompiler(const TCompiler &) = delete;
    TCompiler &operator=(const TCompiler &) = delete;

    /// Compiles `text`, which must be followed by a NUL in memory (an empty text is an error),
    /// into the program block, and derives the hints. Returns false when a reported error
    /// returned instead of raising.
    bool Compile(std::string_view text, TCompiledProgram &result);
    /// Bytes of the expression before the parse position; 0 before parsing starts.
    std::int32_t ErrorPosition() const;

private:
    struct TClassBuilder;

    [[noreturn]] void CompileError(TErrorCode code);
    /// The node after `node`, or 0. Every link a compilation follows is one it wrote, landing on
    /// a node it wrote, so no range test is needed.
    std::int32_t NextNode(std::int32_t node) const {
        const std::int32_t link = NodeLink(Program_.data(), node);
        return link == 0 ? 0 : node + link;
    }
    void NeedRoom(std::int64_t bytes);
    /// Makes the block at least `end` bytes long (the rare way of `NeedRoom`).
    void GrowBlock(std::int64_t end);
    std::int32_t EmitOp(TOpCode op);
    void EmitByte(std::uint8_t b);
    void EmitInt32(std::int32_t value);
    void InsertOp(TOpCode op, std::int32_t at, std::int32_t size);
    void AppendLink(std::int32_t node, std::int32_t target);
    void AppendLinkToOperand(std::int32_t node, std::int32_t target);
    std::int32_t EmitSingleChar(unsigned char b, int &flags);
    void EmitCountedRepeat(std::int32_t atom, std::int32_t min, std::int32_t max, bool nonGreedy);
    /// Encloses the atom at `atom`, whose chain ends at `atomTail`, in a counted loop; returns
    /// the loop node.
    std::int32_t EmitCountedLoop(std::int32_t atom, std::int32_t atomTail, std::int32_t min, std::int32_t max,
                                 bool nonGreedy);
    int RunPass();
    // The parse levels return the first node of what they emitted and set `tail` to the last
    // node along its chain of links, the one whose link is still open: the next link is appended
    // there without following the chain from its start.
    std::int32_t ParseReg(bool group, int &flags, std::int32_t &tail);
    std::int32_t ParseBranch(int &flags, std::int32_t &tail);
    std::int32_t ParseAtom(int &flags, std::int32_t &tail);
    /// Applies the quantifier at the parse position to the atom at `atom` (whose flags and tail
    /// are `flags` and `tail`, updated to the piece's); `savedRequired` are the required literals
    /// from before the atom, which a piece that may be left out gives back.
    void ParseQuantifier(std::int32_t atom, const TRequiredLiterals &savedRequired, int &flags, std::int32_t &tail);
    std::int32_t ParseEscape(int &flags);
    std::int32_t ParseBracketClass();
    /// "\s", "\S", "\w" or "\W": `list` is the space list or the word list of the settings.
    std::int32_t EmitClassEscape(std::string_view list, bool negated);
    std::int32_t ParseLiteralRun(int &flags);
    std::int32_t ParseNumber(const char *from, const char *to);
    unsigned char DecodeEscape();
    bool LineModeActive() const;
    bool ExtendedMode() const { return (CompileModifiers_ & ModifierX) != 0; }
    void FinishClass(TClassBuilder &builder);
    void AddWordList(TClassBuilder &builder) const;
    void AddSpaceList(TClassBuilder &builder) const;
    void NoteRequiredLiteral(std::int32_t at, std::int32_t length);
    void ComputeHints(int topFlags, TCompiledProgram &result) const;

    const TCompileSettings &Settings_;
    TReportError Report_;
    const char *ParsePos_ = nullptr;
    const char *ExprStart_ = nullptr;
    std::int32_t GroupCount_ = 1;
    std::int32_t EmitPos_ = 0;
    std::int32_t CompileModifiers_ = 0;
    bool UsesWordSet_ = false;
    // The required literals of what has been parsed so far along the way every match takes; a
    // group of several alternatives or a piece that may be left out gives back what it added.
    TRequiredLiterals Required_;
    TProgramBlock &Program_;
};

}  // namespace regexpr
