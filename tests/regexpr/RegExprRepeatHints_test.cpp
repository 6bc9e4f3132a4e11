// Simple repeats skip the counts at which their continuation cannot start, and a greedy repeat
// whose operand cannot match the continuation's first character gives nothing back. The rows
// hold both the cases where that applies and the ones where giving back is what finds the match
// (the continuation may match empty, has alternatives, a back-reference, a case-insensitive
// literal, a line test or a loop), so that a shortcut taken where it must not shows as a
// wrong result.
#include <gtest/gtest.h>

#include "RegExprTestSupport.h"

namespace regexpr_test {
namespace {

constexpr std::int32_t Defaults = 14;

struct HintCase {
    std::string Pattern;
    std::string Subject;
    std::int32_t Pos;  // -1: no match
    std::string Whole;
    std::vector<std::string> Groups = {};  // from group 1
};

void PrintTo(const HintCase &c, std::ostream *os) { *os << '"' << c.Pattern << "\" on \"" << c.Subject << '"'; }

std::vector<HintCase> HintCases() {
    return {
        // The operand cannot match what follows: only the longest count is tried.
        {"^\\s*(([A-Za-z]:)?[^\\s:][^:]*):(\\d+)(:(\\d+))?", "  C:\\src\\a b.go:12:7: x", 0,
         "  C:\\src\\a b.go:12:7", {"C:\\src\\a b.go", "C:", "12", ":7", "7"}},
        {"^(([A-Za-z]:)?[^\\s:][^:]*):(\\d+)", "main.go has no position", -1, ""},
        {"[^:]{0,3}:", "abcde:", 2, "cde:"},
        {"a*(b|$)", "aa", 0, "aa", {""}},
        {"a*$", "aab", -1, ""},
        {"(?i)[^a]*A", "xyza", 0, "xyza"},
        {"\\d+\\.", "12.5", 0, "12."},
        // Lazy repeats jump to the counts where the continuation can start.
        {"^.*?(\\d+)", "abc 123 45", 0, "abc 123", {"123"}},
        {"(.+?):", "a:b:c", 0, "a:", {"a"}},
        {"[^:]*?:", "ab:c:", 0, "ab:"},
        {"[^:]{2,3}?:", "abcd:", 1, "bcd:"},
        {"x{2,4}?y", "xxxxy", 0, "xxxxy"},
        {"a*?$", "aaa", 0, "aaa"},
        {"a+?(b|\\d)", "aaa1", 0, "aaa1", {"1"}},
        {".{0,2}?b", "xxxb", 1, "xxb"},
        {".{1,3}?b", "ab", 0, "ab"},
        {"a.*?(b|$)", "aaa", 0, "aaa", {""}},
        {".*?b", "aaa", -1, ""},
        {".{2,}b", "abbb", 0, "abbb"},
        {".{2,}b", "bb", -1, ""},
        // Giving back finds the match: the shortcut must not apply.
        {"a*(b|)a", "aaa", 0, "aaa", {""}},
        {"\\d*(x|\\d)", "123", 0, "123", {"3"}},
        {"(a)a*\\1", "aaa", 0, "aaa", {"a"}},
        {"[^a]*(?i)A", "xAA", 0, "xAA"},
        {"X*(?i)x", "XXX", 0, "XXX"},
        {"(?m)(\\n*)$\\n", "\n\n", 0, "\n\n", {"\n"}},
        {"a*(ab){1,2}", "aab", 0, "aab", {"ab"}},
        {"a*(ab)*c", "aabc", 0, "aabc", {"ab"}},
        {"\\w*\\b\\w", "ab", 0, "a"},
        {"a*a?a", "aa", 0, "aa"},
        {"[ab]*b+c", "abbc", 0, "abbc"},
        {"a{1,3}a{2}", "aaaa", 0, "aaaa"},
        {"(a|b)*?b", "aab", 0, "aab", {"a"}},
        {".*(\\d)", "a1b2c", 0, "a1b2", {"2"}},
        // More repeats than the short search of hints covers: each still finds its own hint.
        {"^a*b*c*d*e*f*g*h*i*j*k*(l*)m", "abcdefghijkllm", 0, "abcdefghijkllm", {"ll"}},
        {"^a*b*c*d*e*f*g*h*i*j*k*(l*)m*$", "aabbkkx", -1, ""},
        {"^[a-c]*?[d-f]*?[g-i]*?[j-l]*?[m-o]*?[p-r]*?[s-u]*?[v-x]*?[yz]*?(\\d+)", "adgjmpsvy42", 0, "adgjmpsvy42", {"42"}},
    };
}

class RepeatHintTest : public testing::TestWithParam<HintCase> {};

TEST_P(RepeatHintTest, FindsTheSameMatchAsGivingBackOneAtATime) {
    const HintCase &c = GetParam();
    TRegExpr re;
    re.SetExpression(c.Pattern);
    const bool matched = re.Exec(c.Subject);
    const std::string listing = DumpProgram(re.Program());
    ASSERT_EQ(matched, c.Pos >= 0) << listing;
    if (!matched) return;
    EXPECT_EQ(re.MatchPos(0), c.Pos) << listing;
    EXPECT_EQ(re.Match(0), c.Whole) << listing;
    EXPECT_EQ(re.SubMatchCount(), static_cast<std::int32_t>(c.Groups.size())) << listing;
    for (std::size_t n = 0; n < c.Groups.size(); ++n)
        EXPECT_EQ(re.Match(static_cast<std::int32_t>(n + 1)), c.Groups[n]) << "group " << n + 1 << "\n" << listing;
}

INSTANTIATE_TEST_SUITE_P(Rows, RepeatHintTest, testing::ValuesIn(HintCases()));

// Without the hints each count given back or added would run the continuation: several steps
// per character of the line. With them a run is counted once and scanned at most once more.
TEST(RepeatHints, ALongRunIsNotGivenBackCharacterByCharacter) {
    const std::string line(10000, 'a');
    struct {
        const char *Pattern;
        std::string Subject;
        bool Matches;
    } rows[] = {
        {"^([^:]*):(\\d+)", line, false},
        {"^([^:]*):(\\d+)", line + ":12", true},
        {"^.*?(\\d+)", line + "7", true},
        {"^(.+?):", line + ":", true},
    };
    for (const auto &row : rows) {
        TRegExpr re;
        re.SetExpression(row.Pattern);
        EXPECT_EQ(re.Exec(row.Subject), row.Matches) << row.Pattern;
        EXPECT_LT(re.StepsTaken(), 2 * static_cast<std::int64_t>(row.Subject.size()) + 100) << row.Pattern;
    }
}

// The hints belong to one compiled program: the same repeat node in the next program may be
// followed by something else.
TEST(RepeatHints, ANewProgramGetsNewHints) {
    TRegExpr re;
    re.SetExpression("x*y");
    EXPECT_FALSE(re.Exec("xxx"));
    re.SetExpression("x*x");
    ASSERT_TRUE(re.Exec("xxx"));
    EXPECT_EQ(re.Match(0), "xxx");

    re.SetExpression("X*x");
    EXPECT_FALSE(re.Exec("XXX"));
    re.SetModifiers(Defaults | ModifierI);  // recompiled at the next execution
    ASSERT_TRUE(re.Exec("XXX"));
    EXPECT_EQ(re.Match(0), "XXX");
}

}  // namespace
}  // namespace regexpr_test
