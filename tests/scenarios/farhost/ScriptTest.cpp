#include "host/Script.h"

#include <gtest/gtest.h>

namespace farhost {
namespace {

struct WordsCase {
    const char *line;
    std::vector<std::string> words;
};

class SplitWordsTest : public ::testing::TestWithParam<WordsCase> {};

TEST_P(SplitWordsTest, SplitsAtBlanksOutsideQuotes) {
    std::vector<std::string> words;
    std::string error;
    ASSERT_TRUE(SplitWords(GetParam().line, words, error)) << error;
    EXPECT_EQ(words, GetParam().words);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitWordsTest,
    ::testing::Values(WordsCase{"", {}}, WordsCase{"   \t ", {}}, WordsCase{"# a comment", {}},
                      WordsCase{"open x.c", {"open", "x.c"}},
                      WordsCase{"  cursor\t12  5 \r", {"cursor", "12", "5"}},
                      WordsCase{"answer dialog \"make all\" ok", {"answer", "dialog", "make all", "ok"}},
                      WordsCase{"expect message \"\" x", {"expect", "message", "", "x"}},
                      WordsCase{"open x.c # why", {"open", "x.c"}},
                      WordsCase{"env A=#1", {"env", "A=#1"}},  // "#" inside a word is text
                      WordsCase{"echo \"# not a comment\"", {"echo", "# not a comment"}},
                      WordsCase{"a\"b c\"d", {"ab cd"}},
                      WordsCase{"\"\\\"\\\\\\t\\n\\r\\x41\"", {"\"\\\t\n\rA"}}));

TEST(SplitWordsTest, ReportsMalformedQuotes) {
    const char *bad[] = {"echo \"open", "echo \"a\\", "echo \"\\q\"", "echo \"\\x4\"", "echo \"\\xg0\""};
    for (const char *line : bad) {
        std::vector<std::string> words;
        std::string error;
        EXPECT_FALSE(SplitWords(line, words, error)) << line;
        EXPECT_FALSE(error.empty()) << line;
    }
}

TEST(ParseScriptTest, KeepsLineNumbersAndTheStepsText) {
    std::vector<Step> steps;
    std::string error;
    ASSERT_TRUE(ParseScript("# setup\nopen x.c\n\n  cursor 3 1  \r\ncall", steps, error)) << error;
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0].line, 2);
    EXPECT_EQ(steps[0].verb, "open");
    EXPECT_EQ(steps[0].args, std::vector<std::string>{"x.c"});
    EXPECT_EQ(steps[1].line, 4);
    EXPECT_EQ(steps[1].text, "cursor 3 1");
    EXPECT_EQ(steps[2].verb, "call");
    EXPECT_TRUE(steps[2].args.empty());
}

TEST(ParseScriptTest, NamesTheLineOfAMalformedStep) {
    std::vector<Step> steps;
    std::string error;
    EXPECT_FALSE(ParseScript("open x.c\necho \"unclosed\n", steps, error));
    EXPECT_EQ(error.rfind("line 2: ", 0), 0u) << error;
}

}  // namespace
}  // namespace farhost
