// Matches checked against the plainly recursive matcher: a row is a pattern, a subject and the
// modifiers, and the engine must find what the recursive matcher finds (the outcome, the whole
// match and every group's bounds). Rows cover the shapes whose backtracking order is easy to get
// wrong: counted loops, loops inside loops, repeats with hints, back-references, alternatives.
#include <gtest/gtest.h>

#include "RegExprTestSupport.h"

namespace regexpr_test {
namespace {

constexpr std::int32_t Defaults = 14;

struct ReferenceRow {
    std::string Pattern;
    std::string Subject;
    std::int32_t Modifiers = Defaults;
};

void PrintTo(const ReferenceRow &row, std::ostream *os) {
    *os << '"' << row.Pattern << "\" on \"" << row.Subject << "\" /" << row.Modifiers;
}

std::vector<ReferenceRow> Rows() {
    const std::int32_t i = Defaults | ModifierI;
    const std::int32_t m = Defaults | ModifierM;
    const std::int32_t lazy = Defaults & ~ModifierG;
    return {
        // Loops with a finite maximum make every pass, empty ones included.
        {"(a{0,1}?){2}b", "ab"},
        {"((\\1a){0,1}){2}$", "a"},
        {"((\\1a){0,1}){2}x", "ax"},
        {"(a{0,1}?){3}b", "aab"},
        {"(a|b{0,1}){2,3}c", "abc"},
        {"(a|c{0,1}){2,3}?b", "aab"},
        {"(b{0,1}|a){1,4}c", "aabc"},
        {"((a)|b){0,2}?c", "abc"},
        // Loops without one stop once a pass matches nothing.
        {"(a{0,1})*b", "aab"},
        {"(a{0,1})+?b", "aab"},
        {"(a{0,1}){2,}b", "ab"},
        {"(a{0,1}){3,}?b", "aab"},
        {"(a{0,1}c{0,1})*?b", "acab"},
        {"(\\1|a)*x", "aax"},
        // Counted loops, nested and in sequence.
        {"(a|ab){1,2}c", "abc"},
        {"((ab)*?c){2}", "abcabc"},
        {"(a|ab){1,2}(cd){2}e", "abababcdcde"},
        {"((a{1,2}){2}b){2}", "aaabaab"},
        {"((a|b){2}){2,3}?c", "ababababc"},
        {"(x(ab){1,3}?y){1,2}", "xababyxaby"},
        {"((a)(b)?){2,4}", "abaab"},
        // Greedy and lazy repeats of one character, with and without a literal after them.
        {"a.*b", "axbxbx"},
        {"a.*?b", "axbxbx"},
        {"a[^b]{0,3}b", "aaaab"},
        {"\\d+?\\d", "12345"},
        {"x{2,4}?x", "xxxxxx"},
        {"a*a*a*b", "aaaaab"},
        {"(a+)+b", "aaab"},
        {"[ab]*?c", "ababc"},
        // Alternatives and groups.
        {"a|ab", "ab"},
        {"(a|ab)(c|bcd)(d*)", "abcd"},
        {"(a)|b", "b"},
        {"((a)|(b))*c", "abac"},
        {"(a|b)+", "ab"},
        {"(a(b)?)+", "aba"},
        // Back-references, and repeats of them.
        {"(a*)\\1", "aaaa"},
        {"(ab)\\1*x", "abababx"},
        {"(a*)\\1{2,3}?b", "aaab"},
        {"(a)|b\\1", "b"},
        {"(ab)\\1+?", "ababab"},
        {"(?i)(ab)\\1", "abAB"},
        // Anchors, line and word tests.
        {"^(a|b)*$", "abba"},
        {"^b", "a\r\nb", m},
        {"(a|b)$", "a\r\nb", m},
        {"\\b\\w+\\b", "  foo bar"},
        {"\\B\\w", "ab"},
        // Case folding and the modifiers.
        {"ab+", "xABBb", i},
        {"a+b", "aaab", lazy},
        {"(a|ab)*c", "ababc", lazy},
        {"(?-s).+", "ab\ncd"},
        // Literals that a match may leave out are not required of the subject; those it cannot
        // leave out are.
        {"^(ab:)?c", "c"},
        {"^(x|ab:)c", "xc"},
        {"a(:b)*c", "ac"},
        {"a(:b){0,2}c", "ac"},
        {"a:{0,1}c", "ac"},
        {"a(:b)+c", "a:b:bc"},
        {"a:+c", "a::c"},
        {"(a:b)+c", "a:ba:c"},
        {"((x|y)z:)w", "yz:w"},
        {"a\\(b(?i)cd", "a(bCD"},
        {"(?x) a b # c", "ab"},
        {"^\\w+ \\(E\\d", "lua (E12"},
        {"^\\w+ \\(E\\d", "lua (e12"},
        {"0123456789abcdefghij|x", "0123456789abcdefghiJ x"},
        {"x line y", "a line x line y"},
        // An anchored expression fails at once at a first character its way in cannot take, and
        // not where it may take none.
        {"^(ab|cd)x", "cdx"},
        {"^(\\*\\* |  )(\\w+):", "  foo:"},
        {"^(a|b*)c", "c"},
        {"^x?$", ""},
        {"^\\d*", "x"},
        // Alternatives whose beginnings do not fit the character are passed over, those that
        // fit are tried in order; group bounds set before the first choice are cleared when the
        // attempt fails.
        {"(At |\tat |libcob: )(\\d+)", "x \tat 12"},
        {"(ab|a(c)|[x-z]+|(d)e|)f", "acf zf def f"},
        {"x((y)?(z|[0-9]))+w", "xyz1zyw xz9w"},
        {"(a)(b|c)(d|\\1)", "abx acd aca"},
        {"((a)|(b)|x)+c", "bac"},
        {"(\\e\\[[\\d;]*m)*  (\\d+)", "\x1b[1m  42"},
        {"(a)x|(a)y|(b)z", "aaybz"},
        // Alternatives passed over at a later node of their beginning: the whole literal, the
        // character tests after it, across group ends, and at the end of the subject.
        {"^(([A-Za-z]:)?[^\\s:][^:]*):(\\d+):", "c:/src/a.c:12: x"},
        {"^(([A-Za-z]:)?[^\\s:][^:]*):(\\d+):", "src/a.c:12: x"},
        {"^(([A-Za-z]:)?[^\\s:][^:]*):(\\d+):", "c"},
        {"(abc|abd|ab)(x|\\d|[^y])", "abdy ab1"},
        {"((a)b)c|(ab)d|a", "abd abc"},
        {"(x[pq]\\d|x[pq]|x)z", "xq5 xqz xz"},
        // The error-line parser's own shapes.
        {"^.*?(\\d+)", "file.c(12): error"},
        {"^(.+)\\((\\d+)\\)", "dir/a.c(42)"},
        {"^([^:]+):(\\d+):(\\d+)?", "main.c:7:"},
    };
}

class ReferenceTest : public testing::TestWithParam<ReferenceRow> {};

TEST_P(ReferenceTest, FindsWhatTheRecursiveMatcherFinds) {
    const ReferenceRow &row = GetParam();
    TRegExpr re;
    re.SetModifiers(row.Modifiers);
    re.SetExpression(row.Pattern);
    const bool matched = re.Exec(row.Subject);
    EXPECT_EQ(DifferenceFromReference(re, row.Subject, matched), "") << DumpProgram(re.Program());
}

INSTANTIATE_TEST_SUITE_P(Rows, ReferenceTest, testing::ValuesIn(Rows()));

// A run of characters outside a set of two or three is scanned several characters at a time:
// the first excluded character is found at every offset around and past those steps, each of
// the set's characters in turn, and a run that reaches the end of the subject stops there.
TEST(ReferenceScanTest, RunOutsideASmallSetEndsAtItsFirstExcludedCharacter) {
    for (const std::string pattern : {"^([^:;x]*)(.)", "^([^:\\e]*)(.?)", "([^;x]+)x"}) {
        for (const char excluded : {':', ';', 'x', '\x1b'}) {
            for (std::size_t offset = 0; offset <= 20; ++offset) {
                for (const std::size_t tail : {0, 1, 9}) {
                    const std::string subject = std::string(offset, 'a') + excluded + std::string(tail, 'b') + ";x";
                    TRegExpr re;
                    re.SetExpression(pattern);
                    const bool matched = re.Exec(subject);
                    EXPECT_EQ(DifferenceFromReference(re, subject, matched), "")
                        << pattern << " on " << offset << " + 1 + " << tail;
                }
            }
        }
    }
    for (std::size_t length = 0; length <= 17; ++length) {
        const std::string subject(length, 'a');
        TRegExpr re;
        re.SetExpression("^([^:;x]*)$");
        EXPECT_TRUE(re.Exec(subject)) << length;
        EXPECT_EQ(re.MatchLen(1), static_cast<std::int32_t>(length));
    }
}

}  // namespace
}  // namespace regexpr_test
