// Helpers shared by the engine's tests: hand-built expected programs, compiling under given
// modifiers, and failure messages that show the program listing.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "regexpr/RegExpr.h"
#include "regexpr/RegExprDump.h"
#include "tests/regexpr/RecursiveMatcher.h"

#include "support/Failure.h"

namespace regexpr_test {

using namespace regexpr;

/// Builds an expected program byte by byte: the signature, then nodes with their links and
/// operands written the way the format lays them out.
class ProgramBytes {
public:
    ProgramBytes() { Bytes_.push_back(ProgramSignature); }

    ProgramBytes &Node(TOpCode op, std::int32_t link) {
        Bytes_.push_back(op);
        return Int(link);
    }
    ProgramBytes &Int(std::int32_t value) {
        std::uint8_t raw[4];
        WriteInt32(raw, value);
        Bytes_.insert(Bytes_.end(), raw, raw + 4);
        return *this;
    }
    /// A NUL-terminated literal operand.
    ProgramBytes &Str(std::string_view text) {
        Bytes_.insert(Bytes_.end(), text.begin(), text.end());
        Bytes_.push_back(0);
        return *this;
    }
    ProgramBytes &Raw(std::initializer_list<std::uint8_t> bytes) {
        Bytes_.insert(Bytes_.end(), bytes.begin(), bytes.end());
        return *this;
    }
    /// A 32-byte set operand holding `members`.
    ProgramBytes &Set(const std::vector<int> &members) {
        std::uint8_t map[ByteSetSize] = {};
        for (int c : members) map[c >> 3] = static_cast<std::uint8_t>(map[c >> 3] | (1u << (c & 7)));
        Bytes_.insert(Bytes_.end(), map, map + ByteSetSize);
        return *this;
    }

    const std::vector<std::uint8_t> &Bytes() const { return Bytes_; }

private:
    std::vector<std::uint8_t> Bytes_;
};

/// Members of a set given as byte ranges, e.g. Members({{'a', 'c'}, {'x', 'x'}}).
inline std::vector<int> Members(std::initializer_list<std::pair<int, int>> ranges) {
    std::vector<int> members;
    for (auto [from, to] : ranges)
        for (int c = from; c <= to; ++c) members.push_back(c);
    return members;
}

/// Every byte that is not in `members`.
inline std::vector<int> Complement(const std::vector<int> &members) {
    std::vector<bool> in(256, false);
    for (int c : members) in[c] = true;
    std::vector<int> rest;
    for (int c = 0; c < 256; ++c)
        if (!in[c]) rest.push_back(c);
    return rest;
}

/// Compiles `pattern` under `modifiers` and returns the program bytes.
inline std::vector<std::uint8_t> CompileBytes(std::string_view pattern, std::int32_t modifiers = 14) {
    TRegExpr re;
    re.SetModifiers(modifiers);
    re.SetExpression(pattern);
    re.CompileExpression();
    auto program = re.Program();
    return std::vector<std::uint8_t>(program.begin(), program.end());
}

/// Both listings, for a failure message.
inline std::string CompareListings(const std::vector<std::uint8_t> &expected,
                                   const std::vector<std::uint8_t> &actual) {
    return "expected:\n" + DumpProgram(expected) + "actual:\n" + DumpProgram(actual);
}

/// Runs `subject` through a fresh object; returns the raised error's code, or 0.
inline std::int32_t ExecErrorCode(std::string_view pattern, std::string_view subject) {
    TRegExpr re;
    re.SetExpression(pattern);
    return support::ErrorCodeOf<ERegExpr>([&] { re.Exec(subject); });
}

/// Where the engine's last execution of `re` on `subject` (from the first character) differs from
/// the plainly recursive matcher's: the outcome, the position and length of the whole match and of
/// every group. Empty when both agree.
inline std::string DifferenceFromReference(const TRegExpr &re, std::string_view subject, bool matched) {
    regexpr_reference::TRecursiveMatcher reference(re, subject.substr(0, subject.find('\0')));
    bool expected = false;
    try {
        expected = reference.Exec(1);
    } catch (const regexpr_reference::TGiveUp &) {
        return "the recursive matcher gave up";
    } catch (const regexpr_reference::TLoopStackError &) {
        return "the recursive matcher met the loop stack limit";
    }
    if (expected != matched) return expected ? "only the recursive matcher matched" : "only the engine matched";
    if (!matched) return {};
    std::string difference;
    for (std::int32_t n = 0; n <= MaxGroups; ++n) {
        const bool set = reference.Start[n] >= 0 && reference.End[n] >= 0;
        const std::int32_t pos = set ? reference.Start[n] : -1;
        const std::int32_t length = set ? std::max(0, reference.End[n] - reference.Start[n]) : 0;
        const std::int32_t enginePos = re.MatchPos(n);
        const std::int32_t engineLength = enginePos >= 0 ? re.MatchLen(n) : 0;
        if (pos != enginePos || length != engineLength)
            difference += "group " + std::to_string(n) + ": recursive " + std::to_string(pos) + "+" +
                          std::to_string(length) + ", engine " + std::to_string(enginePos) + "+" +
                          std::to_string(engineLength) + "\n";
    }
    return difference;
}

}  // namespace regexpr_test
