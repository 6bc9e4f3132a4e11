// Fuzz target for the regular-expression engine.
//
// Input: one control byte, then the expression up to the first NUL, then the subject.
// Control bits 0-5 are the modifiers; bit 6 clears the paired line separator; bit 7 also
// searches from a later offset. Checked for every input: no crash and no sanitizer report;
// a compiled program is well formed (every node has a known opcode, every link and loop body
// offset lands on a node) and recompiles byte-identically; only the execution errors that any
// expression may meet are raised; every sub-match lies inside the subject; and a plainly
// recursive matcher (RecursiveMatcher.h) finds the same match with the same sub-matches.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "regexpr/RegExpr.h"
#include "regexpr/RegExprDump.h"
#include "regexpr/RegExprProgram.h"
#include "tests/regexpr/RecursiveMatcher.h"

namespace {

using namespace regexpr;

[[noreturn]] void Fail(const char *what, std::string_view pattern, const TRegExpr &re) {
    std::fprintf(stderr, "invariant broken: %s\npattern: %.*s\n%s", what, static_cast<int>(pattern.size()),
                 pattern.data(), DumpProgram(re.Program()).c_str());
    std::abort();
}

// Every node has a known opcode and size, and every link lands on a node start.
bool WellFormed(std::span<const std::uint8_t> program) {
    if (program.size() < 11 || program[0] != ProgramSignature) return false;
    const std::int32_t size = static_cast<std::int32_t>(program.size());
    std::vector<bool> starts(program.size(), false);
    std::vector<std::int32_t> nodes;
    for (std::int32_t node = 1; node < size;) {
        const std::int32_t nodeSize = NodeSize(program, node);
        if (nodeSize == 0) return false;
        starts[node] = true;
        nodes.push_back(node);
        node += nodeSize;
    }
    if (program[1] != OpBranch) return false;
    for (std::int32_t node : nodes) {
        const std::int32_t link = NodeLink(program.data(), node);
        const std::int64_t target = std::int64_t(node) + link;
        if (link != 0 && (target < 1 || target >= size || !starts[target])) return false;
        if ((program[node] == OpBack) != (link < 0)) return false;
        if (program[node] == OpLoop || program[node] == OpLoopLazy) {
            const std::int64_t body = std::int64_t(node) + LoopBodyOffset(program.data(), node);
            if (body < 1 || body >= node || !starts[body]) return false;
            if (CountMin(program.data(), node) > CountMax(program.data(), node))
                return false;
        }
    }
    return program[nodes.back()] == OpEnd;
}

// The engine and the recursive matcher agree on the outcome and on every sub-match.
void CompareWithRecursiveMatcher(const TRegExpr &re, std::string_view input, std::int32_t offset,
                                 std::int32_t code, bool matched, std::string_view pattern) {
    if (input.size() > 512) return;
    regexpr_reference::TRecursiveMatcher reference(re, input);
    bool referenceMatched = false;
    try {
        referenceMatched = reference.Exec(offset);
    } catch (const regexpr_reference::TGiveUp &) {
        return;
    } catch (const regexpr_reference::TLoopStackError &) {
        if (code != ErrLoopStackExceeded) Fail("only the recursive matcher met the loop stack limit", pattern, re);
        return;
    }
    if (code == ErrLoopStackExceeded) Fail("only the engine met the loop stack limit", pattern, re);
    if (referenceMatched != matched) Fail("the recursive matcher disagrees on the outcome", pattern, re);
    if (!matched) return;
    for (std::int32_t n = 0; n <= MaxGroups; ++n) {
        const bool set = reference.Start[n] >= 0 && reference.End[n] >= 0;
        if (set != (re.MatchPos(n) >= 0)) Fail("the recursive matcher disagrees on a group's presence", pattern, re);
        if (set && (reference.Start[n] != re.MatchPos(n) ||
                    std::max(0, reference.End[n] - reference.Start[n]) != re.MatchLen(n)))
            Fail("the recursive matcher disagrees on a group's bounds", pattern, re);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint8_t control = data[0];
    const std::string_view rest(reinterpret_cast<const char *>(data + 1), size - 1);
    const std::size_t nul = rest.find('\0');
    const std::string_view pattern = rest.substr(0, nul);
    const std::string_view subject = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);
    const std::int32_t modifiers = control & 63;

    TRegExpr re;
    re.SetModifiers(modifiers);
    re.SetStepLimit(200'000);
    re.SetBacktrackLimit(100'000);
    if (control & 64) re.SetLinePairedSeparator("");
    re.SetExpression(pattern);
    try {
        re.CompileExpression();
    } catch (const ERegExpr &e) {
        const bool syntaxError = (e.Code >= ErrNullArgument && e.Code <= ErrBadPairedSeparator) || e.Code == ErrNoExpression;
        if (!syntaxError) Fail("unexpected compile error code", pattern, re);
        if (e.Pos < 0 || static_cast<std::size_t>(e.Pos) > pattern.size()) Fail("error position", pattern, re);
        if (!re.Program().empty() || re.IsCompiled()) Fail("program left after an error", pattern, re);
        return 0;
    }
    if (!WellFormed(re.Program())) Fail("malformed program", pattern, re);
    (void)DumpProgram(re.Program());

    TRegExpr again;
    again.SetModifiers(modifiers);
    if (control & 64) again.SetLinePairedSeparator("");
    again.SetExpression(pattern);
    again.CompileExpression();
    if (!std::equal(re.Program().begin(), re.Program().end(), again.Program().begin(), again.Program().end()))
        Fail("recompilation differs", pattern, re);

    const std::string_view input = subject.substr(0, subject.find('\0'));
    const std::int32_t offsets[] = {1, (control & 128) ? static_cast<std::int32_t>(input.size() / 2 + 1) : 1};
    for (std::int32_t offset : offsets) {
        bool matched = false;
        std::int32_t code = 0;
        try {
            re.SetInputString(subject);
            matched = re.ExecAt(offset);
        } catch (const ERegExpr &e) {
            if (e.Code != ErrLoopStackExceeded && e.Code != ErrBacktrackLimit && e.Code != ErrStepLimit) Fail("unexpected exec error code", pattern, re);
            if (re.SubMatchCount() != 0) Fail("sub-matches left after an exec error", pattern, re);
            code = e.Code;
        }
        if (code != ErrBacktrackLimit && code != ErrStepLimit) CompareWithRecursiveMatcher(re, input, offset, code, matched, pattern);
        if (code != 0) continue;
        if (!matched) {
            if (re.SubMatchCount() != 0) Fail("sub-matches after a failed search", pattern, re);
            continue;
        }
        if (re.MatchPos(0) < offset - 1) Fail("match before the offset", pattern, re);
        for (std::int32_t n = 0; n <= MaxGroups; ++n) {
            const std::int32_t pos = re.MatchPos(n);
            if (pos < 0) continue;
            const std::int64_t end = std::int64_t(pos) + re.MatchLen(n);
            if (end > static_cast<std::int64_t>(input.size())) Fail("sub-match outside the subject", pattern, re);
            if (re.Match(n) != input.substr(static_cast<std::size_t>(pos), static_cast<std::size_t>(re.MatchLen(n))))
                Fail("sub-match text", pattern, re);
        }
        if (re.SubMatchCount() < 0 || re.SubMatchCount() > MaxGroups) Fail("sub-match count", pattern, re);
    }
    return 0;
}
