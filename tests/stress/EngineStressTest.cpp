// The expression engine on megabyte subjects and on expressions that backtrack without end: every
// execution returns or reports its own error, and the object keeps working afterwards.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "navigate/ParseErrorLine.h"
#include "regexpr/RegExpr.h"
#include "stress/StressSupport.h"

namespace {

using regexpr::ERegExpr;
using regexpr::TRegExpr;

constexpr std::int32_t kBacktrackStackFull = 1016;
constexpr std::int32_t kStepLimitExceeded = 1017;
constexpr const char *kStepLimitText = "TRegExpr(exec): Step Limit Exceeded (catastrophic backtracking?)";

enum class Outcome { Match, NoMatch, LimitReached };

struct HugeSubjectCase {
    const char *name;
    const char *expression;
    std::string subject;
    Outcome expected;
    std::int32_t matchLength = -1;  // checked for a match when not -1
};

std::string Times(const std::string &piece, std::size_t bytes) {
    std::string text;
    text.reserve(bytes + piece.size());
    while (text.size() < bytes) text += piece;
    return text;
}

std::vector<HugeSubjectCase> HugeSubjectCases() {
    const std::size_t size = stress::Scaled(1 << 20);
    const std::string as = std::string(size, 'a');
    const std::string words = Times("word ", size);
    const std::string pairs = Times("ab", size) + "c";
    return {
        {"alternation loop over the whole subject", "(a|b)*c", pairs, Outcome::Match,
         static_cast<std::int32_t>(pairs.size())},
        {"nested counted repeats that cannot end", "(x+x+)+[yz]", std::string(size, 'x'), Outcome::LimitReached},
        {"three lazy-free wildcards", ".*.*.*[=;]", as, Outcome::LimitReached},
        {"words that never reach the end", "^(\\w+\\s?)*$", words + "!", Outcome::LimitReached},
        {"greedy group repeat before a literal", "(.+)+:(\\d+)", std::string(size, 'x') + ":12", Outcome::Match,
         static_cast<std::int32_t>(size + 3)},
        {"literal that the subject lacks", "(.*?,)*;", Times("a,", size), Outcome::NoMatch},
        {"numbers at both ends", "(\\d+)\\D+(\\d+)$", "12" + words + "34", Outcome::Match},
        {"class repeat with a far anchor", "^[a-z ]{1,}\\d$", words + "7", Outcome::Match},
    };
}

class HugeSubject : public ::testing::TestWithParam<HugeSubjectCase> {};

TEST_P(HugeSubject, ReturnsOrReportsItsLimit) {
    const HugeSubjectCase &c = GetParam();
    TRegExpr expression;
    expression.SetExpression(c.expression);
    // A bound of its own keeps the test quick and still lets a megabyte match through (a few
    // steps per character); a runaway stops the same way as at the default bound.
    expression.SetStepLimit(stress::Scaled(20'000'000));
    Outcome outcome;
    std::string error;
    try {
        outcome = expression.Exec(c.subject) ? Outcome::Match : Outcome::NoMatch;
    } catch (const ERegExpr &limit) {
        ASSERT_TRUE(limit.Code == kStepLimitExceeded || limit.Code == kBacktrackStackFull) << limit.what();
        outcome = Outcome::LimitReached;
        error = std::string(limit.what()) + " after " + std::to_string(expression.StepsTaken()) + " steps";
    }
    EXPECT_EQ(static_cast<int>(outcome), static_cast<int>(c.expected)) << error;
    if (outcome == Outcome::Match && c.matchLength >= 0) {
        EXPECT_EQ(expression.MatchLen(0), c.matchLength);
    }

    // The same object keeps giving ordinary results after whatever happened.
    expression.SetExpression("^(.+?):(\\d+):");
    ASSERT_TRUE(expression.Exec("main.c:42: error"));
    EXPECT_EQ(expression.Match(1), "main.c");
    EXPECT_EQ(expression.Match(2), "42");
}

INSTANTIATE_TEST_SUITE_P(EngineStress, HugeSubject, ::testing::ValuesIn(HugeSubjectCases()),
                         [](const ::testing::TestParamInfo<HugeSubjectCase> &info) {
                             std::string name;
                             for (const char *c = info.param.name; *c != '\0'; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

TEST(EngineStress, CatastrophicBacktrackingEndsWithTheEnginesOwnError) {
    // 256 "a" and then a "b" that the loop can never reach: every way of splitting the run of "a"
    // into "a" and "aa" is tried until the step limit stops it.
    const std::string line = std::string(256, 'a') + "cb";
    TCommandOptions options;
    options.RegExp = "(a|aa)*b";
    try {
        if (stress::Sanitized()) {
            // Instrumented code steps ten times slower: a tenth of the limit ends the same way.
            TRegExpr expression;
            expression.SetStepLimit(TRegExpr::DefaultStepLimit / 10);
            expression.SetExpression(options.RegExp);
            expression.Exec(line);
        } else {
            ParseErrorLine(line, options);  // exactly as an output line is parsed, default limit
        }
        FAIL() << "the execution ended without an error";
    } catch (const ERegExpr &error) {
        EXPECT_EQ(error.Code, kStepLimitExceeded);
        EXPECT_STREQ(error.what(), kStepLimitText);
    }
}

TEST(EngineStress, WithoutTheRequiredLiteralTheSameExpressionEndsAtOnce) {
    // The literal every match needs is looked for first: no "b", no backtracking.
    TCommandOptions options;
    options.RegExp = "(a|aa)*b";
    EXPECT_EQ(ParseErrorLine(std::string(256, 'a'), options).line, 0);
}

TEST(EngineStress, OrdinaryLinesKeepTheirResultsAroundALimitError) {
    TCommandOptions gnu;
    gnu.RegExp = "^(.+?):(\\d+):(\\d+):";
    gnu.LineMatch = 2;
    gnu.ColumnMatch = 3;
    gnu.FileMatch = 1;
    TCommandOptions runaway;
    runaway.RegExp = "(x+x+)+y";
    for (int round = 0; round < 3; ++round) {
        const ErrorPosition found = ParseErrorLine("src/lib.c:120:7: warning: unused", gnu);
        EXPECT_EQ(found.fileName, "src/lib.c");
        EXPECT_EQ(found.line, 120);
        EXPECT_EQ(found.column, 7);
        TRegExpr expression;
        expression.SetStepLimit(1'000'000);
        expression.SetExpression(runaway.RegExp);
        EXPECT_THROW(expression.Exec(std::string(64, 'x') + "zy"), ERegExpr);
    }
}

}  // namespace
