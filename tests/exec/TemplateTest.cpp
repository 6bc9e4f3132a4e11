// The template language and the nine template arguments.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "exec/Template.h"

#include "support/Failure.h"

namespace {

using platform::PathStyle;

TemplateArguments NumberedArguments() {
    TemplateArguments args;
    for (std::size_t i = 0; i < args.size(); ++i) args[i] = "A" + std::to_string(i);
    args[3] = "abcdef";
    return args;
}

struct ExpandCase {
    const char *templ;
    const char *expected;  // the result, or the failure's message when `fails`
    bool fails = false;
};

void PrintTo(const ExpandCase &c, std::ostream *out) { *out << '"' << c.templ << '"'; }

class ExpandTemplateTest : public ::testing::TestWithParam<ExpandCase> {};

TEST_P(ExpandTemplateTest, FormatsOrFails) {
    const ExpandCase &c = GetParam();
    const TemplateArguments args = NumberedArguments();
    if (c.fails) {
        EXPECT_EQ(support::FailureOf([&] { ExpandTemplate(c.templ, args); }), c.expected) << c.templ;
    } else {
        EXPECT_EQ(ExpandTemplate(c.templ, args), c.expected) << c.templ;
    }
}

INSTANTIATE_TEST_SUITE_P(PlainText, ExpandTemplateTest, ::testing::Values(
    ExpandCase{"", ""},
    ExpandCase{"gcc -c main.c", "gcc -c main.c"},
    ExpandCase{"%%", "%"},
    ExpandCase{"100%% done", "100% done"},
    ExpandCase{"%%s", "%s"},
    ExpandCase{"%%%s", "%A0"},
    ExpandCase{"%%PATH%%", "%PATH%"}));

INSTANTIATE_TEST_SUITE_P(ArgumentOrder, ExpandTemplateTest, ::testing::Values(
    ExpandCase{"%s", "A0"},
    ExpandCase{"%S", "A0"},
    ExpandCase{"%s %s %s", "A0 A1 A2"},
    ExpandCase{"%2:s", "A2"},
    ExpandCase{"%2:s %s %s", "A2 abcdef A4"},
    ExpandCase{"%s %0:s %s", "A0 A0 A1"},
    ExpandCase{"%8:s", "A8"},
    ExpandCase{"%1:s\\%2:s", "A1\\A2"},
    ExpandCase{"%s%s%s%s%s%s%s%s%s", "A0A1A2abcdefA4A5A6A7A8"}));

INSTANTIATE_TEST_SUITE_P(WidthAndPrecision, ExpandTemplateTest, ::testing::Values(
    ExpandCase{"[%3:.99999999999999999999s]", "[abcdef]"},
    ExpandCase{"[%3:8s]", "[  abcdef]"},
    ExpandCase{"[%3:-8s]", "[abcdef  ]"},
    ExpandCase{"[%3:2s]", "[abcdef]"},
    ExpandCase{"[%3:.2s]", "[ab]"},
    ExpandCase{"[%3:.0s]", "[]"},
    ExpandCase{"[%3:.s]", "[]"},
    ExpandCase{"[%3:.20s]", "[abcdef]"},
    ExpandCase{"[%3:5.2s]", "[   ab]"},
    ExpandCase{"[%3:-5.2s]", "[ab   ]"},
    ExpandCase{"[%-s]", "[A0]"},
    ExpandCase{"[%4s]", "[  A0]"},
    ExpandCase{"[%-4s|%s]", "[A0  |A1]"}));

// A "*" uses up the next argument, which counts as the number 0.
INSTANTIATE_TEST_SUITE_P(Stars, ExpandTemplateTest, ::testing::Values(
    ExpandCase{"[%*s]", "[A1]"},
    ExpandCase{"[%-*s]", "[A1]"},
    ExpandCase{"[%.*s][%s]", "[][A2]"},
    ExpandCase{"[%*.*s]", "[]"},
    ExpandCase{"[%*.5s][%s]", "[A1][A2]"},
    ExpandCase{"[%*:s][%s]", "[A0][A1]"},
    ExpandCase{"[%2:*s][%s]", "[abcdef][A4]"},
    ExpandCase{"[%7:*s]", "[A8]"},
    ExpandCase{"[%8:*s]", "No argument for format '%8:*s'", true},
    ExpandCase{"[%8:s%*s]", "No argument for format '%*s'", true}));

INSTANTIATE_TEST_SUITE_P(CutOffAtTheEnd, ExpandTemplateTest, ::testing::Values(
    ExpandCase{"abc%", "abc"},
    ExpandCase{"%s%", "A0"},
    ExpandCase{"abc%5", "abc"},
    ExpandCase{"abc%1:", "abc"},
    ExpandCase{"abc%1:-", "abc"},
    ExpandCase{"abc%-3", "abc"},
    ExpandCase{"abc%.3", "abc"},
    ExpandCase{"abc%.", "abc"},
    ExpandCase{"abc%*", "abc"},
    ExpandCase{"%8:s%*", "A8"},
    ExpandCase{"%8:s%s", "No argument for format '%s'", true}));

INSTANTIATE_TEST_SUITE_P(Failures, ExpandTemplateTest, ::testing::Values(
    ExpandCase{"%d", "Format '%d' invalid or incompatible with argument", true},
    ExpandCase{"x %5:d y", "Format '%5:d' invalid or incompatible with argument", true},
    ExpandCase{"%-10.3x", "Format '%-10.3x' invalid or incompatible with argument", true},
    ExpandCase{"%1:5:s", "Format '%1:5:' invalid or incompatible with argument", true},
    ExpandCase{"% s", "Format '% ' invalid or incompatible with argument", true},
    ExpandCase{"%9:s", "No argument for format '%9:s'", true},
    ExpandCase{"%123:s", "No argument for format '%123:s'", true},
    ExpandCase{"%s%s%s%s%s%s%s%s%s%-4s", "No argument for format '%-4s'", true},
    // The directive is named by its first 31 characters.
    ExpandCase{"%0000000000000000000000000000000000005:d",
               "Format '%000000000000000000000000000000' invalid or incompatible with argument", true},
    ExpandCase{"%00000000000000000000000000000000000009:s",
               "No argument for format '%000000000000000000000000000000'", true},
    ExpandCase{"%32768s", "Format '%32768s' invalid or incompatible with argument", true},
    ExpandCase{"%99999999999999999999s",
               "Format '%99999999999999999999s' invalid or incompatible with argument", true},
    ExpandCase{"%99999999999999999999:s",
               "No argument for format '%99999999999999999999:s'", true}));

TEST(ExpandTemplate, HasNoLengthLimit) {
    TemplateArguments args;
    args[0] = std::string(5000, 'x');
    const std::string templ = std::string(3000, 'a') + "%s" + std::string(3000, 'b') + "%1:6000s";
    const std::string result = ExpandTemplate(templ, args);
    EXPECT_EQ(result, std::string(3000, 'a') + args[0] + std::string(3000, 'b') + std::string(6000, ' '));
}

TEST(ExpandTemplate, KeepsEveryByteOfTheArguments) {
    TemplateArguments args;
    args[0] = std::string("a\tb%s\x01\xff", 7);
    EXPECT_EQ(ExpandTemplate("<%s>", args), "<" + args[0] + ">");
}

struct PathCase {
    PathStyle style;
    const char *fileName;
    const char *dir, *name, *base, *extension;
};

class PathArgumentsTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathArgumentsTest, SplitsTheFileName) {
    const PathCase &c = GetParam();
    const TemplateArguments args = MakePathArguments(c.fileName, c.style);
    EXPECT_EQ(args[0], c.fileName);
    EXPECT_EQ(args[1], c.dir) << c.fileName;
    EXPECT_EQ(args[2], c.name) << c.fileName;
    EXPECT_EQ(args[3], c.base) << c.fileName;
    EXPECT_EQ(args[4], c.extension) << c.fileName;
}

INSTANTIATE_TEST_SUITE_P(Windows, PathArgumentsTest, ::testing::Values(
    PathCase{PathStyle::Windows, "C:\\main.c", "C:\\", "main.c", "main", "c"},
    PathCase{PathStyle::Windows, "C:\\src\\main.c", "C:\\src", "main.c", "main", "c"},
    PathCase{PathStyle::Windows, "C:\\src\\lib\\x.tar.gz", "C:\\src\\lib", "x.tar.gz", "x.tar", "gz"},
    PathCase{PathStyle::Windows, "C:\\a.b\\Makefile", "C:\\a.b", "Makefile", "Makefile", ""},
    PathCase{PathStyle::Windows, "C:\\src\\.profile", "C:\\src", ".profile", "", "profile"},
    PathCase{PathStyle::Windows, "C:\\src\\name.", "C:\\src", "name.", "name", ""},
    PathCase{PathStyle::Windows, "C:main.c", "C:", "main.c", "main", "c"},
    PathCase{PathStyle::Windows, "\\\\server\\share\\f.pas", "\\\\server\\share", "f.pas", "f", "pas"},
    PathCase{PathStyle::Windows, "main.c", "", "main.c", "main", "c"},
    PathCase{PathStyle::Windows, "C:\\src/x\\y.c", "C:\\src/x", "y.c", "y", "c"}));

INSTANTIATE_TEST_SUITE_P(Posix, PathArgumentsTest, ::testing::Values(
    PathCase{PathStyle::Posix, "/main.c", "/", "main.c", "main", "c"},
    PathCase{PathStyle::Posix, "/src/main.c", "/src", "main.c", "main", "c"},
    PathCase{PathStyle::Posix, "/home/u/x.tar.gz", "/home/u", "x.tar.gz", "x.tar", "gz"},
    PathCase{PathStyle::Posix, "/a.b/Makefile", "/a.b", "Makefile", "Makefile", ""},
    PathCase{PathStyle::Posix, "/src/a\\b.c", "/src", "a\\b.c", "a\\b", "c"},
    PathCase{PathStyle::Posix, "/src/C:x.c", "/src", "C:x.c", "C:x", "c"}));

TEST(PathArguments, DirectoryAndNameJoinToTheFullName) {
    const TemplateArguments windows = MakePathArguments("C:\\src\\main.c", PathStyle::Windows);
    EXPECT_EQ(ExpandTemplate("%1:s\\%2:s", windows), "C:\\src\\main.c");
    const TemplateArguments posix = MakePathArguments("/src/main.c", PathStyle::Posix);
    EXPECT_EQ(ExpandTemplate("%1:s/%2:s", posix), "/src/main.c");
}

}  // namespace
