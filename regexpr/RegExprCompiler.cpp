// The compiler: a recursive-descent parser with three levels (alternation, sequence of pieces,
// atom; the sequence applies a quantifier to the atom before it) that emits program nodes while it
// parses, in one pass, straight into the object's program block: the block grows as nodes are
// written (a repeat is inserted before its atom, links are appended at the known end of their
// chain once their target exists) and is cut to the bytes written at the end. A separate
// counting pass would write the same bytes in the same order, so it is left out: the parse is
// the whole cost of a compilation.
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <utility>

#include "regexpr/RegExprCompiler.h"

#include "regexpr/RegExprCharLists.h"

namespace regexpr {

namespace {

// Parse flags returned upward by every parse level.
constexpr int FlagNonEmpty = 1;          // matches at least one character
constexpr int FlagSingleChar = 2;        // one node the repeat nodes can count
constexpr int FlagStartsWithRepeat = 4;  // starts with a repetition (must-string hint)

// The characters that end a literal run, as a table: the run scan asks about every character.
constexpr std::array<bool, 256> MetaTable = [] {
    std::array<bool, 256> table{};
    for (unsigned char c : std::string_view("^$.[()|?+*\\{")) table[c] = true;
    return table;
}();

// A set of bytes as four 64-bit words: bit (b & 63) of word (b >> 6).
using TCharSetWords = std::array<std::uint64_t, 4>;

constexpr TCharSetWords CharSetOf(std::string_view list) {
    TCharSetWords set{};
    for (unsigned char c : list) set[c >> 6] |= std::uint64_t(1) << (c & 63);
    return set;
}

// The standard word and space lists as sets: "\w" and "\s" are common in the expressions of
// tool output, and a compilation adds them at once instead of a character at a time.
constexpr TCharSetWords StandardWordSet = CharSetOf(StandardWordList);
constexpr TCharSetWords StandardSpaceSet = CharSetOf(StandardSpaceList);

// Writes a set as a byte-set operand packs it (bit (b & 7) of byte (b >> 3)), each bit flipped
// when `flip` is all ones.
void StoreByteSet(std::uint8_t *out, const TCharSetWords &set, std::uint64_t flip) {
    for (int w = 0; w < 4; ++w) {
        const std::uint64_t word = set[w] ^ flip;
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(out + 8 * w, &word, sizeof word);
        } else {
            for (int k = 0; k < 8; ++k) out[8 * w + k] = static_cast<std::uint8_t>(word >> (8 * k));
        }
    }
}

// Thrown when an overriding Error returns instead of raising: compilation still stops.
struct TCompileAborted {};

bool IsMeta(char c) { return MetaTable[static_cast<unsigned char>(c)]; }
bool IsQuantifierStart(char c) { return c == '*' || c == '+' || c == '?' || c == '{'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::int32_t ModifierBitOfLetter(char c) {
    switch (c) {
    case 'i': case 'I': return ModifierI;
    case 'r': case 'R': return ModifierR;
    case 's': case 'S': return ModifierS;
    case 'g': case 'G': return ModifierG;
    case 'm': case 'M': return ModifierM;
    case 'x': case 'X': return ModifierX;
    default: return 0;
    }
}

// The Windows-1251 Cyrillic letters in the order a range names them, with the letter yo that
// sits outside the contiguous block.
void AddCyrillicLower(auto &&add) {
    for (int c = 0xE0; c <= 0xE5; ++c) add(static_cast<unsigned char>(c));
    add(static_cast<unsigned char>(0xB8));
    for (int c = 0xE6; c <= 0xFF; ++c) add(static_cast<unsigned char>(c));
}

void AddCyrillicUpper(auto &&add) {
    for (int c = 0xC0; c <= 0xC5; ++c) add(static_cast<unsigned char>(c));
    add(static_cast<unsigned char>(0xA8));
    for (int c = 0xC6; c <= 0xDF; ++c) add(static_cast<unsigned char>(c));
}

}  // namespace

bool ParseModifierLetters(std::string_view letters, std::int32_t &modifiers) {
    bool switchOn = true;
    for (char c : letters) {
        if (c == '-') {
            switchOn = false;
            continue;
        }
        std::int32_t bit = ModifierBitOfLetter(c);
        if (bit == 0) return false;
        if (switchOn)
            modifiers |= bit;
        else
            modifiers &= ~bit;
    }
    return true;
}

/// The state of one bracket class or class escape while it is parsed.
struct TCompiler::TClassBuilder {
    // The members as 256 bits, four words of 64: bit (b & 63) of word (b >> 6). NUL is never a
    // member (a subject holds none); FinishClass drops it, so adding it is harmless.
    TCharSetWords Set{};
    bool Negated = false;
    bool CasePartners = false;
    std::int32_t Node = 0;
    std::int32_t OperandAt = 0;
    bool RangeOpen = false;
    unsigned char RangeStart = 0;
    const std::array<unsigned char, 256> *CaseTable = nullptr;

    void AddOne(unsigned char b) { Set[b >> 6] |= std::uint64_t(1) << (b & 63); }
    // A member; with case partners on, its partner comes along.
    void AddByte(unsigned char b) {
        AddOne(b);
        if (CasePartners && b != 0) AddOne((*CaseTable)[b]);
        RangeOpen = false;
    }
    // A member that may start a range.
    void AddSingle(unsigned char b) {
        RangeStart = b;
        AddByte(b);
        RangeOpen = true;
    }
    // The members first to last; without case partners a word of the set at a time.
    void AddRange(unsigned char first, unsigned char last) {
        if (CasePartners) {
            for (int b = first; b <= last; ++b) AddByte(static_cast<unsigned char>(b));
            return;
        }
        for (int w = first >> 6; w <= last >> 6; ++w) {
            const int low = w == first >> 6 ? first & 63 : 0;
            const int high = w == last >> 6 ? last & 63 : 63;
            Set[w] |= (~std::uint64_t(0) >> (63 - high)) & (~std::uint64_t(0) << low);
        }
        RangeOpen = false;
    }
    void AddList(std::string_view list) {
        for (char c : list) AddByte(static_cast<unsigned char>(c));
        RangeOpen = false;
    }
    // The members of a known set, without case partners.
    void AddSet(const TCharSetWords &members) {
        for (int w = 0; w < 4; ++w) Set[w] |= members[w];
        RangeOpen = false;
    }
    // Drops NUL and gathers the members in ascending order while there are no more than
    // `SmallSetSize` of them; returns their number, or `SmallSetSize` + 1 for a larger set.
    int Finish(std::uint8_t (&members)[SmallSetSize]) {
        Set[0] &= ~std::uint64_t(1);
        int count = 0;
        for (int w = 0; w < 4; ++w) {
            for (std::uint64_t bits = Set[w]; bits != 0; bits &= bits - 1) {
                if (count == SmallSetSize) return SmallSetSize + 1;
                members[count++] = static_cast<std::uint8_t>(w * 64 + std::countr_zero(bits));
            }
        }
        return count;
    }
};

// --- Driver -----------------------------------------------------------------------------------

void TCompiler::CompileError(TErrorCode code) {
    Report_(code);
    throw TCompileAborted{};
}

bool TCompiler::Compile(std::string_view text, TCompiledProgram &result) {
    ParsePos_ = nullptr;
    ExprStart_ = text.data();
    try {
        if (text.empty()) CompileError(ErrNullArgument);

        // Room for the usual programs at once: a node of a few bytes per character or two.
        Program_.clear();
        Program_.resize(2 * text.size() + 64);
        EmitPos_ = 0;
        const int topFlags = RunPass();
        Program_.resize(static_cast<std::size_t>(EmitPos_));

        ComputeHints(topFlags, result);
    } catch (const TCompileAborted &) {
        return false;
    }
    result.UsesWordSet = UsesWordSet_;
    const TRequiredLiterals::TLiteral prefix = result.Required.Prefix;
    result.Required = Required_;
    result.Required.Prefix = prefix;
    return true;
}

std::int32_t TCompiler::ErrorPosition() const {
    return ParsePos_ && ExprStart_ ? static_cast<std::int32_t>(ParsePos_ - ExprStart_) : 0;
}

int TCompiler::RunPass() {
    CompileModifiers_ = Settings_.Modifiers;
    ParsePos_ = ExprStart_;
    GroupCount_ = 1;
    EmitByte(ProgramSignature);
    int flags = 0;
    std::int32_t tail = 0;
    ParseReg(false, flags, tail);
    return flags;
}

// --- Emitter primitives -----------------------------------------------------------------------
// The small emitters are inline: every node and byte of both passes goes through them.

[[gnu::always_inline]] inline void TCompiler::NeedRoom(std::int64_t bytes) {
    const std::int64_t end = std::int64_t(EmitPos_) + bytes;
    if (end <= std::int64_t(Program_.size())) [[likely]]
        return;
    GrowBlock(end);
}

void TCompiler::GrowBlock(std::int64_t end) {
    // Links are 32-bit: a program beyond that cannot be linked.
    if (end > std::numeric_limits<std::int32_t>::max()) CompileError(ErrTooBig);
    // Bytes not yet written stay zero: a new node's link reads as "none".
    Program_.resize(static_cast<std::size_t>(std::min<std::int64_t>(
        std::max<std::int64_t>(end, 2 * std::int64_t(Program_.size())), std::numeric_limits<std::int32_t>::max())));
}

[[gnu::always_inline]] inline std::int32_t TCompiler::EmitOp(TOpCode op) {
    NeedRoom(NodeHeaderSize);
    std::int32_t node = EmitPos_;
    Program_[node] = op;
    SetNodeLink(Program_.data(), node, 0);
    EmitPos_ += NodeHeaderSize;
    return node;
}

[[gnu::always_inline]] inline void TCompiler::EmitByte(std::uint8_t b) {
    NeedRoom(1);
    Program_[EmitPos_++] = b;
}

void TCompiler::EmitInt32(std::int32_t value) {
    NeedRoom(4);
    WriteInt32(&Program_[EmitPos_], value);
    EmitPos_ += 4;
}

inline void TCompiler::InsertOp(TOpCode op, std::int32_t at, std::int32_t size) {
    NeedRoom(size);
    std::uint8_t *base = Program_.data();
    std::memmove(base + at + size, base + at, static_cast<std::size_t>(EmitPos_ - at));
    base[at] = op;
    if (size == NodeHeaderSize)
        SetNodeLink(base, at, 0);
    else
        std::memset(base + at + 1, 0, static_cast<std::size_t>(size - 1));
    EmitPos_ += size;
}

inline void TCompiler::AppendLink(std::int32_t node, std::int32_t target) {
    if (node <= 0) return;
    // Every link here was written by this compilation and lands on a node it wrote, so the chain
    // is followed without the range tests a program from elsewhere needs.
    std::uint8_t *program = Program_.data();
    std::int32_t last = node;
    for (std::int32_t link = NodeLink(program, last); link != 0; link = NodeLink(program, last)) last += link;
    SetNodeLink(program, last, target - last);
}

void TCompiler::AppendLinkToOperand(std::int32_t node, std::int32_t target) {
    if (node <= 0 || Program_[node] != OpBranch) return;
    AppendLink(NodeAfterHeader(node), target);
}

void TCompiler::NoteRequiredLiteral(std::int32_t at, std::int32_t length) {
    if (length <= 0) return;
    TRequiredLiterals::TLiteral literal;
    literal.Length = static_cast<std::uint8_t>(std::min(length, TRequiredLiterals::Capacity));
    const std::uint8_t *text = &Program_[static_cast<std::size_t>(at)];
    if (literal.Length == 1)  // the most common literal: no call for the copy
        literal.Bytes[0] = static_cast<char>(text[0]);
    else
        std::memcpy(literal.Bytes, text, literal.Length);
    Required_.Last = literal;
    if (length >= Required_.LongestLength) {
        Required_.Longest = literal;
        Required_.LongestLength = length;
    }
}

[[gnu::always_inline]] inline std::int32_t TCompiler::EmitSingleChar(unsigned char b, int &flags) {
    const bool noCase = (CompileModifiers_ & ModifierI) != 0;
    std::int32_t node = EmitOp(noCase ? OpLiteralNoCase : OpLiteral);
    EmitByte(b);
    EmitByte(0);
    if (!noCase) NoteRequiredLiteral(NodeAfterHeader(node), 1);
    flags = FlagNonEmpty | FlagSingleChar;
    return node;
}

void TCompiler::EmitCountedRepeat(std::int32_t atom, std::int32_t min, std::int32_t max,
                                 bool nonGreedy) {
    InsertOp(nonGreedy ? OpBracesLazy : OpBraces, atom, BracesNodeSize);
    SetCountBounds(Program_.data(), atom, min, max);
}

std::int32_t TCompiler::EmitCountedLoop(std::int32_t atom, std::int32_t atomTail, std::int32_t min,
                                       std::int32_t max, bool nonGreedy) {
    InsertOp(OpLoopEntry, atom, NodeHeaderSize);
    std::int32_t loop = EmitOp(nonGreedy ? OpLoopLazy : OpLoop);
    EmitInt32(min);
    EmitInt32(max);
    EmitInt32(NodeAfterHeader(atom) - loop);
    AppendLink(atom, loop);
    AppendLink(atomTail + NodeHeaderSize, loop);  // the body's chain, moved by the entry
    return loop;
}

// --- Parse levels -----------------------------------------------------------------------------
// The atom level and the steps under it (escapes, literal runs, classes, quantifiers) are marked
// always_inline: each has one caller, and a compilation takes one such step per piece of the
// expression, so a piece costs no call of its own beyond the recursion into groups.

std::int32_t TCompiler::ParseReg(bool group, int &flags, std::int32_t &tail) {
    const std::int32_t savedModifiers = CompileModifiers_;
    const TRequiredLiterals savedRequired = Required_;
    int alternatives = 0;
    flags = FlagNonEmpty;
    std::int32_t result = 0;
    int groupNumber = 0;
    if (group) {
        if (GroupCount_ >= SubMatchSlots) CompileError(ErrTooManyGroups);
        groupNumber = GroupCount_++;
        result = EmitOp(static_cast<TOpCode>(OpOpen + groupNumber));
    }

    // The last node of the chain of alternatives, and where the alternatives' own chains end
    // (the first few; later ones are found by following their chains).
    std::int32_t last = result;
    constexpr int KeptEnds = 8;
    std::int32_t branchEnds[KeptEnds];
    auto takeBranch = [&](bool firstBranch) {
        int branchFlags = 0;
        std::int32_t branchEnd = 0;
        std::int32_t branch = ParseBranch(branchFlags, branchEnd);
        if (alternatives < KeptEnds) branchEnds[alternatives] = branchEnd;
        ++alternatives;
        if (firstBranch && result == 0)
            result = branch;
        else
            AppendLink(last, branch);
        last = branch;
        if (!(branchFlags & FlagNonEmpty)) flags &= ~FlagNonEmpty;
        flags |= branchFlags & FlagStartsWithRepeat;
    };
    takeBranch(true);
    while (*ParsePos_ == '|') {
        ++ParsePos_;
        takeBranch(false);
    }

    // A match takes one of several alternatives: none of their literals is required.
    if (alternatives > 1) Required_ = savedRequired;
    std::int32_t ender = EmitOp(group ? static_cast<TOpCode>(OpClose + groupNumber) : OpEnd);
    AppendLink(last, ender);
    // Every alternative ends at the ender: a single one at once, several along their chain.
    if (alternatives == 1) {
        AppendLink(branchEnds[0], ender);
    } else {
        int index = 0;
        for (std::int32_t node = result; node > 0; node = NextNode(node)) {
            if (Program_[node] != OpBranch) continue;
            if (index < KeptEnds)
                AppendLink(branchEnds[index], ender);
            else
                AppendLinkToOperand(node, ender);
            ++index;
        }
    }
    tail = ender;

    if (group) {
        if (*ParsePos_ != ')') CompileError(ErrGroupNotClosed);
        ++ParsePos_;
    } else if (*ParsePos_ == ')') {
        CompileError(ErrCloseWithoutGroup);
    }
    // Inline modifiers end with their group.
    CompileModifiers_ = savedModifiers;
    return result;
}

std::int32_t TCompiler::ParseBranch(int &flags, std::int32_t &tail) {
    flags = 0;
    std::int32_t branch = EmitOp(OpBranch);
    bool first = true;
    for (char c = *ParsePos_; c != 0 && c != '|' && c != ')'; c = *ParsePos_) {
        // A piece: an atom and the quantifier that may follow it.
        const TRequiredLiterals savedRequired = Required_;
        int pieceFlags = 0;
        std::int32_t pieceTail = 0;
        const std::int32_t piece = ParseAtom(pieceFlags, pieceTail);
        if (IsQuantifierStart(*ParsePos_)) ParseQuantifier(piece, savedRequired, pieceFlags, pieceTail);
        flags |= pieceFlags & FlagNonEmpty;
        if (first)
            flags |= pieceFlags & FlagStartsWithRepeat;
        else
            AppendLink(tail, piece);
        tail = pieceTail;
        first = false;
    }
    if (first) tail = EmitOp(OpEmpty);
    return branch;
}

[[gnu::always_inline]] inline void TCompiler::ParseQuantifier(std::int32_t atom, const TRequiredLiterals &savedRequired,
                                                              int &flags, std::int32_t &tail) {
    const int atomFlags = flags;
    const char op = *ParsePos_;
    if (op != '?' && !(atomFlags & FlagNonEmpty)) CompileError(ErrEmptyOperand);

    std::int32_t min = 0;
    std::int32_t max = 0;
    if (op == '{') {
        const char *p = ParsePos_ + 1;
        const char *firstDigits = p;
        while (IsDigit(*p)) ++p;
        const char *firstEnd = p;
        const char *secondDigits = nullptr;
        const char *secondEnd = nullptr;
        bool quantifier = firstEnd != firstDigits && (*p == '}' || *p == ',');
        if (quantifier && *p == ',') {
            secondDigits = ++p;
            while (IsDigit(*p)) ++p;
            secondEnd = p;
            quantifier = *p == '}';
        }
        if (!quantifier) return;  // the "{" is read again as the start of a literal run
        ParsePos_ = firstEnd;
        min = ParseNumber(firstDigits, firstEnd);
        if (secondDigits == nullptr) {
            max = min;
        } else if (secondDigits == secondEnd) {
            max = BracesLimit;
        } else {
            ParsePos_ = secondEnd;
            max = ParseNumber(secondDigits, secondEnd);
        }
        ParsePos_ = p;  // on the "}"
        if (max < min) CompileError(ErrBracesMinAboveMax);
    }

    // A piece that may be repeated no time at all requires none of its literals.
    if ((op == '{' ? min : op == '+' ? 1 : 0) == 0) Required_ = savedRequired;

    const bool nonGreedySuffix = ParsePos_[1] == '?';
    const bool nonGreedy = nonGreedySuffix || !(CompileModifiers_ & ModifierG);
    const bool singleChar = (atomFlags & FlagSingleChar) != 0;

    // `tail` ends the atom's chain; a node inserted before the atom moves it by its own size.
    const std::int32_t atomTail = tail;
    const std::int32_t movedTail = atomTail + NodeHeaderSize;
    auto greedyOptional = [&] {
        InsertOp(OpBranch, atom, NodeHeaderSize);
        const std::int32_t second = EmitOp(OpBranch);
        AppendLink(atom, second);
        std::int32_t empty = EmitOp(OpEmpty);
        AppendLink(second, empty);
        AppendLink(movedTail, empty);
        tail = empty;
    };
    auto countedLoop = [&](std::int32_t loopMin, std::int32_t loopMax, bool loopNonGreedy) {
        tail = EmitCountedLoop(atom, atomTail, loopMin, loopMax, loopNonGreedy);
    };

    switch (op) {
    case '*':
        flags = FlagStartsWithRepeat;
        if (singleChar) {
            InsertOp(nonGreedy ? OpStarLazy : OpStar, atom, NodeHeaderSize);
            tail = atom;
        } else if (nonGreedy) {
            countedLoop(0, BracesLimit, true);
        } else {
            // Body, then a jump back to the branch; the second alternative is empty.
            InsertOp(OpBranch, atom, NodeHeaderSize);
            const std::int32_t back = EmitOp(OpBack);
            AppendLink(movedTail, back);
            AppendLink(back, atom);
            const std::int32_t second = EmitOp(OpBranch);
            AppendLink(atom, second);
            tail = EmitOp(OpEmpty);
            AppendLink(second, tail);
        }
        break;
    case '+':
        flags = FlagNonEmpty | FlagStartsWithRepeat;
        if (singleChar) {
            InsertOp(nonGreedy ? OpPlusLazy : OpPlus, atom, NodeHeaderSize);
            tail = atom;
        } else if (nonGreedy) {
            countedLoop(1, BracesLimit, true);
        } else {
            // Body once, then a branch that jumps back to it or goes on.
            std::int32_t branch = EmitOp(OpBranch);
            AppendLink(atomTail, branch);
            AppendLink(EmitOp(OpBack), atom);
            const std::int32_t second = EmitOp(OpBranch);
            AppendLink(branch, second);
            tail = EmitOp(OpEmpty);
            AppendLink(second, tail);
        }
        break;
    case '?':
        flags = 0;
        if (!nonGreedy) {
            greedyOptional();
        } else if (singleChar) {
            EmitCountedRepeat(atom, 0, 1, true);
            tail = atom;
        } else {
            countedLoop(0, 1, true);
        }
        break;
    default:  // '{'
        flags = max > 0 ? FlagNonEmpty | FlagStartsWithRepeat : 0;
        if (singleChar) {
            EmitCountedRepeat(atom, min, max, nonGreedy);
            tail = atom;
        } else {
            countedLoop(min, max, nonGreedy);
        }
        break;
    }

    if (nonGreedySuffix) ++ParsePos_;
    ++ParsePos_;
    if (IsQuantifierStart(*ParsePos_)) CompileError(ErrNestedQuantifier);
}

std::int32_t TCompiler::ParseNumber(const char *from, const char *to) {
    if (to - from > 8) CompileError(ErrBracesTooBig);
    std::int32_t value = 0;
    for (const char *p = from; p != to; ++p) value = value * 10 + (*p - '0');
    return value;
}

bool TCompiler::LineModeActive() const {
    return (CompileModifiers_ & ModifierM) && Settings_.LineSeparatorDefined;
}

[[gnu::always_inline]] inline std::int32_t TCompiler::ParseAtom(int &flags, std::int32_t &tail) {
    flags = 0;
    const char c = *ParsePos_++;
    switch (c) {
    case '*':
    case '+':
    case '?':
        CompileError(ErrNothingToRepeat);
    case '^':
        return tail = EmitOp(LineModeActive() ? OpLineStart : OpInputStart);
    case '$':
        return tail = EmitOp(LineModeActive() ? OpLineEnd : OpInputEnd);
    case '.':
        if (CompileModifiers_ & ModifierS) {
            flags = FlagNonEmpty | FlagSingleChar;
            return tail = EmitOp(OpAny);
        }
        flags = FlagNonEmpty;
        return tail = EmitOp(OpAnyInLine);
    case '[':
        flags = FlagNonEmpty | FlagSingleChar;
        return tail = ParseBracketClass();
    case '(':
        if (ParsePos_[0] == '?' && ParsePos_[1] == '#') {
            ParsePos_ += 2;
            while (*ParsePos_ != 0 && *ParsePos_ != ')') ++ParsePos_;
            if (*ParsePos_ == 0) CompileError(ErrCommentNotClosed);
            ++ParsePos_;
            return tail = EmitOp(OpComment);
        }
        if (ParsePos_[0] == '?') {
            const char *letters = ParsePos_ + 1;
            const char *close = letters;
            while (*close != 0 && *close != ')') ++close;
            std::int32_t modifiers = CompileModifiers_;
            if (*close == 0 || !ParseModifierLetters(std::string_view(letters, close - letters),
                                                     modifiers)) {
                // Point just past the offending letter, or at the end of an unclosed group.
                const char *bad = letters;
                while (bad != close && (*bad == '-' || ModifierBitOfLetter(*bad) != 0)) ++bad;
                ParsePos_ = bad == close ? close : bad + 1;
                CompileError(ErrBadModifier);
            }
            if ((modifiers & ModifierI) != 0 && Settings_.PrepareCaseTable != nullptr)
                Settings_.PrepareCaseTable(Settings_.PrepareContext);
            CompileModifiers_ = modifiers;
            ParsePos_ = close + 1;
            return tail = EmitOp(OpComment);
        }
        {
            int groupFlags = 0;
            std::int32_t node = ParseReg(true, groupFlags, tail);
            flags = groupFlags & (FlagNonEmpty | FlagStartsWithRepeat);
            return node;
        }
    case '\\':
        return tail = ParseEscape(flags);
    default:
        break;
    }

    --ParsePos_;
    if (ExtendedMode() && (IsBlank(c) || c == '#')) {
        if (c == '#') {
            while (*ParsePos_ != 0 && *ParsePos_ != '\r' && *ParsePos_ != '\n') ++ParsePos_;
            while (*ParsePos_ == '\r' || *ParsePos_ == '\n') ++ParsePos_;
        } else {
            while (IsBlank(*ParsePos_)) ++ParsePos_;
        }
        return tail = EmitOp(OpComment);
    }
    return tail = ParseLiteralRun(flags);
}

[[gnu::always_inline]] inline std::int32_t TCompiler::ParseEscape(int &flags) {
    const char c = *ParsePos_;
    if (c == 0) CompileError(ErrTrailingBackslash);
    const bool noCase = (CompileModifiers_ & ModifierI) != 0;
    std::int32_t node = 0;
    flags = 0;
    switch (c) {
    case '1': case '2': case '3': case '4': case '5': case '6': case '7': case '8': case '9':
        node = EmitOp(noCase ? OpBackRefNoCase : OpBackRef);
        EmitByte(static_cast<std::uint8_t>(c - '0'));
        flags = FlagNonEmpty | FlagSingleChar;
        break;
    case 'A': node = EmitOp(OpInputStart); break;
    case 'Z': node = EmitOp(OpInputEnd); break;
    case 'b':
    case 'B':
        UsesWordSet_ = true;
        node = EmitOp(c == 'b' ? OpWordBound : OpNotWordBound);
        break;
    case 'd':
    case 'D':
        node = EmitOp(c == 'd' ? OpDigit : OpNonDigit);
        flags = FlagNonEmpty | FlagSingleChar;
        break;
    case 's':
    case 'S':
        node = EmitClassEscape(Settings_.SpaceList, c == 'S');
        flags = FlagNonEmpty | FlagSingleChar;
        break;
    case 'w':
    case 'W':
        node = EmitClassEscape(Settings_.WordList, c == 'W');
        flags = FlagNonEmpty | FlagSingleChar;
        break;
    default: {
        const unsigned char decoded = DecodeEscape();
        if (decoded != 0) {
            node = EmitSingleChar(decoded, flags);
            break;
        }
        // A NUL cannot stand in a literal (it would end the string), and the subject never holds
        // one: "\x00" is a one-character test that never succeeds, the same as "[\x00]".
        node = EmitOp(OpSmallSet);
        for (int i = 0; i < SmallSetSize; ++i) EmitByte(0);
        flags = FlagNonEmpty | FlagSingleChar;
        break;
    }
    }
    ++ParsePos_;  // the escape's last byte
    return node;
}

unsigned char TCompiler::DecodeEscape() {
    switch (*ParsePos_) {
    case 't': return 9;
    case 'n': return 10;
    case 'r': return 13;
    case 'f': return 12;
    case 'a': return 7;
    case 'e': return 27;
    case 'x': break;
    default: return static_cast<unsigned char>(*ParsePos_);
    }
    ++ParsePos_;
    if (*ParsePos_ == 0) CompileError(ErrNoHexCode);
    int value = 0;
    if (*ParsePos_ == '{') {
        for (;;) {
            ++ParsePos_;
            const char c = *ParsePos_;
            if (c == 0) CompileError(ErrNoHexCode);
            if (c == '}') break;
            int digit = HexValue(c);
            if (digit < 0) CompileError(ErrBadHexDigit);
            if (value >= 16) CompileError(ErrHexCodeTooBig);
            value = value * 16 + digit;
        }
        return static_cast<unsigned char>(value);
    }
    int high = HexValue(*ParsePos_);
    if (high < 0) CompileError(ErrBadHexDigit);
    ++ParsePos_;
    if (*ParsePos_ == 0) CompileError(ErrNoHexCode);
    int low = HexValue(*ParsePos_);
    if (low < 0) CompileError(ErrBadHexDigit);
    return static_cast<unsigned char>(high * 16 + low);
}

[[gnu::always_inline]] inline std::int32_t TCompiler::ParseLiteralRun(int &flags) {
    const char *start = ParsePos_;
    auto runLength = [](const char *p) {
        std::int64_t length = 0;
        while (p[length] != 0 && !IsMeta(p[length])) ++length;
        return length;
    };
    std::int64_t length = *start == '{' ? 1 + runLength(start + 1) : runLength(start);
    // The quantifier that follows a run applies to its last character alone.
    if (length > 1 && IsQuantifierStart(start[length])) --length;
    flags = FlagNonEmpty | (length == 1 ? FlagSingleChar : 0);

    const bool extended = ExtendedMode();
    const bool noCase = (CompileModifiers_ & ModifierI) != 0;
    const TOpCode op = noCase ? OpLiteralNoCase : OpLiteral;
    if (!extended) {
        // Every character of the run is taken as it stands: the node is written in one step.
        const std::int32_t node = EmitPos_;
        NeedRoom(NodeHeaderSize + length + 1);
        std::uint8_t *out = Program_.data() + node;
        out[0] = op;
        SetNodeLink(Program_.data(), node, 0);
        std::memcpy(out + NodeHeaderSize, ParsePos_, static_cast<std::size_t>(length));
        out[NodeHeaderSize + length] = 0;
        EmitPos_ += static_cast<std::int32_t>(NodeHeaderSize + length + 1);
        ParsePos_ += length;
        if (!noCase) NoteRequiredLiteral(NodeAfterHeader(node), static_cast<std::int32_t>(length));
        return node;
    }
    std::int32_t node = EmitOp(op);
    for (std::int64_t i = 0; i < length; ++i) {
        const char b = *ParsePos_;
        if (extended && b == '#') break;
        ++ParsePos_;
        if (extended && IsBlank(b)) continue;
        EmitByte(static_cast<std::uint8_t>(b));
    }
    EmitByte(0);
    if (!noCase) NoteRequiredLiteral(NodeAfterHeader(node), EmitPos_ - 1 - NodeAfterHeader(node));
    return node;
}

// --- Classes ----------------------------------------------------------------------------------

[[gnu::always_inline]] inline std::int32_t TCompiler::ParseBracketClass() {
    TClassBuilder builder;
    builder.CaseTable = Settings_.CaseTable;
    builder.Negated = *ParsePos_ == '^';
    if (builder.Negated) ++ParsePos_;
    builder.CasePartners = (CompileModifiers_ & ModifierI) != 0;
    builder.Node = EmitOp(builder.Negated ? OpNotSmallSet : OpSmallSet);
    builder.OperandAt = EmitPos_;
    const bool cyrillic = (CompileModifiers_ & ModifierR) != 0;

    bool first = true;
    for (char c = *ParsePos_; c != 0 && !(c == ']' && !first); c = *ParsePos_, first = false) {
        if (c == ']') {
            builder.AddSingle(']');
            ++ParsePos_;
        } else if (c == '-' && builder.RangeOpen && ParsePos_[1] != 0 && ParsePos_[1] != ']') {
            ++ParsePos_;
            if (ParsePos_[0] == '\\' && ParsePos_[1] != 0 && std::strchr("DSWdsw", ParsePos_[1])) {
                // A class escape cannot end a range: the "-" is a member, the escape is read next.
                builder.AddByte('-');
                continue;
            }
            unsigned char end = static_cast<unsigned char>(*ParsePos_);
            if (end == '\\') {
                ++ParsePos_;
                if (*ParsePos_ == 0) CompileError(ErrClassTrailingBackslash);
                end = DecodeEscape();
            }
            const unsigned char start = builder.RangeStart;
            auto add = [&](unsigned char b) { builder.AddByte(b); };
            if (cyrillic && start == 0xE0 && end == 0xFF) {
                AddCyrillicLower(add);
            } else if (cyrillic && start == 0xC0 && end == 0xDF) {
                AddCyrillicUpper(add);
            } else if (cyrillic && start == 0xE0 && end == 0xDF) {
                AddCyrillicLower(add);
                AddCyrillicUpper(add);
            } else {
                if (end < start) CompileError(ErrInvalidRange);
                builder.AddRange(start, end);
            }
            ++ParsePos_;
        } else if (c == '\\') {
            ++ParsePos_;
            const char e = *ParsePos_;
            if (e == 0) CompileError(ErrClassTrailingBackslash);
            if (e == 'd')
                builder.AddRange('0', '9');
            else if (e == 's')
                AddSpaceList(builder);
            else if (e == 'w')
                AddWordList(builder);
            else
                builder.AddSingle(DecodeEscape());
            ++ParsePos_;
        } else {
            builder.AddSingle(static_cast<unsigned char>(c));
            ++ParsePos_;
        }
    }
    FinishClass(builder);
    if (*ParsePos_ != ']') CompileError(ErrClassNotClosed);
    ++ParsePos_;
    return builder.Node;
}

std::int32_t TCompiler::EmitClassEscape(std::string_view list, bool negated) {
    TClassBuilder builder;
    builder.CaseTable = Settings_.CaseTable;
    builder.Negated = negated;
    builder.Node = EmitOp(negated ? OpNotSmallSet : OpSmallSet);
    builder.OperandAt = EmitPos_;
    if (list.data() == Settings_.WordList.data())
        AddWordList(builder);
    else
        AddSpaceList(builder);
    FinishClass(builder);
    return builder.Node;
}

void TCompiler::AddWordList(TClassBuilder &builder) const {
    if (Settings_.StandardWords && !builder.CasePartners)
        builder.AddSet(StandardWordSet);
    else
        builder.AddList(Settings_.WordList);
}

void TCompiler::AddSpaceList(TClassBuilder &builder) const {
    if (Settings_.StandardSpaces && !builder.CasePartners)
        builder.AddSet(StandardSpaceSet);
    else
        builder.AddList(Settings_.SpaceList);
}

[[gnu::always_inline]] inline void TCompiler::FinishClass(TClassBuilder &builder) {
    std::uint8_t members[SmallSetSize] = {0, 0, 0};
    const int count = builder.Finish(members);
    if (count > SmallSetSize) {
        NeedRoom(ByteSetSize);
        Program_[builder.Node] = OpByteSet;
        StoreByteSet(&Program_[builder.OperandAt], builder.Set, builder.Negated ? ~std::uint64_t(0) : 0);
        EmitPos_ = builder.OperandAt + ByteSetSize;
        return;
    }
    NeedRoom(SmallSetSize);
    // The members in ascending order, the largest repeated to fill the operand (NULs when none).
    for (int i = count; i < SmallSetSize && count > 0; ++i) members[i] = members[count - 1];
    std::memcpy(&Program_[builder.OperandAt], members, SmallSetSize);
    EmitPos_ = builder.OperandAt + SmallSetSize;
}

// --- Hints ------------------------------------------------------------------------------------

void TCompiler::ComputeHints(int topFlags, TCompiledProgram &result) const {
    result.StartChar = 0;
    result.AnchoredStart = false;
    result.MustStringAt = 0;
    result.MustLength = 0;

    const std::int32_t after = NextNode(1);
    if (after == 0 || Program_[after] != OpEnd) return;  // more than one top-level alternative
    const std::int32_t first = NodeAfterHeader(1);
    if (Program_[first] == OpLiteral)
        result.StartChar = *NodeOperand(Program_.data(), first);
    else if (Program_[first] == OpInputStart)
        result.AnchoredStart = true;
    if (result.AnchoredStart) {
        const std::int32_t second = NextNode(first);
        if (second != 0 && Program_[second] == OpLiteral) {
            const auto *text = reinterpret_cast<const char *>(NodeOperand(Program_.data(), second));
            TRequiredLiterals::TLiteral &prefix = result.Required.Prefix;
            while (prefix.Length < TRequiredLiterals::Capacity && text[prefix.Length] != 0) {
                prefix.Bytes[prefix.Length] = text[prefix.Length];
                ++prefix.Length;
            }
        }
    }

    if (!(topFlags & FlagStartsWithRepeat)) return;
    // The longest literal along the top-level chain (the last of equally long ones).
    std::int64_t guard = static_cast<std::int64_t>(Program_.size());
    for (std::int32_t node = first; node != 0 && guard-- > 0; node = NextNode(node)) {
        if (Program_[node] != OpLiteral) continue;
        const char *text = reinterpret_cast<const char *>(NodeOperand(Program_.data(), node));
        std::int32_t length = static_cast<std::int32_t>(std::strlen(text));
        if (length >= result.MustLength) {
            result.MustStringAt = NodeAfterHeader(node);  // the literal's first byte
            result.MustLength = length;
        }
    }
}

}  // namespace regexpr
