// The object's state rules: defaults, compile on demand and only when needed, results after
// success and failure, the subject cut at NUL, settings and their errors.
#include <gtest/gtest.h>

#include "RegExprTestSupport.h"

namespace regexpr_test {
namespace {

using support::ErrorCodeOf;

TEST(Object, StartsWithTheDefaults) {
    TRegExpr re;
    EXPECT_EQ(re.Modifiers(), 14);
    EXPECT_EQ(re.SubMatchCount(), -1);
    EXPECT_EQ(re.Match(0), "");
    EXPECT_EQ(re.MatchPos(0), -1);
    EXPECT_TRUE(re.Program().empty());
    EXPECT_EQ(re.SpaceList(), " \t\n\r\f");
    EXPECT_EQ(re.WordList().size(), 63u);
    EXPECT_EQ(re.LineSeparatorList(), "\r\n");
    EXPECT_EQ(re.LinePairedSeparator(), "\r\n");
    EXPECT_EQ(re.ErrorPosition(), 0);
    for (std::int32_t index = 1; index <= 6; ++index)
        EXPECT_EQ(re.GetModifierByIndex(index), index >= 2 && index <= 4) << index;
}

TEST(Object, ExecWithoutExpressionIsAnError) {
    for (const char *text : {static_cast<const char *>(""), static_cast<const char *>(nullptr)}) {
        TRegExpr re;
        if (text) re.SetExpression(text);
        try {
            re.Exec("abc");
            FAIL();
        } catch (const ERegExpr &e) {
            EXPECT_STREQ(e.what(), "TRegExpr(exec): Not Assigned Expression Property");
            EXPECT_EQ(e.Code, ErrNoExpression);
            EXPECT_EQ(e.Pos, 0);
        }
    }
}

TEST(Object, ReadsTheErrorLineExample) {
    TRegExpr re;
    re.SetExpression("^.*?(\\d+)");
    ASSERT_TRUE(re.Exec("file.c(12): error"));
    EXPECT_EQ(re.SubMatchCount(), 1);
    EXPECT_EQ(re.Match(1), "12");
    EXPECT_EQ(re.Match(0), "file.c(12");
    EXPECT_EQ(re.MatchPos(1), 7);
    EXPECT_EQ(re.MatchLen(1), 2);
    EXPECT_EQ(re.Match(15), "");
    EXPECT_EQ(re.Match(-1), "");
}

TEST(Object, AFailedExecLeavesNoSubMatches) {
    TRegExpr re;
    re.SetExpression("(a)(b)");
    ASSERT_TRUE(re.Exec("ab"));
    EXPECT_EQ(re.SubMatchCount(), 2);
    EXPECT_FALSE(re.Exec("xx"));
    EXPECT_EQ(re.SubMatchCount(), 0);
    for (std::int32_t n = 0; n <= MaxGroups; ++n) EXPECT_EQ(re.Match(n), "") << n;
}

TEST(Object, SubMatchCountSkipsUnsetGroupsBelowASetOne) {
    TRegExpr re;
    re.SetExpression("(a)|(b)");
    ASSERT_TRUE(re.Exec("b"));
    EXPECT_EQ(re.SubMatchCount(), 2);
    EXPECT_EQ(re.Match(1), "");
    EXPECT_EQ(re.Match(2), "b");
}

TEST(Object, TheSubjectEndsAtItsFirstNul) {
    TRegExpr re;
    re.SetExpression("cd");
    const std::string subject("ab\0cd", 5);
    EXPECT_FALSE(re.Exec(subject));
    EXPECT_EQ(re.InputString(), "ab");
    re.SetExpression("b$");
    EXPECT_TRUE(re.Exec(subject));
    EXPECT_EQ(re.MatchPos(0), 1);
}

TEST(Object, TheSubjectEndsAtItsFirstNulWhereverItLies) {
    // Every length around the copy's 8-byte words, a NUL at every place, a second NUL after it.
    TRegExpr re;
    re.SetExpression("^.*$");
    for (std::size_t length = 0; length <= 26; ++length) {
        for (std::size_t nul = 0; nul <= length; ++nul) {
            std::string subject(length, 'x');
            for (std::size_t i = 0; i < length; ++i) subject[i] = static_cast<char>('a' + i);
            if (nul < length) subject[nul] = '\0';
            if (nul + 3 < length) subject[nul + 3] = '\0';
            ASSERT_TRUE(re.Exec(subject)) << length << " " << nul;
            EXPECT_EQ(re.InputString(), subject.substr(0, nul)) << length << " " << nul;
            EXPECT_EQ(re.MatchLen(0), static_cast<std::int32_t>(nul)) << length << " " << nul;
        }
    }
}

TEST(Object, EachSubjectReplacesTheLastOneWhole) {
    // The subject's copy is reused from line to line: nothing of a longer one may show through,
    // and a subject taken from the current one is copied before it is overwritten.
    TRegExpr re;
    re.SetExpression("^.*$");
    ASSERT_TRUE(re.Exec(std::string(10000, 'x') + "end"));
    ASSERT_TRUE(re.Exec("short"));
    EXPECT_EQ(re.Match(0), "short");
    ASSERT_TRUE(re.Exec(re.InputString().substr(2)));
    EXPECT_EQ(re.Match(0), "ort");
    ASSERT_TRUE(re.Exec(std::string("0123456789abcdef", 16)));
    ASSERT_TRUE(re.Exec(re.InputString().substr(9, 5)));
    EXPECT_EQ(re.Match(0), "9abcd");
    // Lengths on both sides of what the object holds without heap memory, in both directions.
    for (std::size_t length : {255u, 256u, 300u, 255u, 4000u, 257u, 20u}) {
        std::string subject(length, 'y');
        subject.back() = 'z';
        ASSERT_TRUE(re.Exec(subject)) << length;
        EXPECT_EQ(re.Match(0), subject) << length;
        ASSERT_TRUE(re.Exec(re.InputString().substr(length / 2)));
        EXPECT_EQ(re.Match(0), subject.substr(length / 2)) << length;
    }
    ASSERT_TRUE(re.Exec(""));
    EXPECT_EQ(re.MatchLen(0), 0);
}

TEST(Object, TheExpressionEndsAtItsFirstNul) {
    TRegExpr re;
    re.SetExpression(std::string("ab\0cd", 5));
    EXPECT_EQ(re.Expression(), "ab");
    EXPECT_TRUE(re.Exec("xab"));
}

TEST(Object, SettingTheSameExpressionCompilesOnce) {
    TRegExpr re;
    re.SetExpression("a+");
    EXPECT_TRUE(re.Exec("aa"));
    re.SetExpression("a+");
    EXPECT_TRUE(re.Exec("baa"));
    EXPECT_EQ(re.CompileCount(), 1);
    re.SetExpression("b+");
    EXPECT_TRUE(re.Program().empty());  // dropped, not yet compiled
    EXPECT_TRUE(re.Exec("abb"));
    EXPECT_EQ(re.Match(0), "bb");
    EXPECT_EQ(re.CompileCount(), 2);
}

TEST(Object, AModifierChangeRecompilesBeforeTheNextExec) {
    TRegExpr re;
    re.SetExpression("ab");
    EXPECT_FALSE(re.Exec("AB"));
    re.SetModifierByIndex(1, true);
    EXPECT_TRUE(re.Exec("AB"));
    EXPECT_EQ(re.CompileCount(), 2);
    EXPECT_EQ(re.Program()[6], OpLiteralNoCase);
    re.SetModifiers(14);
    EXPECT_FALSE(re.Exec("AB"));
    EXPECT_EQ(re.CompileCount(), 3);
}

TEST(Object, AFailedCompilationIsRetriedAndFailsAgain) {
    TRegExpr re;
    re.SetExpression("(a");
    EXPECT_EQ(ErrorCodeOf<ERegExpr>([&] { re.Exec("a"); }), ErrGroupNotClosed);
    EXPECT_EQ(ErrorCodeOf<ERegExpr>([&] { re.Exec("a"); }), ErrGroupNotClosed);
    EXPECT_EQ(re.LastErrorCode(), ErrGroupNotClosed);
    re.SetExpression("(a)");
    EXPECT_TRUE(re.Exec("a"));
    EXPECT_EQ(re.LastErrorCode(), ErrGroupNotClosed);  // nothing resets it
}

TEST(Object, ModifierIndexOutsideOneToSixIsAnError) {
    TRegExpr re;
    for (std::int32_t index : {0, 7, -1}) {
        try {
            re.SetModifierByIndex(index, true);
            FAIL();
        } catch (const ERegExpr &e) {
            EXPECT_STREQ(e.what(), "Unknown error");
            EXPECT_EQ(e.Code, ErrBadModifierIndex);
        }
    }
    EXPECT_EQ(re.Modifiers(), 14);
    re.SetModifierByIndex(6, true);
    re.SetModifierByIndex(3, false);
    EXPECT_EQ(re.Modifiers(), 14 - 4 + 32);
}

TEST(Object, LinePairedSeparatorNeedsTwoDifferentCharactersOrNone) {
    TRegExpr re;
    for (const char *bad : {"\n\n", "a", "abc"}) {
        try {
            re.SetLinePairedSeparator(bad);
            FAIL() << bad;
        } catch (const ERegExpr &e) {
            EXPECT_EQ(e.Code, ErrBadPairedSeparator);
            const std::string message = e.what();
            EXPECT_EQ(message, re.ErrorText(ErrBadPairedSeparator) + " (pos 0)");
        }
    }
    EXPECT_EQ(re.LinePairedSeparator(), "\r\n");
    re.SetLinePairedSeparator("");
    EXPECT_EQ(re.LinePairedSeparator(), "");
    re.SetLinePairedSeparator("ab");
    EXPECT_EQ(re.LinePairedSeparator(), "ab");
}

TEST(Object, ANewPairedSeparatorDropsTheProgram) {
    TRegExpr re;
    re.SetModifiers(14 | ModifierM);
    re.SetExpression("^b");
    EXPECT_TRUE(re.Exec("a\r\nb"));
    re.SetLinePairedSeparator("\r\n");  // the same pair: nothing changes
    EXPECT_FALSE(re.Program().empty());
    re.SetLinePairedSeparator("");
    EXPECT_TRUE(re.Program().empty());
    // Without the pair, CR and LF are separators each: a line starts between them too.
    re.SetExpression("^\\n");
    EXPECT_TRUE(re.Exec("a\r\nb"));
    EXPECT_EQ(re.CompileCount(), 2);
}

TEST(Object, CompileErrorsReportTheirPositionOnlyWhileCompiling) {
    TRegExpr re;
    re.SetExpression("a**");
    try {
        re.CompileExpression();
        FAIL();
    } catch (const ERegExpr &e) {
        EXPECT_EQ(e.Pos, 2);
        EXPECT_STREQ(e.what(), "TRegExpr(comp): Nested *?+ (pos 2)");
    }
    EXPECT_EQ(re.ErrorPosition(), 0);
}

}  // namespace
}  // namespace regexpr_test
