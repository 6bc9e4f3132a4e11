// The matcher: {pattern, subject, expected} rows, covering start positions, backtracking order,
// repeats, loops, group bounds, line and word tests and case folding.
#include <gtest/gtest.h>

#include <optional>

#include "RegExprTestSupport.h"
#include "regexpr/RegExprMatcher.h"

namespace regexpr_test {
namespace {

constexpr std::int32_t Defaults = 14;
constexpr const char *Unset = nullptr;

struct MatchCase {
    std::string Pattern;
    std::string Subject;
    std::int32_t Pos;  // -1: no match
    std::string Whole;
    std::vector<const char *> Groups = {};  // from group 1; Unset for a group without bounds
    std::int32_t Modifiers = Defaults;
};

void PrintTo(const MatchCase &c, std::ostream *os) { *os << '"' << c.Pattern << "\" on \"" << c.Subject << '"'; }

std::vector<MatchCase> MatchCases() {
    const std::int32_t i = Defaults | ModifierI;
    const std::int32_t m = Defaults | ModifierM;
    return {
        // The error-line parser's own use.
        {"^.*?(\\d+)", "file.c(12): error", 0, "file.c(12", {"12"}},
        {"^.*?(\\d+)", "no digits", -1, ""},
        {"abc", "xxabcxx", 2, "abc"},
        {"abc", "ababx", -1, ""},
        // Alternatives in order; the first success at the leftmost position wins.
        {"a|ab", "ab", 0, "a"},
        {"ab|a", "ab", 0, "ab"},
        {"\\d|\\D", "5", 0, "5"},
        {"\\d|\\D", "x", 0, "x"},
        {"a|", "ba", 1, "a"},
        {"a|", "b", -1, ""},
        {"|a", "a", 0, ""},
        // Start positions are only characters of the start set; the end is never tried.
        {"x*", "abc", -1, ""},
        {"x*", "abxc", 2, "x"},
        {"^", "abc", 0, ""},
        {"^", "", 0, ""},
        {"$", "abc", -1, ""},
        {"$", "", -1, ""},
        {"^$", "", 0, ""},
        {"^$", "a", -1, ""},
        {"a$", "aba", 2, "a"},
        // Greedy and non-greedy repeats.
        {"<.*>", "<a><b>", 0, "<a><b>"},
        {"<.*?>", "<a><b>", 0, "<a>"},
        {"a+", "baaa", 1, "aaa"},
        {"a+?", "baaa", 1, "a"},
        {"a{2,3}", "aaaa", 0, "aaa"},
        {"a{2,3}?", "aaaa", 0, "aa"},
        {"a{2}", "a", -1, ""},
        {"a??b", "ab", 0, "ab"},
        {"a?b", "b", 0, "b"},
        {"a*ab", "aaab", 0, "aaab"},
        {"a*?ab", "aaab", 0, "aaab"},
        {"[0-9]+x", "12 34x", 3, "34x"},
        {"(?-g)a+", "aaa", 0, "a"},
        {"(?-g)a+?", "aaa", 0, "a"},
        // Groups: bounds of the last pass; groups that took no part stay unset.
        {"(a|b)+", "ab", 0, "ab", {"b"}},
        {"(a)*", "aaa", 0, "aaa", {"a"}},
        {"(a)|(b)", "b", 0, "b", {Unset, "b"}},
        {"(a)?b", "b", 0, "b", {Unset}},
        {"((a)|b)+", "ab", 0, "ab", {"b", "a"}},
        {"(a|ab){1,2}c", "abc", 0, "abc", {"ab"}},
        {"((ab)*?c){2}", "abcabc", 0, "abcabc", {"abc", "ab"}},
        {"(ab)+?c", "ababc", 0, "ababc", {"ab"}},
        {"(ab){2,}", "abababx", 0, "ababab", {"ab"}},
        {"(ab){2,3}?", "abababab", 0, "abab", {"ab"}},
        {"(a|ab)(c|bcd)(d*)", "abcd", 0, "abcd", {"a", "bcd", ""}},
        // A loop left on one path and a sibling loop entered there: counts stay exact.
        {"(a|ab){1,2}(cd){2}e", "abababcdcde", 2, "ababcdcde", {"ab", "cd"}},
        // Back-references.
        {"(a)|b\\1", "b", -1, ""},
        {"(a+)b\\1", "aabaa", 0, "aabaa", {"aa"}},
        {"(a+)b\\1", "aaba", 1, "aba", {"a"}},
        {"(?i)(a)\\1", "aA", 0, "aA", {"a"}},
        {"(a)\\1", "aA", -1, ""},
        {"(ab)\\1*", "ababab", 0, "ababab", {"ab"}},
        {"(ab)\\1*ab", "ababab", 0, "ababab", {"ab"}},
        {"(ab)\\1*?x", "ababx", 0, "ababx", {"ab"}},
        {"(ab)\\1{2}", "abababab", 0, "ababab", {"ab"}},
        {"(ab)\\1+?", "ababab", 0, "abab", {"ab"}},
        {"(a*)\\1*b", "b", 0, "b", {""}},
        {"(a*)\\1+b", "b", 0, "b", {""}},
        {"(a*)\\1{3,5}?b", "b", 0, "b", {""}},
        {"(x)?\\1*y", "y", 0, "y", {Unset}},
        // Passes that consume nothing end their loop.
        {"(a{0,1})*b", "b", 0, "b", {""}},
        {"(a{0,1})*b", "aab", 0, "aab", {"a"}},
        {"(a{0,1})*?b", "cb", 1, "b", {Unset}},
        {"(a{0,1}){3,}b", "ab", 0, "ab", {""}},
        {"(a*)(\\1)*c", "c", 0, "c", {"", ""}},
        {"(a{0,1})+b", "b", 0, "b", {""}},
        // A loop with a finite maximum makes every pass its counter allows, empty or not.
        {"(a{0,1}?){2}b", "ab", 0, "ab", {"a"}},
        {"((\\1a){0,1}){2}$", "a", 0, "a", {"a", "a"}},
        {"((\\1a){0,1}){2}x", "ax", 0, "ax", {"a", "a"}},
        {"(a{0,1}?){3}b", "aab", 0, "aab", {"a"}},
        // Case-insensitive: only the pattern side is folded.
        {"ab", "AB", 0, "AB", {}, i},
        {"ab", "Ab", 0, "Ab", {}, i},
        {"ab", "aB", 0, "aB", {}, i},
        {"(?i)[a-c]+", "xAbC", 1, "AbC"},
        {"(?i)x*", "XxXy", 0, "XxX"},
        {"a(?i)b", "aB", 0, "aB"},
        {"a(?i)b", "AB", -1, ""},
        {"(a(?i)b)c", "aBc", 0, "aBc", {"aB"}},
        {"(a(?i)b)c", "aBC", -1, ""},
        {"\\w+", "  Hello_1 ", 2, "Hello_1"},
        {"\\W+", "ab, cd", 2, ", "},
        {"\\s+", "a \t\r\nb", 1, " \t\r\n"},
        {"\\S+", "  ab ", 2, "ab"},
        // Word boundaries.
        {"\\bfoo\\b", "a foo b", 2, "foo"},
        {"\\bfoo\\b", "afoob", -1, ""},
        {"\\Boo", "foo", 1, "oo"},
        {"o\\b", "foo", 2, "o"},
        // Literal text where braces form no quantifier.
        {"a{,3}", "a{,3}", 0, "a{,3}"},
        {"{abc}", "x{abc}", 1, "{abc}"},
        {"a{x}", "a{x}", 0, "a{x}"},
        {"[]a]+", "x]a]", 1, "]a]"},
        {"[a-\\d]+", "-a5", 0, "-a5"},
        {"\\x{0041}\\.", "A.", 0, "A."},
        {"[^abc]+", "abxyc", 2, "xy"},
        {"a\\x00b", "ab", -1, ""},
        {"a\\x{}?b", "ab", 0, "ab"},
        {"[^]]", "]x", 1, "x"},
        // Line tests: CR LF is one separator; "." without s stops at separators.
        {"^b", "a\r\nb", 3, "b", {}, m},
        {"a$", "a\r\nb", 0, "a", {}, m},
        {"^\\n", "a\r\nb", -1, "", {}, m},
        {"\\r$", "a\r\nb", -1, "", {}, m},
        {"^b", "a\nb", 2, "b", {}, m},
        {"^b", "a\rb", 2, "b", {}, m},
        {"^b", "a\r\nb", -1, ""},
        {"a.b", "a\nb", 0, "a\nb"},
        {"(?-s)a.b", "a\nb", -1, ""},
        {"(?-s)a.b", "a\rb", -1, ""},
        {"(?-s)a.b", "axb", 0, "axb"},
        {"(?-s).+", "ab\r\ncd", 0, "ab"},
        {"(?-s)a.*", "abc\ndef", 0, "abc"},
        {"(?m)x$", "ax\r\n", 1, "x"},
        // Extended mode.
        {"a b # comment\n c", "abc", 0, "abc", {}, Defaults | ModifierX},
        {"a\\ b", "a b", 0, "a b", {}, Defaults | ModifierX},
        {"[ ]", "a b", 1, " ", {}, Defaults | ModifierX},
    };
}

class MatchTest : public testing::TestWithParam<MatchCase> {};

TEST_P(MatchTest, FindsTheExpectedMatch) {
    const MatchCase &c = GetParam();
    TRegExpr re;
    re.SetModifiers(c.Modifiers);
    re.SetExpression(c.Pattern);
    const bool matched = re.Exec(c.Subject);
    const std::string listing = DumpProgram(re.Program());
    EXPECT_EQ(DifferenceFromReference(re, c.Subject, matched), "") << listing;
    ASSERT_EQ(matched, c.Pos >= 0) << listing;
    if (!matched) {
        EXPECT_EQ(re.SubMatchCount(), 0);
        EXPECT_EQ(re.Match(0), "");
        return;
    }
    EXPECT_EQ(re.MatchPos(0), c.Pos) << listing;
    EXPECT_EQ(re.Match(0), c.Whole) << listing;
    for (std::size_t n = 0; n < c.Groups.size(); ++n) {
        const std::int32_t group = static_cast<std::int32_t>(n + 1);
        if (c.Groups[n] == Unset) {
            EXPECT_EQ(re.MatchPos(group), -1) << "group " << group << "\n" << listing;
        } else {
            EXPECT_EQ(re.Match(group), c.Groups[n]) << "group " << group << "\n" << listing;
            EXPECT_GE(re.MatchPos(group), 0) << "group " << group;
        }
    }
    for (std::int32_t n = static_cast<std::int32_t>(c.Groups.size()) + 1; n <= MaxGroups; ++n)
        EXPECT_EQ(re.MatchPos(n), -1) << "group " << n;
}

INSTANTIATE_TEST_SUITE_P(Rows, MatchTest, testing::ValuesIn(MatchCases()));

// --- Execution driver -------------------------------------------------------------------------

TEST(ExecAt, ChecksItsOffset) {
    TRegExpr re;
    re.SetExpression("b");
    re.SetInputString("abcb");
    EXPECT_TRUE(re.ExecAt(3));
    EXPECT_EQ(re.MatchPos(0), 3);
    EXPECT_TRUE(re.ExecAt(2));
    EXPECT_EQ(re.MatchPos(0), 1);
    EXPECT_FALSE(re.ExecAt(5));  // just past the end: nothing is tried there
    EXPECT_FALSE(re.ExecAt(6));  // further: no error either
    try {
        re.ExecAt(0);
        FAIL();
    } catch (const ERegExpr &e) {
        EXPECT_EQ(e.Code, ErrBadOffset);
        EXPECT_STREQ(e.what(), "TRegExpr(exec): Offset Must Be Greater Then 0");
    }
}

TEST(ExecAt, OnlyAnAnchoredProgramMatchesJustPastTheEnd) {
    TRegExpr re;
    re.SetExpression("^");
    re.SetInputString("");
    EXPECT_TRUE(re.ExecAt(1));
    re.SetExpression("x*");
    EXPECT_FALSE(re.ExecAt(1));
}

TEST(ExecAt, WithoutInputIsAnError) {
    TRegExpr re;
    re.SetExpression("a");
    try {
        re.ExecAt(1);
        FAIL();
    } catch (const ERegExpr &e) {
        EXPECT_EQ(e.Code, ErrNoInput);
    }
}

TEST(ExecAt, MustStringRejectsBeforeAnyAttempt) {
    TRegExpr re;
    re.SetExpression(".*needle");
    EXPECT_FALSE(re.Exec(std::string(10000, 'x')));
    EXPECT_EQ(re.StepsTaken(), 0);
    EXPECT_TRUE(re.Exec("xxneedle"));
    EXPECT_EQ(re.Match(0), "xxneedle");
}

// --- Counted loop stack -----------------------------------------------------------------------

std::string NestedLoops(int depth) {
    std::string pattern;
    for (int i = 0; i < depth; ++i) pattern += "(";
    pattern += "a";
    for (int i = 0; i < depth; ++i) pattern += "){1,2}";
    return pattern;
}

TEST(LoopStack, TenNestedLoopsRun) {
    TRegExpr re;
    re.SetExpression(NestedLoops(10));
    ASSERT_TRUE(re.Exec("xa"));
    EXPECT_EQ(re.Match(0), "a");
    EXPECT_EQ(re.SubMatchCount(), 10);
}

TEST(LoopStack, AnEleventhNestedLoopIsAnError) {
    EXPECT_EQ(ExecErrorCode(NestedLoops(11), "a"), ErrLoopStackExceeded);
    // Loops one after another reuse the same level.
    std::string sequence;
    for (int i = 0; i < 12; ++i) sequence += "(a){1,2}";
    EXPECT_EQ(ExecErrorCode(sequence, std::string(12, 'a')), 0);
}

// --- Case function ----------------------------------------------------------------------------

unsigned char Cp1251CasePartner(void *context, unsigned char c) {
    ++*static_cast<int *>(context);
    if (c >= 0xE0) return static_cast<unsigned char>(c - 0x20);
    if (c >= 0xC0) return static_cast<unsigned char>(c + 0x20);
    return AsciiCasePartner(nullptr, c);
}

TEST(CasePartner, NewObjectsUseTheProcessWideCaseFunction) {
    int calls = 0;
    const TCasePartner saved = RegExprDefaults().CasePartner;
    RegExprDefaults().CasePartner = {&Cp1251CasePartner, &calls};
    {
        TRegExpr re;
        re.SetExpression("(?i)\xE0\xC1[\xE2]");
        EXPECT_TRUE(re.Exec("\xC0\xE1\xC2"));
        EXPECT_GT(calls, 0);
    }
    RegExprDefaults().CasePartner = saved;
    TRegExpr ascii;
    ascii.SetExpression("(?i)\xE0");
    EXPECT_FALSE(ascii.Exec("\xC0"));
    EXPECT_EQ(AsciiCasePartner(nullptr, 'q'), 'Q');
    EXPECT_EQ(AsciiCasePartner(nullptr, 'Q'), 'q');
    EXPECT_EQ(AsciiCasePartner(nullptr, '1'), '1');
}

// A program whose chain ends without its end node, or holds a byte that is no opcode, fails
// with the error that names the fault, not with a match or an unnamed failure.
TEST(MatcherProgramFaults, AChainEndingEarlyOrAnUnknownOpcodeIsReported) {
    struct FaultRow {
        std::vector<std::uint8_t> Program;
        TErrorCode Expected;
    };
    const FaultRow rows[] = {
        {ProgramBytes().Node(OpLiteral, 0).Str("a").Bytes(), ErrBrokenLink},
        {ProgramBytes().Node(OpOpen + 1, 5).Node(OpClose + 1, 0).Bytes(), ErrBrokenLink},
        {ProgramBytes().Node(OpLiteral, 7).Str("a").Node(200, 0).Bytes(), ErrBadOpcode},
    };
    for (const FaultRow &row : rows) {
        const TRequiredLiterals required{};
        const std::array<unsigned char, 256> caseTable{};
        const std::bitset<256> none;
        TMatchInput input;
        input.Program = row.Program;
        input.Subject = "ab";
        input.AnchoredStart = true;
        input.Required = &required;
        input.CaseTable = &caseTable;
        input.WordSet = &none;
        input.LineSeparatorSet = &none;
        input.StepLimit = 1000;
        input.BacktrackLimit = 1000;
        TMatcherMemory memory;
        TSubMatches subMatches;
        std::vector<TErrorCode> reported;
        const TMatcher::TReportError report{
            [](void *context, TErrorCode code) { static_cast<std::vector<TErrorCode> *>(context)->push_back(code); },
            &reported};
        std::int64_t steps = 0;
        EXPECT_FALSE(TMatcher::Execute(input, memory, subMatches, report, 0, steps));
        EXPECT_EQ(reported, std::vector<TErrorCode>{row.Expected});
    }
}

}  // namespace
}  // namespace regexpr_test
