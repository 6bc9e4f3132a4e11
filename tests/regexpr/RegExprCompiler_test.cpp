// The compiler: program bytes of each construct, computed by hand from the format's rules,
// byte-identical recompilation, and the search hints.
#include <gtest/gtest.h>

#include "RegExprTestSupport.h"

namespace regexpr_test {
namespace {

constexpr std::int32_t Defaults = ModifierR | ModifierS | ModifierG;  // 14

struct LayoutCase {
    const char *Name;
    std::string Pattern;
    std::int32_t Modifiers;
    ProgramBytes Expected;
};

std::vector<LayoutCase> LayoutCases() {
    const auto open1 = static_cast<TOpCode>(OpOpen + 1);
    const auto close1 = static_cast<TOpCode>(OpClose + 1);
    std::vector<LayoutCase> cases;
    // The worked example: 51 bytes.
    cases.push_back({"WorkedExample", "^.*?(\\d+)", Defaults,
                     ProgramBytes()
                         .Node(OpBranch, 45)
                         .Node(OpInputStart, 5)
                         .Node(OpStarLazy, 10)
                         .Node(OpAny, 0)
                         .Node(open1, 5)
                         .Node(OpBranch, 15)
                         .Node(OpPlus, 10)
                         .Node(OpDigit, 0)
                         .Node(close1, 5)
                         .Node(OpEnd, 0)});
    cases.push_back({"Literal", "abc", Defaults,
                     ProgramBytes().Node(OpBranch, 14).Node(OpLiteral, 9).Str("abc").Node(OpEnd, 0)});
    cases.push_back({"LiteralNoCase", "abc", Defaults | ModifierI,
                     ProgramBytes().Node(OpBranch, 14).Node(OpLiteralNoCase, 9).Str("abc").Node(OpEnd, 0)});
    // A run before a quantifier gives up its last character.
    cases.push_back({"RunSplitBeforeStar", "ab*", Defaults,
                     ProgramBytes()
                         .Node(OpBranch, 24)
                         .Node(OpLiteral, 7).Str("a")
                         .Node(OpStar, 12)
                         .Node(OpLiteral, 0).Str("b")
                         .Node(OpEnd, 0)});
    cases.push_back({"RunSplitBeforeBraces", "abc{2}", Defaults,
                     ProgramBytes()
                         .Node(OpBranch, 33)
                         .Node(OpLiteral, 8).Str("ab")
                         .Node(OpBraces, 20).Int(2).Int(2)
                         .Node(OpLiteral, 0).Str("c")
                         .Node(OpEnd, 0)});
    cases.push_back({"Star", "x*", Defaults,
                     ProgramBytes().Node(OpBranch, 17).Node(OpStar, 12).Node(OpLiteral, 0).Str("x").Node(OpEnd, 0)});
    cases.push_back({"StarLazy", "x*?", Defaults,
                     ProgramBytes().Node(OpBranch, 17).Node(OpStarLazy, 12).Node(OpLiteral, 0).Str("x").Node(OpEnd, 0)});
    cases.push_back({"StarUngreedyModifier", "x*", ModifierR | ModifierS,
                     ProgramBytes().Node(OpBranch, 17).Node(OpStarLazy, 12).Node(OpLiteral, 0).Str("x").Node(OpEnd, 0)});
    cases.push_back({"Plus", "x+", Defaults,
                     ProgramBytes().Node(OpBranch, 17).Node(OpPlus, 12).Node(OpLiteral, 0).Str("x").Node(OpEnd, 0)});
    cases.push_back({"PlusLazy", "x+?", Defaults,
                     ProgramBytes().Node(OpBranch, 17).Node(OpPlusLazy, 12).Node(OpLiteral, 0).Str("x").Node(OpEnd, 0)});
    cases.push_back({"Braces", "x{2,5}", Defaults,
                     ProgramBytes().Node(OpBranch, 25).Node(OpBraces, 20).Int(2).Int(5).Node(OpLiteral, 0).Str("x").Node(OpEnd, 0)});
    cases.push_back({"BracesLazy", "x{2,5}?", Defaults,
                     ProgramBytes().Node(OpBranch, 25).Node(OpBracesLazy, 20).Int(2).Int(5).Node(OpLiteral, 0).Str("x").Node(OpEnd, 0)});
    cases.push_back({"BracesOpenEnded", "x{3,}", Defaults,
                     ProgramBytes().Node(OpBranch, 25).Node(OpBraces, 20).Int(3).Int(BracesLimit).Node(OpLiteral, 0).Str("x").Node(OpEnd, 0)});
    cases.push_back({"BracesExact", "\\d{12345678}", Defaults,
                     ProgramBytes().Node(OpBranch, 23).Node(OpBraces, 18).Int(12345678).Int(12345678).Node(OpDigit, 0).Node(OpEnd, 0)});
    // Greedy "?" is a two-way branch whose alternatives meet at an OpEmpty.
    cases.push_back({"OptionalGreedy", "a?", Defaults,
                     ProgramBytes()
                         .Node(OpBranch, 27)
                         .Node(OpBranch, 12)
                         .Node(OpLiteral, 12).Str("a")
                         .Node(OpBranch, 5)
                         .Node(OpEmpty, 5)
                         .Node(OpEnd, 0)});
    cases.push_back({"OptionalLazy", "a??", Defaults,
                     ProgramBytes().Node(OpBranch, 25).Node(OpBracesLazy, 20).Int(0).Int(1).Node(OpLiteral, 0).Str("a").Node(OpEnd, 0)});
    // "(a)*": body, jump back to the branch, and an empty second alternative.
    cases.push_back({"GroupStarGreedy", "(a)*", Defaults,
                     ProgramBytes()
                         .Node(OpBranch, 47)
                         .Node(OpBranch, 32)
                         .Node(open1, 5)
                         .Node(OpBranch, 12)
                         .Node(OpLiteral, 7).Str("a")
                         .Node(close1, 5)
                         .Node(OpBack, -27)
                         .Node(OpBranch, 5)
                         .Node(OpEmpty, 5)
                         .Node(OpEnd, 0)});
    cases.push_back({"GroupPlusGreedy", "(a)+", Defaults,
                     ProgramBytes()
                         .Node(OpBranch, 47)
                         .Node(open1, 5)
                         .Node(OpBranch, 12)
                         .Node(OpLiteral, 7).Str("a")
                         .Node(close1, 5)
                         .Node(OpBranch, 10)
                         .Node(OpBack, -27)
                         .Node(OpBranch, 5)
                         .Node(OpEmpty, 5)
                         .Node(OpEnd, 0)});
    cases.push_back({"GroupStarLazy", "(a)*?", Defaults,
                     ProgramBytes()
                         .Node(OpBranch, 49)
                         .Node(OpLoopEntry, 27)
                         .Node(open1, 5)
                         .Node(OpBranch, 12)
                         .Node(OpLiteral, 7).Str("a")
                         .Node(close1, 5)
                         .Node(OpLoopLazy, 17).Int(0).Int(BracesLimit).Int(-22)
                         .Node(OpEnd, 0)});
    cases.push_back({"GroupStarUngreedyModifier", "(a)*", ModifierR | ModifierS,
                     ProgramBytes()
                         .Node(OpBranch, 49)
                         .Node(OpLoopEntry, 27)
                         .Node(open1, 5)
                         .Node(OpBranch, 12)
                         .Node(OpLiteral, 7).Str("a")
                         .Node(close1, 5)
                         .Node(OpLoopLazy, 17).Int(0).Int(BracesLimit).Int(-22)
                         .Node(OpEnd, 0)});
    cases.push_back({"GroupOptionalLazy", "(ab)??", Defaults,
                     ProgramBytes()
                         .Node(OpBranch, 50)
                         .Node(OpLoopEntry, 28)
                         .Node(open1, 5)
                         .Node(OpBranch, 13)
                         .Node(OpLiteral, 8).Str("ab")
                         .Node(close1, 5)
                         .Node(OpLoopLazy, 17).Int(0).Int(1).Int(-23)
                         .Node(OpEnd, 0)});
    cases.push_back({"GroupBraces", "(a){1,2}c", Defaults,
                     ProgramBytes()
                         .Node(OpBranch, 56)
                         .Node(OpLoopEntry, 27)
                         .Node(open1, 5)
                         .Node(OpBranch, 12)
                         .Node(OpLiteral, 7).Str("a")
                         .Node(close1, 5)
                         .Node(OpLoop, 17).Int(1).Int(2).Int(-22)
                         .Node(OpLiteral, 7).Str("c")
                         .Node(OpEnd, 0)});
    cases.push_back({"Alternation", "a|b", Defaults,
                     ProgramBytes()
                         .Node(OpBranch, 12)
                         .Node(OpLiteral, 19).Str("a")
                         .Node(OpBranch, 12)
                         .Node(OpLiteral, 7).Str("b")
                         .Node(OpEnd, 0)});
    cases.push_back({"EmptyAlternative", "a|", Defaults,
                     ProgramBytes()
                         .Node(OpBranch, 12)
                         .Node(OpLiteral, 17).Str("a")
                         .Node(OpBranch, 10)
                         .Node(OpEmpty, 5)
                         .Node(OpEnd, 0)});
    // Classes: up to three members in a tiny set, the largest repeated; more in a full set.
    cases.push_back({"TinySet", "[ab]", Defaults,
                     ProgramBytes().Node(OpBranch, 13).Node(OpSmallSet, 8).Raw({'a', 'b', 'b'}).Node(OpEnd, 0)});
    cases.push_back({"TinySetThree", "[cab]", Defaults,
                     ProgramBytes().Node(OpBranch, 13).Node(OpSmallSet, 8).Raw({'a', 'b', 'c'}).Node(OpEnd, 0)});
    cases.push_back({"TinySetNegated", "[^ab]", Defaults,
                     ProgramBytes().Node(OpBranch, 13).Node(OpNotSmallSet, 8).Raw({'a', 'b', 'b'}).Node(OpEnd, 0)});
    cases.push_back({"TinySetBracketFirst", "[]a]", Defaults,
                     ProgramBytes().Node(OpBranch, 13).Node(OpSmallSet, 8).Raw({']', 'a', 'a'}).Node(OpEnd, 0)});
    cases.push_back({"TinySetDashLast", "[a-]", Defaults,
                     ProgramBytes().Node(OpBranch, 13).Node(OpSmallSet, 8).Raw({'-', 'a', 'a'}).Node(OpEnd, 0)});
    cases.push_back({"EmptySetFromNul", "[\\x00]", Defaults,
                     ProgramBytes().Node(OpBranch, 13).Node(OpSmallSet, 8).Raw({0, 0, 0}).Node(OpEnd, 0)});
    cases.push_back({"FullSetCaseInsensitive", "[ab]", Defaults | ModifierI,
                     ProgramBytes().Node(OpBranch, 42).Node(OpByteSet, 37).Set({'A', 'B', 'a', 'b'}).Node(OpEnd, 0)});
    cases.push_back({"FullSetNegatedIsComplemented", "[^abcd]", Defaults,
                     ProgramBytes().Node(OpBranch, 42).Node(OpByteSet, 37).Set(Complement(Members({{'a', 'd'}}))).Node(OpEnd, 0)});
    cases.push_back({"RangeThenClassEscape", "[a-\\d]", Defaults,
                     ProgramBytes().Node(OpBranch, 42).Node(OpByteSet, 37).Set(Members({{'-', '-'}, {'0', '9'}, {'a', 'a'}})).Node(OpEnd, 0)});
    cases.push_back({"ClassEscapeThenDash", "[\\d-z]", Defaults,
                     ProgramBytes().Node(OpBranch, 42).Node(OpByteSet, 37).Set(Members({{'-', '-'}, {'0', '9'}, {'z', 'z'}})).Node(OpEnd, 0)});
    cases.push_back({"ClassEscapesAddLetters", "[\\D\\b\\x41-C]", Defaults,
                     ProgramBytes().Node(OpBranch, 42).Node(OpByteSet, 37).Set(Members({{'A', 'D'}, {'b', 'b'}})).Node(OpEnd, 0)});
    cases.push_back({"SpaceEscape", "\\s", Defaults | ModifierI,
                     ProgramBytes().Node(OpBranch, 42).Node(OpByteSet, 37).Set({9, 10, 12, 13, 32}).Node(OpEnd, 0)});
    cases.push_back({"NonSpaceEscape", "\\S", Defaults,
                     ProgramBytes().Node(OpBranch, 42).Node(OpByteSet, 37).Set(Complement({9, 10, 12, 13, 32})).Node(OpEnd, 0)});
    // Cyrillic ranges of Windows-1251: with r the letter yo joins its block.
    std::vector<int> lower = Members({{0xE0, 0xFF}, {0xB8, 0xB8}});
    std::vector<int> upper = Members({{0xC0, 0xDF}, {0xA8, 0xA8}});
    std::vector<int> both = lower;
    both.insert(both.end(), upper.begin(), upper.end());
    cases.push_back({"CyrillicLowerR", "[\\xE0-\\xFF]", Defaults,
                     ProgramBytes().Node(OpBranch, 42).Node(OpByteSet, 37).Set(lower).Node(OpEnd, 0)});
    cases.push_back({"CyrillicLowerNoR", "[\\xE0-\\xFF]", Defaults & ~ModifierR,
                     ProgramBytes().Node(OpBranch, 42).Node(OpByteSet, 37).Set(Members({{0xE0, 0xFF}})).Node(OpEnd, 0)});
    cases.push_back({"CyrillicUpperR", "[\xC0-\xDF]", Defaults,
                     ProgramBytes().Node(OpBranch, 42).Node(OpByteSet, 37).Set(upper).Node(OpEnd, 0)});
    cases.push_back({"CyrillicUpperNoR", "[\xC0-\xDF]", Defaults & ~ModifierR,
                     ProgramBytes().Node(OpBranch, 42).Node(OpByteSet, 37).Set(Members({{0xC0, 0xDF}})).Node(OpEnd, 0)});
    cases.push_back({"CyrillicBothR", "[\xE0-\xDF]", Defaults,
                     ProgramBytes().Node(OpBranch, 42).Node(OpByteSet, 37).Set(both).Node(OpEnd, 0)});
    // Escapes.
    cases.push_back({"HexEscapes", "\\x{0041}\\x42", Defaults,
                     ProgramBytes().Node(OpBranch, 19).Node(OpLiteral, 7).Str("A").Node(OpLiteral, 7).Str("B").Node(OpEnd, 0)});
    // A NUL escape cannot be a literal: it is a test that never succeeds.
    cases.push_back({"NulEscape", "a\\x00", Defaults,
                     ProgramBytes().Node(OpBranch, 20).Node(OpLiteral, 7).Str("a").Node(OpSmallSet, 8).Raw({0, 0, 0}).Node(OpEnd, 0)});
    cases.push_back({"BackReference", "(a)\\1", Defaults | ModifierI,
                     ProgramBytes()
                         .Node(OpBranch, 33)
                         .Node(open1, 5)
                         .Node(OpBranch, 12)
                         .Node(OpLiteralNoCase, 7).Str("a")
                         .Node(close1, 5)
                         .Node(OpBackRefNoCase, 6).Raw({1})
                         .Node(OpEnd, 0)});
    cases.push_back({"Anchors", "\\A\\b\\B\\Z", Defaults,
                     ProgramBytes().Node(OpBranch, 25).Node(OpInputStart, 5).Node(OpWordBound, 5).Node(OpNotWordBound, 5).Node(OpInputEnd, 5).Node(OpEnd, 0)});
    cases.push_back({"MultiLineAnchors", "^$", Defaults | ModifierM,
                     ProgramBytes().Node(OpBranch, 15).Node(OpLineStart, 5).Node(OpLineEnd, 5).Node(OpEnd, 0)});
    cases.push_back({"DotWithoutS", ".", ModifierR | ModifierG,
                     ProgramBytes().Node(OpBranch, 10).Node(OpAnyInLine, 5).Node(OpEnd, 0)});
    // A brace that is no quantifier starts a literal run.
    cases.push_back({"BraceLiteral", "a{,3}", Defaults,
                     ProgramBytes().Node(OpBranch, 22).Node(OpLiteral, 7).Str("a").Node(OpLiteral, 10).Str("{,3}").Node(OpEnd, 0)});
    cases.push_back({"BraceLiteralAtStart", "{abc}", Defaults,
                     ProgramBytes().Node(OpBranch, 16).Node(OpLiteral, 11).Str("{abc}").Node(OpEnd, 0)});
    // Comments and inline modifiers leave OpComment nodes.
    cases.push_back({"InlineModifiers", "(?i)a(?#note)b", Defaults,
                     ProgramBytes()
                         .Node(OpBranch, 29)
                         .Node(OpComment, 5)
                         .Node(OpLiteralNoCase, 7).Str("a")
                         .Node(OpComment, 5)
                         .Node(OpLiteralNoCase, 7).Str("b")
                         .Node(OpEnd, 0)});
    cases.push_back({"InlineModifiersEndWithGroup", "((?i)b)c", Defaults,
                     ProgramBytes()
                         .Node(OpBranch, 39)
                         .Node(open1, 5)
                         .Node(OpBranch, 17)
                         .Node(OpComment, 5)
                         .Node(OpLiteralNoCase, 7).Str("b")
                         .Node(close1, 5)
                         .Node(OpLiteral, 7).Str("c")
                         .Node(OpEnd, 0)});
    cases.push_back({"ExtendedBlanksDropped", "a b", Defaults | ModifierX,
                     ProgramBytes().Node(OpBranch, 13).Node(OpLiteral, 8).Str("ab").Node(OpEnd, 0)});
    cases.push_back({"ExtendedComment", "a #c\nb", Defaults | ModifierX,
                     ProgramBytes()
                         .Node(OpBranch, 24)
                         .Node(OpLiteral, 7).Str("a")
                         .Node(OpComment, 5)
                         .Node(OpLiteral, 7).Str("b")
                         .Node(OpEnd, 0)});
    cases.push_back({"ExtendedLeadingBlank", " \t a", Defaults | ModifierX,
                     ProgramBytes().Node(OpBranch, 17).Node(OpComment, 5).Node(OpLiteral, 7).Str("a").Node(OpEnd, 0)});
    cases.push_back({"ExtendedClassKeepsBlanks", "[ #]", Defaults | ModifierX,
                     ProgramBytes().Node(OpBranch, 13).Node(OpSmallSet, 8).Raw({' ', '#', '#'}).Node(OpEnd, 0)});
    return cases;
}

class LayoutTest : public testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutTest, CompilesToTheHandBuiltProgram) {
    const LayoutCase &c = GetParam();
    const std::vector<std::uint8_t> actual = CompileBytes(c.Pattern, c.Modifiers);
    EXPECT_EQ(actual, c.Expected.Bytes()) << CompareListings(c.Expected.Bytes(), actual);
}

TEST_P(LayoutTest, RecompilesByteIdentically) {
    const LayoutCase &c = GetParam();
    TRegExpr re;
    re.SetModifiers(c.Modifiers);
    re.SetExpression(c.Pattern);
    re.CompileExpression();
    const std::vector<std::uint8_t> first(re.Program().begin(), re.Program().end());
    re.CompileExpression();
    const std::vector<std::uint8_t> second(re.Program().begin(), re.Program().end());
    EXPECT_EQ(first, second) << CompareListings(first, second);
}

INSTANTIATE_TEST_SUITE_P(Constructs, LayoutTest, testing::ValuesIn(LayoutCases()),
                         [](const testing::TestParamInfo<LayoutCase> &info) { return std::string(info.param.Name); });

TEST(Compiler, FourteenGroupsCompile) {
    std::string pattern;
    for (int i = 0; i < 14; ++i) pattern += "(a)";
    const std::vector<std::uint8_t> program = CompileBytes(pattern);
    // Each group: open, branch, literal, close = 22 bytes; plus signature, branch and end.
    EXPECT_EQ(program.size(), 1u + 5 + 14 * 22 + 5);
    EXPECT_EQ(program[program.size() - 5 - 5], OpClose + 14);
}

// --- Hints ------------------------------------------------------------------------------------

struct HintCase {
    std::string Pattern;
    int StartChar;
    bool Anchored;
    std::string MustString;
};

class HintTest : public testing::TestWithParam<HintCase> {};

TEST_P(HintTest, ComputesHints) {
    const HintCase &c = GetParam();
    TRegExpr re;
    re.SetExpression(c.Pattern);
    re.CompileExpression();
    EXPECT_EQ(re.StartChar(), c.StartChar) << DumpProgram(re.Program());
    EXPECT_EQ(re.AnchoredStart(), c.Anchored);
    EXPECT_EQ(re.MustString(), c.MustString);
}

INSTANTIATE_TEST_SUITE_P(Hints, HintTest,
                         testing::Values(HintCase{"^.*?(\\d+)", 0, true, ""},
                                         HintCase{"abc", 'a', false, ""},
                                         HintCase{".*abc", 0, false, "abc"},
                                         HintCase{".*ab.*cd", 0, false, "cd"},
                                         HintCase{"x*abc.*de", 0, false, "abc"},
                                         HintCase{"a|b", 0, false, ""},
                                         HintCase{"(?i)abc", 0, false, ""},
                                         HintCase{"(a)*x(bcd)", 0, false, "x"},
                                         HintCase{"\\Aab", 0, true, ""}));

struct StartSetCase {
    std::string Pattern;
    std::string Members;  // every member, in ascending order; "*" means all 256
};

class StartCharSetTest : public testing::TestWithParam<StartSetCase> {};

TEST_P(StartCharSetTest, HoldsTheCharactersAMatchCanStartWith) {
    const StartSetCase &c = GetParam();
    TRegExpr re;
    re.SetExpression(c.Pattern);
    re.CompileExpression();
    std::string members;
    for (int ch = 1; ch < 256; ++ch)
        if (re.StartCharSet().test(ch)) members += static_cast<char>(ch);
    if (re.StartCharSet().all()) members = "*";
    EXPECT_EQ(members, c.Members) << DumpProgram(re.Program());
}

INSTANTIATE_TEST_SUITE_P(StartChars, StartCharSetTest,
                         testing::Values(StartSetCase{"x*", "x"},
                                         StartSetCase{"a?b", "ab"},
                                         StartSetCase{"[a-c]+d", "abc"},
                                         StartSetCase{"\\d|\\D", "*"},
                                         StartSetCase{"a|", "a"},
                                         StartSetCase{"^", ""},
                                         StartSetCase{"(?i)ab", "Aa"},
                                         StartSetCase{"(a|b)*c", "abc"},
                                         StartSetCase{"(ab)*?c", "ac"},
                                         StartSetCase{"x{0,2}y", "xy"},
                                         StartSetCase{"x{1,2}y", "x"},
                                         // The body can match nothing: the walk still ends.
                                         StartSetCase{"(b*)??x", "bx"},
                                         StartSetCase{"((b*)??c?)??x", "bcx"}));

// --- Modifier letters -------------------------------------------------------------------------

TEST(ParseModifierLetters, SwitchesBitsOnBeforeTheDashAndOffAfterIt) {
    struct Row {
        const char *Letters;
        std::int32_t Before;
        bool Ok;
        std::int32_t After;
    };
    const Row rows[] = {
        {"", 14, true, 14},       {"i", 14, true, 15},        {"I", 0, true, 1},
        {"-i", 15, true, 14},     {"im-sx", 4 | 32, true, 17}, {"-", 5, true, 5},
        {"q", 14, false, 14},     {"iq", 0, false, 1},        {"RSGMX", 0, true, 62},
        {"i-m-g", 24, true, 1},
    };
    for (const Row &row : rows) {
        std::int32_t modifiers = row.Before;
        EXPECT_EQ(ParseModifierLetters(row.Letters, modifiers), row.Ok) << row.Letters;
        EXPECT_EQ(modifiers, row.After) << row.Letters;
    }
}

// --- Class members ----------------------------------------------------------------------------

struct ClassCase {
    std::string Pattern;
    std::int32_t Modifiers;
    bool (*Member)(int c);
    TOpCode Op;  // the node the class compiles to
};

class ClassMembersTest : public testing::TestWithParam<ClassCase> {};

// Every character from 1 to 255 is tried alone, so a member lost or gained at a byte edge of the
// packed operand shows.
TEST_P(ClassMembersTest, MatchesExactlyItsMembers) {
    const ClassCase &c = GetParam();
    TRegExpr re;
    re.SetModifiers(c.Modifiers);
    re.SetExpression("^" + c.Pattern + "$");
    re.CompileExpression();
    EXPECT_EQ(re.Program()[1 + 2 * NodeHeaderSize], c.Op) << DumpProgram(re.Program());
    for (int ch = 1; ch < 256; ++ch)
        EXPECT_EQ(re.Exec(std::string(1, static_cast<char>(ch))), c.Member(ch)) << c.Pattern << " on " << ch;
}

INSTANTIATE_TEST_SUITE_P(
    Classes, ClassMembersTest,
    testing::Values(
        ClassCase{"[\\x05-\\x13]", Defaults, [](int c) { return c >= 5 && c <= 0x13; }, OpByteSet},
        ClassCase{"[\\x07-\\x08]", Defaults, [](int c) { return c == 7 || c == 8; }, OpSmallSet},
        ClassCase{"[\\x01-\\xFF]", Defaults, [](int) { return true; }, OpByteSet},
        ClassCase{"[\\x00-\\x02]", Defaults, [](int c) { return c <= 2; }, OpSmallSet},
        ClassCase{"[^\\x00-\\x02]", Defaults, [](int c) { return c > 2; }, OpNotSmallSet},
        ClassCase{"[\\x3F-\\x40\\xFF]", Defaults, [](int c) { return c == 0x3F || c == 0x40 || c == 0xFF; }, OpSmallSet},
        ClassCase{"[x-z0-9_]", Defaults, [](int c) { return (c >= 'x' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'; }, OpByteSet},
        ClassCase{"[^\\d;]", Defaults, [](int c) { return !(c >= '0' && c <= '9') && c != ';'; }, OpByteSet},
        ClassCase{"[Y-b]", Defaults | ModifierI,
                  [](int c) { return (c >= 'Y' && c <= 'b') || (c >= 'y' && c <= 'z') || (c >= 'A' && c <= 'B'); }, OpByteSet},
        ClassCase{"[a]", Defaults | ModifierI, [](int c) { return c == 'a' || c == 'A'; }, OpSmallSet}));

TEST(DumpProgram, ListsEveryNodeWithItsLink) {
    const std::string listing = DumpProgram(CompileBytes("^.*?(\\d+)"));
    EXPECT_NE(listing.find("  11: OpStarLazy       link 10 -> 21"), std::string::npos) << listing;
    EXPECT_NE(listing.find("  46: OpEnd            link 0"), std::string::npos) << listing;
    EXPECT_NE(DumpProgram(CompileBytes("[^abcd]x")).find("OpByteSet"), std::string::npos);
}

}  // namespace
}  // namespace regexpr_test
