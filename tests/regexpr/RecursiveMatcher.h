// A second matcher to compare the engine with, used by the table tests and the fuzz target: the
// same program, run by plain recursion the way the matcher is described in words (every open
// choice is a call, every change is undone when the call fails). The engine runs one loop over a
// heap stack instead; both must find the same match with the same sub-matches, or meet the same
// loop-stack error.
//
// It shares the engine's decisions where plain recursion would go wrong (a jump back, or a pass
// of a loop without a finite maximum, that consumed nothing ends the loop; repeats of a
// back-reference move by whole repetitions) and gives up (`TGiveUp`) past a call budget or
// depth, which keeps it to small inputs.
#pragma once

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "regexpr/RegExpr.h"
#include "regexpr/RegExprProgram.h"

namespace regexpr_reference {

using namespace regexpr;

struct TGiveUp {};
struct TLoopStackError {};

class TRecursiveMatcher {
public:
    TRecursiveMatcher(const TRegExpr &re, std::string_view input) : Re_(re), Program_(re.Program()), Input_(input) {
        for (int c = 0; c < 256; ++c) Case_[c] = re.CasePartner()(static_cast<unsigned char>(c));
        for (unsigned char c : re.WordList()) Word_.set(c);
        for (unsigned char c : re.LineSeparatorList()) LineSet_.set(c);
        const std::string pair = re.LinePairedSeparator();
        PairAssigned_ = pair.size() == 2;
        if (PairAssigned_) {
            Head_ = static_cast<unsigned char>(pair[0]);
            Tail_ = static_cast<unsigned char>(pair[1]);
        }
        BackPass_.assign(Program_.size(), -1);
    }

    /// Searches from the 1-based `offset` as the engine does; returns whether a match was found.
    bool Exec(std::int32_t offset) {
        const std::int32_t length = static_cast<std::int32_t>(Input_.size());
        if (offset > length + 1) return false;
        const std::int32_t start = offset - 1;
        if (!Re_.MustString().empty() && Input_.find(Re_.MustString(), static_cast<std::size_t>(start)) == std::string_view::npos)
            return false;
        if (Re_.AnchoredStart()) return TryMatch(start);
        for (std::int32_t p = start; p < length; ++p) {
            const unsigned char c = static_cast<unsigned char>(Input_[p]);
            if (Re_.StartChar() != 0 ? c != Re_.StartChar() : !Re_.StartCharSet().test(c)) continue;
            if (TryMatch(p)) return true;
        }
        return false;
    }

    std::array<std::int32_t, SubMatchSlots> Start{};
    std::array<std::int32_t, SubMatchSlots> End{};

private:
    bool TryMatch(std::int32_t pos) {
        Start.fill(-1);
        End.fill(-1);
        Scan_ = pos;
        Depth_ = 0;
        if (!Match(1)) return false;
        Start[0] = pos;
        End[0] = Scan_;
        return true;
    }

    unsigned char At(std::int32_t pos) const {
        return pos >= 0 && pos < static_cast<std::int32_t>(Input_.size()) ? static_cast<unsigned char>(Input_[pos]) : 0;
    }
    std::int32_t Length() const { return static_cast<std::int32_t>(Input_.size()); }
    std::int32_t Next(std::int32_t node) const {
        const std::int32_t link = NodeLink(Program_.data(), node);
        return link == 0 ? 0 : node + link;
    }
    bool Word(std::int32_t pos) const { return pos >= 0 && pos < Length() && Word_.test(At(pos)); }

    bool CharTest(TOpCode op, const std::uint8_t *operand, unsigned char c) const {
        switch (op) {
        case OpAny: return true;
        case OpLiteral: return c == operand[0];
        case OpLiteralNoCase: return c == operand[0] || c == Case_[operand[0]];
        case OpDigit: return c >= '0' && c <= '9';
        case OpNonDigit: return !(c >= '0' && c <= '9');
        case OpSmallSet: return c == operand[0] || c == operand[1] || c == operand[2];
        case OpNotSmallSet: return !(c == operand[0] || c == operand[1] || c == operand[2]);
        case OpByteSet: return (operand[c >> 3] >> (c & 7)) & 1;
        default: return false;
        }
    }

    // Whole repetitions of a group's text from `pos`; the step is the text's length.
    std::int32_t GroupRepeats(TOpCode op, int group, std::int32_t pos, std::int32_t max, std::int32_t &step) const {
        step = 0;
        if (Start[group] < 0 || End[group] < 0) return 0;
        step = std::max(0, End[group] - Start[group]);
        if (step == 0) return 0;
        std::int32_t count = 0;
        while (count < max && pos + step <= Length()) {
            for (std::int32_t i = 0; i < step; ++i) {
                const unsigned char q = At(Start[group] + i), x = At(pos + i);
                if (x != q && (op == OpBackRef || x != Case_[q])) return count;
            }
            pos += step;
            ++count;
        }
        return count;
    }

    bool Repeat(std::int32_t node) {
        const TOpCode op = Program_[node];
        const std::int32_t operand = RepeatOperandNode(op, node);
        const std::int32_t min = RepeatMin(Program_.data(), node);
        const std::int32_t max = IsBracesOp(op) ? CountMax(Program_.data(), node) : RepeatLimit;
        const bool lazy = op == OpStarLazy || op == OpPlusLazy || op == OpBracesLazy;
        const std::int32_t next = Next(node);
        const int lookAhead = next != 0 && Program_[next] == OpLiteral && *NodeOperand(Program_.data(), next) != 0
                                  ? *NodeOperand(Program_.data(), next)
                                  : -1;
        const std::int32_t saved = Scan_;
        std::int32_t count = 0;
        std::int32_t step = 1;
        const TOpCode operandOp = Program_[operand];
        if (operandOp == OpBackRef || operandOp == OpBackRefNoCase) {
            const int group = BackRefGroup(Program_.data(), operand);
            count = GroupRepeats(operandOp, group, saved, max, step);
            if (step == 0 && Start[group] >= 0 && End[group] >= 0) count = min;  // an empty text: once
        } else {
            const std::int32_t limit = std::min(max, Length() - saved);
            while (count < limit && CharTest(operandOp, NodeOperand(Program_.data(), operand), At(saved + count))) ++count;
        }
        if (count < min) return false;
        auto attempt = [&](std::int32_t c) {
            const std::int32_t pos = saved + c * step;
            if (lookAhead >= 0 && At(pos) != lookAhead) return false;
            Scan_ = pos;
            return Match(next);
        };
        if (lazy) {
            for (std::int32_t c = min; c <= count; ++c)
                if (attempt(c)) return true;
        } else {
            for (std::int32_t c = count; c >= min; --c)
                if (attempt(c)) return true;
        }
        return false;
    }

    bool LineStart(std::int32_t pos) const {
        if (pos == 0) return true;
        const unsigned char before = At(pos - 1);
        if (PairAssigned_ && before == Tail_ && pos >= 2 && At(pos - 2) == Head_) return true;
        if (PairAssigned_ && before == Head_ && pos < Length() && At(pos) == Tail_) return false;
        return LineSet_.test(before);
    }

    bool LineEnd(std::int32_t pos) const {
        if (pos >= Length()) return true;
        const unsigned char c = At(pos);
        if (PairAssigned_ && c == Head_ && pos + 1 < Length() && At(pos + 1) == Tail_) return true;
        if (PairAssigned_ && c == Tail_ && pos > 0 && At(pos - 1) == Head_) return false;
        return LineSet_.test(c);
    }

    bool Match(std::int32_t node) {
        if (++Calls_ > 300'000 || ++Nesting_ > 3'000) throw TGiveUp{};
        const bool result = MatchFrom(node);
        --Nesting_;
        return result;
    }

    bool MatchFrom(std::int32_t node) {
        for (;;) {
            const TOpCode op = Program_[node];
            const std::int32_t next = Next(node);
            const std::uint8_t *operand = NodeOperand(Program_.data(), node);
            switch (op) {
            case OpEnd: return true;
            case OpInputStart: if (Scan_ != 0) return false; break;
            case OpInputEnd: if (Scan_ != Length()) return false; break;
            case OpLineStart: if (!LineStart(Scan_)) return false; break;
            case OpLineEnd: if (!LineEnd(Scan_)) return false; break;
            case OpWordBound: if (Word(Scan_ - 1) == Word(Scan_)) return false; break;
            case OpNotWordBound: if (Word(Scan_ - 1) != Word(Scan_)) return false; break;
            case OpEmpty: case OpComment: break;
            case OpAnyInLine: {
                if (Scan_ >= Length()) return false;
                const unsigned char c = At(Scan_);
                if (PairAssigned_ && c == Head_ && Scan_ + 1 < Length() && At(Scan_ + 1) == Tail_) return false;
                if (LineSet_.test(c)) return false;
                ++Scan_;
                break;
            }
            case OpLiteral: case OpLiteralNoCase:
                for (const std::uint8_t *p = operand; *p != 0; ++p, ++Scan_)
                    if (Scan_ >= Length() || (At(Scan_) != *p && (op == OpLiteral || At(Scan_) != Case_[*p]))) return false;
                break;
            case OpAny: case OpDigit: case OpNonDigit: case OpSmallSet: case OpNotSmallSet: case OpByteSet:
                if (Scan_ >= Length() || !CharTest(op, operand, At(Scan_))) return false;
                ++Scan_;
                break;
            case OpBackRef: case OpBackRefNoCase: {
                std::int32_t step = 0;
                const int group = operand[0];
                if (Start[group] < 0 || End[group] < 0) return false;
                if (GroupRepeats(op, group, Scan_, 1, step) == 0 && step != 0) return false;
                Scan_ += step;
                break;
            }
            case OpBranch: {
                if (next == 0 || Program_[next] != OpBranch) {
                    node = NodeAfterHeader(node);
                    continue;
                }
                for (std::int32_t branch = node; branch != 0 && Program_[branch] == OpBranch; branch = Next(branch)) {
                    const std::int32_t saved = Scan_;
                    if (Match(NodeAfterHeader(branch))) return true;
                    Scan_ = saved;
                }
                return false;
            }
            case OpBack: {
                const std::int32_t old = BackPass_[node];
                if (old == Scan_) return false;
                BackPass_[node] = Scan_;
                if (Match(next)) return true;
                BackPass_[node] = old;
                return false;
            }
            case OpStar: case OpPlus: case OpBraces: case OpStarLazy: case OpPlusLazy: case OpBracesLazy:
                return Repeat(node);
            case OpLoopEntry: {
                const int depth = Depth_ + 1;
                if (depth > LoopStackSize) throw TLoopStackError{};
                const std::int32_t oldCount = Loops_[depth], oldPass = Passes_[depth], saved = Scan_;
                Depth_ = depth;
                Loops_[depth] = 0;
                Passes_[depth] = -1;
                if (Match(next)) return true;
                Loops_[depth] = oldCount;
                Passes_[depth] = oldPass;
                Depth_ = depth - 1;
                Scan_ = saved;
                return false;
            }
            case OpLoop: case OpLoopLazy: {
                const int depth = Depth_;
                const std::int32_t n = Loops_[depth], min = CountMin(Program_.data(), node), max = CountMax(Program_.data(), node);
                const std::int32_t body = node + LoopBodyOffset(Program_.data(), node);
                const std::int32_t saved = Scan_;
                // Only a loop without a finite maximum stops on an empty pass (once it has its
                // minimum): the plain algorithm would go round it without end.
                const bool empty = max == BracesLimit && n >= min && n > 0 && Passes_[depth] == saved;
                auto bodyAttempt = [&] {
                    const std::int32_t oldPass = Passes_[depth];
                    Loops_[depth] = n + 1;
                    Passes_[depth] = saved;
                    if (Match(body)) return true;
                    Loops_[depth] = n;
                    Passes_[depth] = oldPass;
                    Scan_ = saved;
                    return false;
                };
                auto leave = [&] {
                    Depth_ = depth - 1;
                    if (Match(next)) return true;
                    Depth_ = depth;
                    Scan_ = saved;
                    return false;
                };
                if (empty) return leave();
                if (n < min) return bodyAttempt();
                if (op == OpLoop) return (n < max && bodyAttempt()) || leave();
                return leave() || (n < max && bodyAttempt());
            }
            default:
                if (IsOpenOp(op) || IsCloseOp(op)) {
                    auto &slots = IsOpenOp(op) ? Start : End;
                    const int group = IsOpenOp(op) ? op - OpOpen : op - OpClose;
                    const std::int32_t old = slots[group];
                    slots[group] = Scan_;
                    if (Match(next)) return true;
                    slots[group] = old;
                    return false;
                }
                throw TGiveUp{};
            }
            node = next;
        }
    }

    const TRegExpr &Re_;
    std::span<const std::uint8_t> Program_;
    std::string_view Input_;
    std::array<unsigned char, 256> Case_{};
    std::bitset<256> Word_;
    std::bitset<256> LineSet_;
    bool PairAssigned_ = false;
    unsigned char Head_ = 0;
    unsigned char Tail_ = 0;
    std::vector<std::int32_t> BackPass_;
    std::array<std::int32_t, LoopStackSize + 1> Loops_{};
    std::array<std::int32_t, LoopStackSize + 1> Passes_{};
    int Depth_ = 0;
    std::int32_t Scan_ = 0;
    std::int64_t Calls_ = 0;
    int Nesting_ = 0;
};

}  // namespace regexpr_reference
