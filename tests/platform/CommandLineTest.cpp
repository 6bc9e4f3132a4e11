// Splitting command lines into words as a Windows C runtime does: a table of cases, and the
// same lines handed to a real program to see the words it gets.
#include "platform/CommandLine.h"

#include <gtest/gtest.h>

#include "PlatformTestSupport.h"

namespace {

using platform::SplitCommandLine;
using Words = std::vector<std::string>;

struct SplitCase {
    const char *line;
    Words words;
};

void PrintTo(const SplitCase &c, std::ostream *out) { *out << "[" << c.line << "]"; }

class SplitCommandLineTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, GivesTheWordsOfTheCRuntime) {
    EXPECT_EQ(SplitCommandLine(GetParam().line), GetParam().words);
}

// In the rows below \\ is one backslash and \" one double quote of the command line.
INSTANTIATE_TEST_SUITE_P(Table, SplitCommandLineTest, testing::Values(
    // Blanks and tabs separate; runs of them count once; leading and trailing ones vanish.
    SplitCase{"", {}},
    SplitCase{"   \t ", {}},
    SplitCase{"prog", {"prog"}},
    SplitCase{"prog a b", {"prog", "a", "b"}},
    SplitCase{"  prog \t a  \t b  ", {"prog", "a", "b"}},
    SplitCase{"prog\ta", {"prog", "a"}},
    // The program name: quotes group and vanish, backslashes are plain.
    SplitCase{"\"/opt/my tools/cc\" -c", {"/opt/my tools/cc", "-c"}},
    SplitCase{"C:\\tools\\cc.exe x", {"C:\\tools\\cc.exe", "x"}},
    SplitCase{"\"C:\\Program Files\\x\\\" y", {"C:\\Program Files\\x\\", "y"}},
    SplitCase{"pro\"g na\"me arg", {"prog name", "arg"}},
    SplitCase{"\"\" a", {"", "a"}},
    // Quotes group words and vanish; an empty quoted word is kept.
    SplitCase{"p \"a b\" c", {"p", "a b", "c"}},
    SplitCase{"p a\"b c\"d", {"p", "ab cd"}},
    SplitCase{"p \"\"", {"p", ""}},
    SplitCase{"p \"\" \"\"", {"p", "", ""}},
    SplitCase{"p \"unterminated text", {"p", "unterminated text"}},
    SplitCase{"p \"a\t b\"", {"p", "a\t b"}},
    // Backslashes are literal unless they stand before a double quote.
    SplitCase{"p a\\b c\\\\d", {"p", "a\\b", "c\\\\d"}},
    SplitCase{"p a\\", {"p", "a\\"}},
    SplitCase{"p a\\\\ b", {"p", "a\\\\", "b"}},
    // 2n+1 backslashes and a quote: n backslashes and a literal quote.
    SplitCase{"p \\\"", {"p", "\""}},
    SplitCase{"p a\\\"b", {"p", "a\"b"}},
    SplitCase{"p a\\\\\\\"b", {"p", "a\\\"b"}},
    SplitCase{"p \"a \\\"b\\\" c\"", {"p", "a \"b\" c"}},
    // 2n backslashes and a quote: n backslashes, and the quote groups.
    SplitCase{"p a\\\\\"b c\"", {"p", "a\\b c"}},
    SplitCase{"p \"C:\\dir\\\\\" next", {"p", "C:\\dir\\", "next"}},
    SplitCase{"p a\\\\\\\\\"b\"", {"p", "a\\\\b"}},
    // Two quotes inside quotes: one literal quote, and the grouping goes on.
    SplitCase{"p \"a\"\"b\"", {"p", "a\"b"}},
    SplitCase{"p \"a\"\" b\" c", {"p", "a\" b", "c"}},
    SplitCase{"p \"\"\"\"", {"p", "\""}},
    // Outside quotes two quotes are an empty group.
    SplitCase{"p a\"\"b", {"p", "ab"}},
    // Other characters are plain, shell characters included.
    SplitCase{"p 'a b' $HOME | > ; *", {"p", "'a", "b'", "$HOME", "|", ">", ";", "*"}},
    SplitCase{"p %1 -o\"out dir/x\"", {"p", "%1", "-oout dir/x"}}));

struct RealProgramCase {
    const char *arguments;
    Words words;
};

void PrintTo(const RealProgramCase &c, std::ostream *out) { *out << "[" << c.arguments << "]"; }

class SplitCommandLineRealProgramTest : public testing::TestWithParam<RealProgramCase> {};

// The test program echoes its words; under Wine they come from the real C runtime, so these
// rows check the splitter against it (rows whose result differs between runtime versions, such
// as two quotes inside quotes, are left to the table above).
TEST_P(SplitCommandLineRealProgramTest, ProgramReceivesTheSplitWords) {
    const std::string commandLine = platform_test::Testprog(std::string("args ") + GetParam().arguments);
    Words expected = SplitCommandLine(commandLine);
    ASSERT_GE(expected.size(), 2u);
    expected.erase(expected.begin(), expected.begin() + 2);  // the program and "args"
    EXPECT_EQ(expected, GetParam().words);

    platform_test::CapturedRun run = platform_test::RunCaptured(commandLine);
    ASSERT_TRUE(run.started) << "error " << run.errorCode;
    std::string echoed;
    for (const std::string &word : expected) echoed += "[" + word + "]\r\n";
    EXPECT_EQ(run.output, echoed);
    EXPECT_EQ(run.exitCode, 0u);
}

INSTANTIATE_TEST_SUITE_P(Table, SplitCommandLineRealProgramTest, testing::Values(
    RealProgramCase{"", {}},
    RealProgramCase{"plain words", {"plain", "words"}},
    RealProgramCase{"\"with blank\" \"\" tail", {"with blank", "", "tail"}},
    RealProgramCase{"a\\b a\\\\b", {"a\\b", "a\\\\b"}},
    RealProgramCase{"a\\\"b \"q\\\"q\"", {"a\"b", "q\"q"}},
    RealProgramCase{"\"dir\\\\\" x", {"dir\\", "x"}},
    RealProgramCase{"mid\"dle quo\"te", {"middle quote"}},
    RealProgramCase{"'single' $VAR * ; |", {"'single'", "$VAR", "*", ";", "|"}}));

}  // namespace
