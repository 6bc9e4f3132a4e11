// Syntax errors: every code with its position and message, raised through Error as ERegExpr.
#include <gtest/gtest.h>

#include "RegExprTestSupport.h"

namespace regexpr_test {
namespace {

struct ErrorCase {
    std::string Pattern;
    std::int32_t Modifiers;
    std::int32_t Code;
    std::int32_t Pos;
};

std::string FifteenGroups() {
    std::string pattern;
    for (int i = 0; i < 14; ++i) pattern += "(a)";
    return pattern + "(a)";
}

std::vector<ErrorCase> ErrorCases() {
    constexpr std::int32_t d = 14;
    return {
        {"*a", d, ErrNothingToRepeat, 1},
        {"+", d, ErrNothingToRepeat, 1},
        {"a|?", d, ErrNothingToRepeat, 3},
        {"(*)", d, ErrNothingToRepeat, 2},
        {")", d, ErrCloseWithoutGroup, 0},
        {"a)b", d, ErrCloseWithoutGroup, 1},
        {"(a", d, ErrGroupNotClosed, 2},
        {"((a)", d, ErrGroupNotClosed, 4},
        {"a**", d, ErrNestedQuantifier, 2},
        {"a{2}{3}", d, ErrNestedQuantifier, 4},
        {"a*??", d, ErrNestedQuantifier, 3},
        {"a*{x", d, ErrNestedQuantifier, 2},
        {"a+*", d, ErrNestedQuantifier, 2},
        {"x{2,1}", d, ErrBracesMinAboveMax, 5},
        {"x{123456789}", d, ErrBracesTooBig, 11},
        {"x{1,123456789}", d, ErrBracesTooBig, 13},
        {"\\", d, ErrTrailingBackslash, 1},
        {"ab\\", d, ErrTrailingBackslash, 3},
        {"[a\\", d, ErrClassTrailingBackslash, 3},
        {"[a-\\", d, ErrClassTrailingBackslash, 4},
        {"[a", d, ErrClassNotClosed, 2},
        {"[", d, ErrClassNotClosed, 1},
        {"[]", d, ErrClassNotClosed, 2},
        {"(?#a", d, ErrCommentNotClosed, 4},
        {"(?q)", d, ErrBadModifier, 3},
        {"(?i", d, ErrBadModifier, 3},
        {"(?:x)", d, ErrBadModifier, 3},
        {"(?im-sz)", d, ErrBadModifier, 7},
        {"\\x", d, ErrNoHexCode, 2},
        {"\\x4", d, ErrNoHexCode, 3},
        {"\\xg1", d, ErrBadHexDigit, 2},
        {"\\x1g", d, ErrBadHexDigit, 3},
        {"\\x{12", d, ErrNoHexCode, 5},
        {"\\x{1g}", d, ErrBadHexDigit, 4},
        {"\\x{100}", d, ErrHexCodeTooBig, 5},
        {"[\\x{100}]", d, ErrHexCodeTooBig, 6},
        {"^{", d, ErrEmptyOperand, 1},
        {"^*", d, ErrEmptyOperand, 1},
        {"(a|)*", d, ErrEmptyOperand, 4},
        {"(a?)+", d, ErrEmptyOperand, 4},
        {"\\b{2}", d, ErrEmptyOperand, 2},
        {"a *", d | ModifierX, ErrEmptyOperand, 2},
        {"[z-a]", d, ErrInvalidRange, 3},
        {"[\\xE0-\\xDF]", d & ~ModifierR, ErrInvalidRange, 9},
        {FifteenGroups(), d, ErrTooManyGroups, 43},
    };
}

class SyntaxErrorTest : public testing::TestWithParam<ErrorCase> {};

TEST_P(SyntaxErrorTest, RaisesItsCodeAtItsPosition) {
    const ErrorCase &c = GetParam();
    TRegExpr re;
    re.SetModifiers(c.Modifiers);
    re.SetExpression(c.Pattern);
    try {
        re.CompileExpression();
        FAIL() << "compiled: " << c.Pattern << "\n" << DumpProgram(re.Program());
    } catch (const ERegExpr &e) {
        EXPECT_EQ(e.Code, c.Code) << c.Pattern << ": " << e.what();
        EXPECT_EQ(e.Pos, c.Pos) << c.Pattern << ": " << e.what();
        EXPECT_EQ(std::string(e.what()),
                  re.ErrorText(c.Code) + " (pos " + std::to_string(c.Pos) + ")");
        EXPECT_EQ(re.LastErrorCode(), c.Code);
    }
    // Nothing is left behind, and the next attempt fails the same way.
    EXPECT_TRUE(re.Program().empty());
    EXPECT_FALSE(re.IsCompiled());
    EXPECT_EQ(re.ErrorPosition(), 0);
    EXPECT_EQ(re.Expression(), c.Pattern);
    try {
        re.Exec("abc");
        FAIL() << "matched after a failed compilation: " << c.Pattern;
    } catch (const ERegExpr &e) {
        EXPECT_EQ(e.Code, c.Code);
    }
}

INSTANTIATE_TEST_SUITE_P(Codes, SyntaxErrorTest, testing::ValuesIn(ErrorCases()));

TEST(SyntaxErrors, AcceptsTheLimitsJustInside) {
    std::string fourteen;
    for (int i = 0; i < 14; ++i) fourteen += "(a)";
    for (const std::string &pattern :
         {fourteen, std::string("x{12345678}"), std::string("\\x{0041}"), std::string("[\xE0-\xDF]"),
          std::string("a{,3}"), std::string("a{x}"), std::string("a{3"), std::string("a{3,x}"),
          std::string("(?)"), std::string("(?im-sx)a"), std::string("a|"), std::string("|a"),
          std::string("()"), std::string("(a)??"), std::string("\\1*")}) {
        EXPECT_EQ(ExecErrorCode(pattern, "abc"), 0) << pattern;
    }
}

TEST(SyntaxErrors, EmptyExpressionIsNullArgument) {
    TRegExpr re;
    try {
        re.CompileProgram("");
        FAIL();
    } catch (const ERegExpr &e) {
        EXPECT_EQ(e.Code, ErrNullArgument);
        EXPECT_EQ(e.Pos, 0);
        EXPECT_STREQ(e.what(), "TRegExpr(comp): Null Argument (pos 0)");
    }
}

// By the numbers a user sees in a message box, which the enum must keep.
TEST(ErrorText, KeepsTheTextsAsTheyStand) {
    TRegExpr re;
    EXPECT_EQ(re.ErrorText(0), "No errors");
    EXPECT_EQ(re.ErrorText(103), re.ErrorText(104));
    EXPECT_EQ(re.ErrorText(119), "TRegExpr(comp): RarseAtom Internal Disaster");
    EXPECT_EQ(re.ErrorText(124), "TRegExpr(comp): BRACE Min Param Greater then Max");
    EXPECT_EQ(re.ErrorText(127), "TRegExpr(comp): Urecognized Modifier");
    EXPECT_EQ(re.ErrorText(128),
              "TRegExpr(comp): LinePairedSeparator must countain two different chars or no chars at all");
    EXPECT_EQ(re.ErrorText(1005), "TRegExpr(exec): No Inpit String Specified");
    EXPECT_EQ(re.ErrorText(1015), "TRegExpr(exec): Loop Without LoopEntry !");
    EXPECT_NE(re.ErrorText(126).find("'*?', '+?', '?\?' for complex cases"), std::string::npos);
    EXPECT_EQ(re.ErrorText(1013), "Unknown error");
    EXPECT_EQ(re.ErrorText(-1), "Unknown error");
    for (std::int32_t own : {1016, 1017, 1018}) EXPECT_NE(re.ErrorText(own), "Unknown error");
}

/// An object whose Error only records: compilation and matching give up instead of raising.
class TRecordingRegExpr : public TRegExpr {
public:
    void Error(std::int32_t code) override { Codes.push_back(code); }
    std::vector<std::int32_t> Codes;
};

TEST(ErrorOverride, ReturningErrorStopsCompilationWithoutAProgram) {
    TRecordingRegExpr re;
    re.SetExpression("a**");
    EXPECT_FALSE(re.Exec("aaa"));
    EXPECT_EQ(re.Codes, std::vector<std::int32_t>{ErrNestedQuantifier});
    EXPECT_TRUE(re.Program().empty());

    TRecordingRegExpr unset;
    EXPECT_FALSE(unset.Exec("x"));
    EXPECT_EQ(unset.Codes, std::vector<std::int32_t>{ErrNoExpression});
}

TEST(ErrorOverride, ReturningErrorFailsTheMatchingPathOnly) {
    // Eleven nested loops: the innermost entry fails, the rest of the search goes on.
    std::string pattern;
    for (int i = 0; i < 11; ++i) pattern += "(";
    pattern += "a";
    for (int i = 0; i < 11; ++i) pattern += "){1,2}";
    TRecordingRegExpr re;
    re.SetExpression(pattern + "|b");
    EXPECT_TRUE(re.Exec("ab"));
    EXPECT_EQ(re.Match(0), "b");
    ASSERT_FALSE(re.Codes.empty());
    EXPECT_EQ(re.Codes.front(), ErrLoopStackExceeded);
}

}  // namespace
}  // namespace regexpr_test
