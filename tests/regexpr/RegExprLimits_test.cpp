// Long subjects and the bounds of one execution: the matcher keeps its backtracking state on the
// heap, so megabyte subjects under complex repeats run on any thread stack; runaway
// backtracking ends with its own error instead of running for ages.
#include <gtest/gtest.h>

#include "RegExprTestSupport.h"

namespace regexpr_test {
namespace {

constexpr std::size_t OneMegabyte = 1 << 20;

std::string Repeat(std::string_view unit, std::size_t totalLength) {
    std::string text;
    text.reserve(totalLength + unit.size());
    while (text.size() < totalLength) text += unit;
    return text;
}

struct LongCase {
    const char *Name;
    std::string Pattern;
    std::string Subject;
    std::size_t MatchLength;
};

std::vector<LongCase> LongCases() {
    const std::string ab = Repeat("ab", OneMegabyte);
    return {
        {"GreedyAlternationLoop", "(a|b)*c", ab + "c", ab.size() + 1},
        {"GreedyGroupLoop", "(ab)*", ab, ab.size()},
        {"GreedyPlusLoop", "(ab)+$", ab, ab.size()},
        {"NestedGroups", "((a)|(b))*c", ab + "c", ab.size() + 1},
        {"LazyCountedLoop", "(ab)*?c", ab + "c", ab.size() + 1},
        {"CountedLoop", "(ab){1,}c", ab + "c", ab.size() + 1},
        {"AnyInLineLoop", "(?-s).+", ab + "\n", ab.size()},
        {"SimpleRepeat", ".*c", ab + "c", ab.size() + 1},
        {"BackReferenceRepeat", "(ab)\\1*$", ab, ab.size()},
        {"GreedyLoopBacksOff", "(a|b)*ab", ab, ab.size()},
    };
}

class LongSubjectTest : public testing::TestWithParam<LongCase> {};

TEST_P(LongSubjectTest, MatchesAMegabyteSubject) {
    const LongCase &c = GetParam();
    TRegExpr re;
    re.SetExpression(c.Pattern);
    ASSERT_TRUE(re.Exec(c.Subject));
    EXPECT_EQ(re.MatchPos(0), 0);
    EXPECT_EQ(static_cast<std::size_t>(re.MatchLen(0)), c.MatchLength);
    // Ordinary matches stay far below the step bound, whatever their length.
    EXPECT_LT(re.StepsTaken(), TRegExpr::DefaultStepLimit / 3);
}

INSTANTIATE_TEST_SUITE_P(Megabyte, LongSubjectTest, testing::ValuesIn(LongCases()),
                         [](const testing::TestParamInfo<LongCase> &info) { return std::string(info.param.Name); });

TEST(Limits, CatastrophicBacktrackingEndsWithItsOwnError) {
    TRegExpr re;
    EXPECT_EQ(re.StepLimit(), TRegExpr::DefaultStepLimit);
    // A smaller bound than the default keeps the test quick in the sanitizer build.
    constexpr std::int64_t limit = 2'000'000;
    re.SetStepLimit(limit);
    re.SetExpression("(a|aa)*b");
    try {
        re.Exec(std::string(256, 'a') + "cb");
        FAIL() << "finished after " << re.StepsTaken() << " steps";
    } catch (const ERegExpr &e) {
        EXPECT_EQ(e.Code, ErrStepLimit);
        EXPECT_EQ(std::string(e.what()), re.ErrorText(ErrStepLimit));
    }
    EXPECT_EQ(re.StepsTaken(), limit + 1);
    EXPECT_EQ(re.SubMatchCount(), 0);
    // The object stays usable.
    EXPECT_TRUE(re.Exec("aab"));
    EXPECT_EQ(re.Match(0), "aab");
}

TEST(Limits, ASearchThatEndsOnItsOwnIsNotCutShort) {
    // Each start takes one count of a thousand characters that "." need not look at.
    TRegExpr re;
    re.SetExpression("a.{1000}b");
    EXPECT_FALSE(re.Exec(std::string(OneMegabyte, 'a')));
    EXPECT_LT(re.StepsTaken(), TRegExpr::DefaultStepLimit / 3);
}

TEST(Limits, StepLimitIsPerExecution) {
    TRegExpr re;
    re.SetExpression("(a|b)*c");
    re.SetStepLimit(1000);
    EXPECT_EQ(support::ErrorCodeOf<ERegExpr>([&] { re.Exec(Repeat("ab", 5000) + "c"); }), ErrStepLimit);
    EXPECT_TRUE(re.Exec("ababc"));
    re.SetStepLimit(TRegExpr::DefaultStepLimit);
    EXPECT_TRUE(re.Exec(Repeat("ab", 5000) + "c"));
}

TEST(Limits, BacktrackLimitEndsWithItsOwnError) {
    TRegExpr re;
    re.SetExpression("(a|b)*c");
    re.SetBacktrackLimit(1000);
    try {
        re.Exec(Repeat("ab", 5000) + "c");
        FAIL();
    } catch (const ERegExpr &e) {
        EXPECT_EQ(e.Code, ErrBacktrackLimit);
        EXPECT_EQ(std::string(e.what()), re.ErrorText(ErrBacktrackLimit));
    }
    EXPECT_TRUE(re.Exec("abc"));
}

TEST(Limits, ALongExpressionCompilesAndRuns) {
    // The start-character walk and the parser stay linear and off the native stack.
    std::string pattern;
    for (int i = 0; i < 20000; ++i) pattern += "a?";
    pattern += "b";
    TRegExpr re;
    re.SetExpression(pattern);
    ASSERT_TRUE(re.Exec(std::string(300, 'a') + "b"));
    EXPECT_EQ(re.MatchLen(0), 301);
    EXPECT_TRUE(re.StartCharSet().test('a'));
    EXPECT_TRUE(re.StartCharSet().test('b'));
}

}  // namespace
}  // namespace regexpr_test
