// The object interface of the engine: settings, subject and results, error reporting.
#include "regexpr/RegExpr.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <new>
#include <utility>

#include "regexpr/RegExprCompiler.h"
#include "regexpr/RegExprMatcher.h"

namespace regexpr {

unsigned char AsciiCasePartner(void *, unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c - 'A' + 'a');
    return c;
}

const std::string &StandardSpaceText() {
    static const std::string text(StandardSpaceList);
    return text;
}

const std::string &StandardWordText() {
    static const std::string text(StandardWordList);
    return text;
}

const std::string &StandardLineSeparatorText() {
    static const std::string text(StandardLineSeparators);
    return text;
}

TRegExprDefaults &RegExprDefaults() {
    static TRegExprDefaults defaults;
    return defaults;
}

TRegExpr::TRegExpr() {
    Sub_.Clear();
    const TRegExprDefaults &defaults = RegExprDefaults();
    Modifiers_ = (defaults.ModifierI ? ModifierI : 0) | (defaults.ModifierR ? ModifierR : 0) |
                 (defaults.ModifierS ? ModifierS : 0) | (defaults.ModifierG ? ModifierG : 0) |
                 (defaults.ModifierM ? ModifierM : 0);
    SpaceList_.Assign(defaults.SpaceList, StandardSpaceText());
    WordList_.Assign(defaults.WordList, StandardWordText());
    CasePartner_ = defaults.CasePartner;
    LineSeparatorList_.Assign(defaults.LineSeparatorList, StandardLineSeparatorText());
    SetLinePairedSeparator(defaults.LinePairedSeparator);
}

void TRegExpr::BuildWordSet() {
    // The word list stays fixed for the object's life: its set is built once, by the first
    // compilation that needs it ("\b" or "\B").
    if (WordSetBuilt_) return;
    for (unsigned char c : WordList_.Text()) WordSet_.set(c);
    WordSetBuilt_ = true;
}

void TRegExpr::BuildCaseTable() {
    // The case function stays fixed for the object's life, so its table is made once, by the
    // first compilation that may fold case, instead of asking it once per character matched.
    // Each object makes its own: objects share nothing that changes.
    if (CaseTableBuilt_) return;
    for (int c = 0; c < 256; ++c) CaseTable_[c] = CasePartner_(static_cast<unsigned char>(c));
    CaseTableBuilt_ = true;
}

TRegExpr::~TRegExpr() {
    if (MatcherMemory_) MatcherMemory_->~TMatcherMemory();
}

// --- Expression and program -------------------------------------------------------------------

void TRegExpr::SetExpression(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    if (IsCompiled_ && !Expression_.empty() && Expression() == text) return;
    IsCompiled_ = false;
    // The text may be a part of the stored expression: the block copies it before it grows.
    Expression_.assign(text.data(), text.size());
    if (!text.empty()) Expression_.resize(text.size() + 1);  // the NUL that ends it
    DropProgram();
}

std::string_view TRegExpr::Expression() const {
    if (Expression_.empty()) return std::string_view();
    return std::string_view(reinterpret_cast<const char *>(Expression_.data()), Expression_.size() - 1);
}

bool TRegExpr::CompileProgram(std::string_view expression) {
    // The parser reads a NUL-terminated text. The stored expression is one already; any other
    // text is cut at its first NUL and copied for the whole compilation.
    const std::string_view own = Expression();
    const bool stored = !own.empty() && expression.data() == own.data() && expression.size() == own.size();
    std::string copy;
    if (!stored) copy.assign(expression.substr(0, expression.find('\0')));
    const std::string_view text = stored ? expression : std::string_view(copy);
    DropProgram();
    IsCompiled_ = false;
    // Only the i modifier folds case: set beforehand, or switched on inside the expression,
    // where the compiler asks for the table.
    if ((Modifiers_ & ModifierI) != 0) BuildCaseTable();
    if (!text.empty()) ProgramModifiers_ = Modifiers_;

    TCompileSettings settings;
    settings.Modifiers = Modifiers_;
    settings.SpaceList = SpaceList_.Text();
    settings.WordList = WordList_.Text();
    settings.StandardSpaces = SpaceList_.IsStandard();
    settings.StandardWords = WordList_.IsStandard();
    settings.CaseTable = &CaseTable_;
    settings.PrepareCaseTable = [](void *self) { static_cast<TRegExpr *>(self)->BuildCaseTable(); };
    settings.PrepareContext = this;
    settings.LineSeparatorDefined = !LineSeparatorList_.Text().empty() || PairAssigned_;
    TCompiler compiler(settings, Program_, [this](TErrorCode code) { Error(code); });
    // The compiler writes into the program block; a compilation that fails leaves no program.
    struct TActive {
        TRegExpr &Self;
        bool Succeeded = false;
        ~TActive() {
            Self.ActiveCompiler_ = nullptr;
            if (!Succeeded) Self.Program_.clear();
        }
    } active{*this};
    ActiveCompiler_ = &compiler;
    TCompiledProgram result;
    if (!compiler.Compile(text, result)) return false;
    active.Succeeded = true;

    StartChar_ = result.StartChar;
    AnchoredStart_ = result.AnchoredStart;
    MustStringAt_ = result.MustStringAt;
    MustLength_ = result.MustLength;
    Required_ = result.Required;
    if (result.UsesWordSet) BuildWordSet();
    // The start-character set is collected when a search first needs it.
    StartCharSet_.reset();
    StartCharSetKnown_ = false;
    IsCompiled_ = true;
    ++CompileCount_;
    return true;
}

void TRegExpr::CompileExpression() {
    if (Expression_.empty()) {
        Error(ErrNoExpression);
        return;
    }
    CompileProgram(Expression());
}

void TRegExpr::DropProgram() {
    Program_.clear();
    Required_ = TRequiredLiterals{};
    StartCharSet_.reset();
    StartCharSetKnown_ = false;
}

bool TRegExpr::EnsureProgram() {
    if (Modifiers_ != ProgramModifiers_) DropProgram();
    if (!LineSeparatorSetBuilt_) {
        // The separator list stays fixed for the object's life.
        for (unsigned char c : LineSeparatorList_.Text()) LineSeparatorSet_.set(c);
        LineSeparatorSetBuilt_ = true;
    }
    if (Program_.empty()) CompileExpression();
    if (Program_.empty()) return false;
    if (Program_[0] != ProgramSignature) {
        Error(ErrBadSignature);
        return false;
    }
    return true;
}

// --- Subject and results ----------------------------------------------------------------------

namespace {

// Copies `size` bytes from `from` to `to` (separate blocks) and returns the length of the text
// up to its first NUL. A subject is copied for every line, and looking for a NUL in a pass of its
// own costs a short line more than the copy: here each 8-byte word is tested for a zero byte as
// it is copied, and only a text that holds one is searched again.
std::size_t CopyUpToNul(char *to, const char *from, std::size_t size) {
    constexpr std::uint64_t lows = 0x0101010101010101;
    constexpr std::uint64_t highs = 0x8080808080808080;
    std::uint64_t zeros = 0;
    auto copyWord = [&](std::size_t at) {
        std::uint64_t word;
        std::memcpy(&word, from + at, sizeof word);
        zeros |= (word - lows) & ~word & highs;  // non-zero when a byte of the word is 0
        std::memcpy(to + at, &word, sizeof word);
    };
    if (size >= 8) {
        std::size_t at = 0;
        for (; at + 8 <= size; at += 8) copyWord(at);
        if (at < size) copyWord(size - 8);  // the last bytes, overlapping the word before
    } else {
        for (std::size_t at = 0; at < size; ++at) {
            to[at] = from[at];
            zeros |= from[at] == '\0';
        }
    }
    if (zeros == 0) return size;
    return std::min(size, std::string_view(from, size).find('\0'));
}

}  // namespace

void TRegExpr::SetInputString(std::string_view text) {
    Sub_.Clear();
    // The subject ends at the first NUL. A caller that runs one object over many lines reuses the
    // block instead of allocating one per line; the memory of an unusually long subject is given
    // back.
    const char *current = reinterpret_cast<const char *>(Subject_.data());
    const bool inside = !std::less<const char *>()(text.data(), current) &&
                        std::less<const char *>()(text.data(), current + Subject_.capacity());
    std::size_t length;
    if (inside) {
        // A part of the current subject, which ends at the current NUL: it moves to the start.
        length = std::min(text.size(), text.find('\0'));
        std::memmove(Subject_.data(), text.data(), length);
    } else {
        char *to = reinterpret_cast<char *>(Subject_.Overwrite(text.size() + 1, 4096));
        length = CopyUpToNul(to, text.data(), text.size());
    }
    Subject_.resize(length + 1);  // no longer than the block holds now: nothing is zeroed
    Subject_[length] = '\0';
}

std::string_view TRegExpr::InputString() const {
    if (Subject_.empty()) return std::string_view();
    return std::string_view(reinterpret_cast<const char *>(Subject_.data()), Subject_.size() - 1);
}

bool TRegExpr::Exec(std::string_view text) {
    SetInputString(text);
    return ExecAt(1);
}

bool TRegExpr::ExecAt(std::int32_t offset) {
    if (!EnsureProgram()) return false;
    if (Subject_.empty()) {
        Error(ErrNoInput);
        return false;
    }
    if (InputString().size() > static_cast<std::size_t>(MaxInputLength)) {
        Error(ErrInputTooLong);
        return false;
    }
    const std::string_view subject = InputString();
    const std::int32_t length = static_cast<std::int32_t>(subject.size());
    if (offset < 1) {
        Error(ErrBadOffset);
        return false;
    }
    if (offset > length + 1) return false;
    const std::int32_t start = offset - 1;
    // A match must contain the literal: without it there is nothing to try.
    if (MustLength_ > 0 && subject.find(MustString(), static_cast<std::size_t>(start)) == std::string_view::npos)
        return false;
    const bool needsStartSet = !AnchoredStart_ && StartChar_ == 0;
    if (needsStartSet && !EnsureStartCharSet()) {
        Error(ErrBadOpcode);
        return false;
    }

    // Every field named once: a default-made input would be zeroed first, a block store that
    // costs a refused line more than the rest of its set-up.
    const TMatchInput input{.Program = Program_,
                            .Subject = subject,
                            .StartChar = StartChar_,
                            .AnchoredStart = AnchoredStart_,
                            .Required = &Required_,
                            .StartCharSet = &StartCharSet_,
                            .CaseTable = &CaseTable_,
                            .WordSet = &WordSet_,
                            .LineSeparatorSet = &LineSeparatorSet_,
                            .PairAssigned = PairAssigned_,
                            .PairHead = PairHead_,
                            .PairTail = PairTail_,
                            .StepLimit = StepLimit_,
                            .BacktrackLimit = BacktrackLimit_};
    // Its first frames need no zeroing: a frame is written before it is read.
    static_assert(sizeof(TMatcherMemory) <= MatcherMemoryBlockSize && alignof(TMatcherMemory) <= 16,
                  "the matcher's memory must fit its block");
    if (!MatcherMemory_) MatcherMemory_ = ::new (static_cast<void *>(MatcherMemoryBlock_)) TMatcherMemory;
    MatcherMemory_->UseProgram(CompileCount_);
    const TMatcher::TReportError report{[](void *self, TErrorCode code) { static_cast<TRegExpr *>(self)->Error(code); },
                                        this};
    return TMatcher::Execute(input, *MatcherMemory_, Sub_, report, start, Steps_);
}

std::int32_t TRegExpr::SubMatchCount() const {
    if (Subject_.empty()) return -1;
    for (int n = MaxGroups; n >= 1; --n)
        if (Sub_.Start[n] >= 0 && Sub_.End[n] >= 0) return n;
    return 0;
}

std::int32_t TRegExpr::MatchPos(std::int32_t n) const {
    if (n < 0 || n > MaxGroups || Subject_.empty()) return -1;
    if (Sub_.Start[n] < 0 || Sub_.End[n] < 0) return -1;
    return Sub_.Start[n];
}

std::int32_t TRegExpr::MatchLen(std::int32_t n) const {
    if (MatchPos(n) < 0) return -1;
    // Every successful path leaves a group through its ")", so the end never lies before the
    // start; the bound only keeps a damaged state from producing a huge length.
    return std::max(0, Sub_.End[n] - Sub_.Start[n]);
}

std::string TRegExpr::Match(std::int32_t n) const {
    std::int32_t pos = MatchPos(n);
    if (pos < 0) return std::string();
    return std::string(InputString().substr(static_cast<std::size_t>(pos), static_cast<std::size_t>(MatchLen(n))));
}

bool TRegExpr::EnsureStartCharSet() const {
    if (StartCharSetKnown_ || Program_.empty()) return true;
    std::bitset<256> set;
    const bool complete = CollectStartChars(Program_, 1, CaseTable_, set);
    StartCharSet_ = set;
    StartCharSetKnown_ = complete;  // an unfinished walk is reported again by the next search
    return complete;
}

const std::bitset<256> &TRegExpr::StartCharSet() const {
    EnsureStartCharSet();  // a program the compiler wrote holds only known opcodes
    return StartCharSet_;
}

std::string_view TRegExpr::MustString() const {
    if (MustLength_ <= 0 || Program_.empty()) return std::string_view();
    return std::string_view(reinterpret_cast<const char *>(Program_.data()) + MustStringAt_,
                            static_cast<std::size_t>(MustLength_));
}

// --- Settings ---------------------------------------------------------------------------------

namespace {

std::int32_t ModifierBitOfIndex(std::int32_t index) {
    return index >= 1 && index <= 6 ? std::int32_t(1) << (index - 1) : 0;
}

}  // namespace

void TRegExpr::SetModifierByIndex(std::int32_t index, bool on) {
    std::int32_t bit = ModifierBitOfIndex(index);
    if (bit == 0) {
        Error(ErrBadModifierIndex);
        return;
    }
    if (on)
        Modifiers_ |= bit;
    else
        Modifiers_ &= ~bit;
}

bool TRegExpr::GetModifierByIndex(std::int32_t index) {
    std::int32_t bit = ModifierBitOfIndex(index);
    if (bit == 0) {
        Error(ErrBadModifierIndex);
        return false;
    }
    return (Modifiers_ & bit) != 0;
}

void TRegExpr::SetLinePairedSeparator(std::string_view text) {
    if (text.size() == 2) {
        unsigned char head = static_cast<unsigned char>(text[0]);
        unsigned char tail = static_cast<unsigned char>(text[1]);
        if (head == tail) {
            Error(ErrBadPairedSeparator);
            return;
        }
        if (PairAssigned_ && PairHead_ == head && PairTail_ == tail) return;
        PairAssigned_ = true;
        PairHead_ = head;
        PairTail_ = tail;
        DropProgram();
    } else if (text.empty()) {
        if (!PairAssigned_) return;
        PairAssigned_ = false;
        DropProgram();
    } else {
        Error(ErrBadPairedSeparator);
    }
}

std::string TRegExpr::LinePairedSeparator() const {
    if (!PairAssigned_) return std::string();
    return std::string{static_cast<char>(PairHead_), static_cast<char>(PairTail_)};
}

// --- Errors -----------------------------------------------------------------------------------

std::int32_t TRegExpr::ErrorPosition() const {
    return ActiveCompiler_ ? ActiveCompiler_->ErrorPosition() : 0;
}

void TRegExpr::Error(std::int32_t code) {
    LastErrorCode_ = code;
    std::string message = ErrorText(code);
    if (code < FirstExecErrorCode) message += " (pos " + std::to_string(ErrorPosition()) + ")";
    throw ERegExpr(message, code, ErrorPosition());
}

std::string TRegExpr::ErrorText(std::int32_t code) const {
    switch (code) {
    case ErrNone: return "No errors";
    case ErrNullArgument: return "TRegExpr(comp): Null Argument";
    case ErrTooBig: return "TRegExpr(comp): Regexp Too Big";
    case ErrTooManyGroups: return "TRegExpr(comp): ParseReg Too Many ()";
    case ErrGroupNotClosed: return "TRegExpr(comp): ParseReg Unmatched ()";
    case ErrCloseWithoutGroup: return "TRegExpr(comp): ParseReg Unmatched ()";
    case ErrJunkOnEnd: return "TRegExpr(comp): ParseReg Junk On End";
    case ErrEmptyOperand: return "TRegExpr(comp): *+ Operand Could Be Empty";
    case ErrNestedQuantifier: return "TRegExpr(comp): Nested *?+";
    case ErrBadHexDigit: return "TRegExpr(comp): Bad Hex Digit";
    case ErrInvalidRange: return "TRegExpr(comp): Invalid [] Range";
    case ErrClassTrailingBackslash: return "TRegExpr(comp): Parse Atom Trailing \\";
    case ErrNoHexCode: return "TRegExpr(comp): No Hex Code After \\x";
    case ErrHexCodeTooBig: return "TRegExpr(comp): Hex Code After \\x Is Too Big";
    case ErrClassNotClosed: return "TRegExpr(comp): Unmatched []";
    case ErrInternal: return "TRegExpr(comp): Internal Urp";
    case ErrNothingToRepeat: return "TRegExpr(comp): ?+*{ Follows Nothing";
    case ErrTrailingBackslash: return "TRegExpr(comp): Trailing \\";
    case ErrAtomInternal: return "TRegExpr(comp): RarseAtom Internal Disaster";
    case ErrBracesTooBig: return "TRegExpr(comp): BRACES Argument Too Big";
    case ErrBracesMinAboveMax: return "TRegExpr(comp): BRACE Min Param Greater then Max";
    case ErrCommentNotClosed: return "TRegExpr(comp): Unclosed (?#Comment)";
    case ErrComplexBraces:
        return "TRegExpr(comp): If you want take part in beta-testing BRACES '{min,max}' and "
               "non-greedy ops '*?', '+?', '?\?' for complex cases - remove '.' from "
               "{.$DEFINE ComplexBraces}";
    case ErrBadModifier: return "TRegExpr(comp): Urecognized Modifier";
    case ErrBadPairedSeparator:
        return "TRegExpr(comp): LinePairedSeparator must countain two different chars or no "
               "chars at all";
    case ErrRepeatOperand: return "TRegExpr(exec): RegRepeat Called Inappropriately";
    case ErrBadOpcode: return "TRegExpr(exec): MatchPrim Memory Corruption";
    case ErrBrokenLink: return "TRegExpr(exec): MatchPrim Corrupted Pointers";
    case ErrNoExpression: return "TRegExpr(exec): Not Assigned Expression Property";
    case ErrBadSignature: return "TRegExpr(exec): Corrupted Program";
    case ErrNoInput: return "TRegExpr(exec): No Inpit String Specified";
    case ErrBadOffset: return "TRegExpr(exec): Offset Must Be Greater Then 0";
    case ErrNextWithoutExec: return "TRegExpr(exec): ExecNext Without Exec[Pos]";
    case ErrNoInputToGet: return "TRegExpr(exec): GetInputString Without InputString";
    case ErrDumpBadOpcode: return "TRegExpr(dump): Corrupted Opcode";
    case ErrLoopStackExceeded: return "TRegExpr(exec): Loop Stack Exceeded";
    case ErrLoopWithoutEntry: return "TRegExpr(exec): Loop Without LoopEntry !";
    // The engine's own bounds on one execution.
    case ErrBacktrackLimit: return "TRegExpr(exec): Backtracking Stack Limit Exceeded";
    case ErrStepLimit: return "TRegExpr(exec): Step Limit Exceeded (catastrophic backtracking?)";
    case ErrInputTooLong: return "TRegExpr(exec): Input String Too Long";
    default: return "Unknown error";
    }
}

}  // namespace regexpr
