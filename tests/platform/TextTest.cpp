// Environment expansion, single-character case mapping, case-blind comparison, code pages and
// error texts.
#include <gtest/gtest.h>

#include <cstdlib>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "PlatformTestSupport.h"

namespace {

platform::Platform &System() { return platform::System(); }

/// Sets an environment variable for one test and removes it afterwards.
class ScopedVariable {
public:
    ScopedVariable(const std::string &name, const std::string &value) : name_(name) {
#if defined(_WIN32)
        ::SetEnvironmentVariableA(name.c_str(), value.c_str());
#else
        ::setenv(name.c_str(), value.c_str(), 1);
#endif
    }
    ~ScopedVariable() {
#if defined(_WIN32)
        ::SetEnvironmentVariableA(name_.c_str(), nullptr);
#else
        ::unsetenv(name_.c_str());
#endif
    }
    ScopedVariable(const ScopedVariable &) = delete;
    ScopedVariable &operator=(const ScopedVariable &) = delete;

private:
    std::string name_;
};

struct ExpansionCase {
    const char *text;
    const char *expanded;
};

void PrintTo(const ExpansionCase &c, std::ostream *out) { *out << "[" << c.text << "]"; }

class ExpandEnvironmentTest : public testing::TestWithParam<ExpansionCase> {
protected:
    ScopedVariable alpha_{"KILNRUN_ALPHA", "alpha"};
    ScopedVariable path_{"KILNRUN_DIR", "/opt/tool dir"};
};

TEST_P(ExpandEnvironmentTest, ReplacesKnownNamesAndKeepsTheRest) {
    EXPECT_EQ(System().ExpandEnvironment(GetParam().text), GetParam().expanded);
}

INSTANTIATE_TEST_SUITE_P(Table, ExpandEnvironmentTest, testing::Values(
    ExpansionCase{"", ""},
    ExpansionCase{"no references", "no references"},
    ExpansionCase{"%KILNRUN_ALPHA%", "alpha"},
    ExpansionCase{"x%KILNRUN_ALPHA%y", "xalphay"},
    ExpansionCase{"%KILNRUN_ALPHA%%KILNRUN_ALPHA%", "alphaalpha"},
    ExpansionCase{"\"%KILNRUN_DIR%\\cc\" -c", "\"/opt/tool dir\\cc\" -c"},
    ExpansionCase{"%kilnrun_alpha%", "alpha"},  // names are case-blind, as on Windows
    ExpansionCase{"%KILNRUN_UNKNOWN%", "%KILNRUN_UNKNOWN%"},
    ExpansionCase{"%KILNRUN_UNKNOWN%KILNRUN_ALPHA%", "%KILNRUN_UNKNOWN%KILNRUN_ALPHA%"},
    ExpansionCase{"%KILNRUN_UNKNOWN%%KILNRUN_ALPHA%", "%KILNRUN_UNKNOWN%alpha"},
    ExpansionCase{"%%", "%%"},
    ExpansionCase{"a%%b", "a%%b"},
    ExpansionCase{"%", "%"},
    ExpansionCase{"100%", "100%"},
    ExpansionCase{"100% of %KILNRUN_ALPHA", "100% of %KILNRUN_ALPHA"},
    ExpansionCase{"%KILNRUN_ALPHA% 50%", "alpha 50%"}));

TEST(ExpandEnvironment, HasNoLengthLimit) {
    const std::string value(5000, 'v');
    ScopedVariable longValue("KILNRUN_LONG", value);
    const std::string text(3000, 't');
    EXPECT_EQ(System().ExpandEnvironment(text + "%KILNRUN_LONG%|%KILNRUN_LONG%"),
              text + value + "|" + value);
}

TEST(CharCase, MapsTheAsciiLetters) {
    for (int c = 'a'; c <= 'z'; ++c) {
        const auto lower = static_cast<unsigned char>(c);
        const auto upper = static_cast<unsigned char>(c - 'a' + 'A');
        EXPECT_EQ(System().UpperCaseChar(lower), upper);
        EXPECT_EQ(System().LowerCaseChar(upper), lower);
        EXPECT_EQ(System().UpperCaseChar(upper), upper);
        EXPECT_EQ(System().LowerCaseChar(lower), lower);
    }
}

TEST(CharCase, LeavesDigitsAndPunctuationAlone) {
    for (unsigned char c : std::string("0123456789 .,:;\\/%\"#@[]{}_-\t")) {
        EXPECT_EQ(System().UpperCaseChar(c), c);
        EXPECT_EQ(System().LowerCaseChar(c), c);
    }
}

#if !defined(_WIN32)
TEST(CharCase, LeavesEveryNonAsciiByteAlone) {
    // UTF-8 text is mapped byte by byte: only ASCII may change, or the text would break.
    for (int c = 128; c < 256; ++c) {
        const auto byte = static_cast<unsigned char>(c);
        EXPECT_EQ(System().UpperCaseChar(byte), byte);
        EXPECT_EQ(System().LowerCaseChar(byte), byte);
    }
}
#endif

struct CompareCase {
    const char *left;
    const char *right;
    int sign;
};

void PrintTo(const CompareCase &c, std::ostream *out) {
    *out << "[" << c.left << "] vs [" << c.right << "]";
}

class CompareTextNoCaseTest : public testing::TestWithParam<CompareCase> {};

int Sign(int value) { return (value > 0) - (value < 0); }

TEST_P(CompareTextNoCaseTest, OrdersWithoutRegardToCase) {
    EXPECT_EQ(Sign(System().CompareTextNoCase(GetParam().left, GetParam().right)), GetParam().sign);
    EXPECT_EQ(Sign(System().CompareTextNoCase(GetParam().right, GetParam().left)), -GetParam().sign);
}

INSTANTIATE_TEST_SUITE_P(Table, CompareTextNoCaseTest, testing::Values(
    CompareCase{"", "", 0},
    CompareCase{"Name", "name", 0},
    CompareCase{"#TOMENU", "#tomenu", 0},
    CompareCase{"abc", "ABD", -1},
    CompareCase{"ab", "abc", -1},
    CompareCase{"", "a", -1},
    CompareCase{"b", "A", 1},
    CompareCase{"file1", "FILE2", -1}));

TEST(ConvertAnsiToOem, KeepsAsciiText) {
    std::string text = "File not found. (0x2) C:\\dir\\x.c";
    const std::string original = text;
    System().ConvertAnsiToOem(text);
    EXPECT_EQ(text, original);
}

#if !defined(_WIN32)
TEST(ConvertAnsiToOem, IsTheIdentityForUtf8) {
    std::string text = "\xc3\xa4 \xe2\x82\xac";
    System().ConvertAnsiToOem(text);
    EXPECT_EQ(text, "\xc3\xa4 \xe2\x82\xac");
}
#else
TEST(ConvertAnsiToOem, ConvertsToTheOemCodePage) {
    // A-umlaut is 0xC4 in the ANSI code page 1252 and 0x8E in the OEM code page 437.
    if (::GetACP() != 1252 || ::GetOEMCP() != 437) GTEST_SKIP() << "other code pages";
    std::string text = "\xc4";
    System().ConvertAnsiToOem(text);
    EXPECT_EQ(text, "\x8e");
}
#endif

TEST(SystemErrorText, DescribesFileNotFound) {
    const std::string text = System().SystemErrorText(platform_test::FileNotFoundCode());
#if defined(_WIN32)
    EXPECT_NE(text.find("not found"), std::string::npos) << text;
#else
    EXPECT_EQ(text, "No such file or directory");
#endif
}

TEST(SystemErrorText, GivesSomeTextForAnyCode) {
    EXPECT_FALSE(System().SystemErrorText(5).empty());
}

TEST(IsNtPlatform, HoldsHere) { EXPECT_TRUE(System().IsNtPlatform()); }

}  // namespace
