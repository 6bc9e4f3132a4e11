#include "config/CommandConfig.h"

#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>

#include "config/ConfigTestSupport.h"
#include "config/Dirs.h"

#include "support/Failure.h"
#include "support/ListLines.h"
#include "support/TempFolder.h"

namespace {

TStringList ListOf(std::initializer_list<const char *> lines) {
    TStringList list;
    for (const char *line : lines) list.Append(line);
    return list;
}

using support::LinesOf;

// --- Integers -----------------------------------------------------------------------------

struct IntegerCase {
    std::string text;
    std::int32_t value;
};

class ValidIntegers : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(ValidIntegers, Convert) { EXPECT_EQ(ParseConfigInteger(GetParam().text), GetParam().value); }

INSTANTIATE_TEST_SUITE_P(
    Forms, ValidIntegers,
    ::testing::Values(IntegerCase{"0", 0}, IntegerCase{"7", 7}, IntegerCase{"0012", 12},
                      IntegerCase{"+3", 3}, IntegerCase{"-1", -1}, IntegerCase{"   42", 42},
                      IntegerCase{"  -5", -5}, IntegerCase{"2147483647", INT_MAX},
                      IntegerCase{"-2147483648", INT_MIN}, IntegerCase{"$1F", 31},
                      IntegerCase{"$1f", 31}, IntegerCase{"x10", 16}, IntegerCase{"X10", 16},
                      IntegerCase{"0x10", 16}, IntegerCase{"0X10", 16}, IntegerCase{"-$10", -16},
                      IntegerCase{"+0x10", 16}, IntegerCase{"$7FFFFFFF", INT_MAX},
                      IntegerCase{"$80000000", INT_MIN}, IntegerCase{"$FFFFFFFF", -1},
                      IntegerCase{"$000000001", 1}, IntegerCase{"-$FFFFFFFF", 1}));

class InvalidIntegers : public ::testing::TestWithParam<std::string> {};

TEST_P(InvalidIntegers, FailWithTheValueInTheMessage) {
    EXPECT_EQ(support::FailureOf([&] { ParseConfigInteger(GetParam()); }), "'" + GetParam() + "' is not a valid integer value");
}

INSTANTIATE_TEST_SUITE_P(
    Forms, InvalidIntegers,
    ::testing::Values("", " ", "1 ", "1\t", "\t1", "12a", "a12", "+", "-", "--1", "+-1", "- 1", "$",
                      "0x", "x", "$G", "0x1g", "1.5", "1e3", "2147483648", "-2147483649",
                      "99999999999999999999", "$100000000", "0x123456789", "1,000", "٣"));

// --- Directives and scoping ---------------------------------------------------------------

TEST(ParseCommandList, ScopingAcrossTheCommonAndTheExtensionFile) {
    auto base = TCommandOptions::Create();
    TStringList common = ListOf({"#TOMENU=TRUE", "Build=make", "#SAVE=FALSE", "Run=./a.out"});
    TStringList extension = ListOf({"#AUTOJUMP=TRUE", "Compile=gcc -c %s"});
    ParseCommandList(*base, common);
    ParseCommandList(*base, extension);

    ASSERT_EQ(LinesOf(common), (std::vector<std::string>{"Build=make", "Run=./a.out"}));
    ASSERT_EQ(LinesOf(extension), (std::vector<std::string>{"Compile=gcc -c %s"}));
    const TCommandOptions &build = *common.Object(0);
    const TCommandOptions &run = *common.Object(1);
    const TCommandOptions &compile = *extension.Object(0);
    EXPECT_TRUE(build.ToMenu);
    EXPECT_FALSE(build.Save);
    EXPECT_FALSE(build.AutoJump);
    EXPECT_TRUE(run.ToMenu);
    EXPECT_TRUE(run.Save);
    EXPECT_FALSE(run.AutoJump);
    EXPECT_TRUE(compile.ToMenu);
    EXPECT_TRUE(compile.Save);
    EXPECT_TRUE(compile.AutoJump);
    // The base holds what the leading directives of both files said.
    EXPECT_TRUE(base->ToMenu);
    EXPECT_TRUE(base->AutoJump);
    EXPECT_TRUE(base->Save);
}

/// One line for every directive, each setting its field away from the default.
constexpr const char *kEveryDirective[] = {"#SAVE=false",      "#TOMENU=true",     "#REGEXP=^(\\w+):(\\d+)",
                                           "#LINEMATCH=2",     "#COLUMNMATCH=-1",  "#FILEMATCH=$3",
                                           "#CDFILEDIR=FALSE", "#AUTOJUMP=True",   "#ASK=Arguments:",
                                           "#AUTOEXIT=TRUE"};

/// Checks that `options` holds what the lines of kEveryDirective say.
void ExpectEveryDirective(const TCommandOptions &options) {
    EXPECT_FALSE(options.Save);
    EXPECT_TRUE(options.ToMenu);
    EXPECT_EQ(options.RegExp, "^(\\w+):(\\d+)");
    EXPECT_EQ(options.LineMatch, 2);
    EXPECT_EQ(options.ColumnMatch, -1);
    EXPECT_EQ(options.FileMatch, 3);
    EXPECT_FALSE(options.CdFileDir);
    EXPECT_TRUE(options.AutoJump);
    EXPECT_EQ(options.Ask, "Arguments:");
    EXPECT_TRUE(options.AutoExit);
}

TEST(ParseCommandList, EveryDirectiveSetsItsField) {
    auto base = TCommandOptions::Create();
    TStringList list = ListOf({"Cmd=x"});
    for (const char *line : kEveryDirective) list.Append(line);
    ParseCommandList(*base, list);
    ASSERT_EQ(list.Count(), 1u);
    ExpectEveryDirective(*list.Object(0));
    // A directive below a command leaves the base alone.
    EXPECT_EQ(base->RegExp, TCommandOptions().RegExp);
    EXPECT_TRUE(base->Save);
}

struct TrueCase {
    std::string value;
    bool result;
};

class TrueTest : public ::testing::TestWithParam<TrueCase> {};

TEST_P(TrueTest, OnlyTheWordTrueInAnyCase) {
    auto base = TCommandOptions::Create();
    base->AutoExit = !GetParam().result;
    TStringList list;
    list.Append("#AUTOEXIT=" + GetParam().value);
    ParseCommandList(*base, list);
    EXPECT_EQ(base->AutoExit, GetParam().result);
    EXPECT_EQ(IsTrueValue(GetParam().value), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Values, TrueTest,
                         ::testing::Values(TrueCase{"TRUE", true}, TrueCase{"true", true},
                                           TrueCase{"tRuE", true}, TrueCase{" TRUE", false},
                                           TrueCase{"TRUE ", false}, TrueCase{"1", false},
                                           TrueCase{"yes", false}, TrueCase{"", false},
                                           TrueCase{"TRUEX", false}, TrueCase{"FALSE", false}));

TEST(ParseCommandList, DirectiveNamesAreCaseBlindAndExact) {
    auto base = TCommandOptions::Create();
    TStringList list = ListOf({"#save=false", "#ToMenu=true", "#autojump =TRUE", "#", "#=x",
                               "#UNKNOWN=1", "#LINEMATCH2=7", " #CDFILEDIR=FALSE", "Last=y"});
    ParseCommandList(*base, list);
    EXPECT_FALSE(base->Save);
    EXPECT_TRUE(base->ToMenu);
    EXPECT_FALSE(base->AutoJump);  // the blank before "=" makes a name of no directive
    EXPECT_EQ(base->LineMatch, 1);
    EXPECT_TRUE(base->CdFileDir);
    // A blank before "#" makes a command whose title begins with it; "#" lines without "=" are
    // commands too, since their name is empty.
    EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"#", " #CDFILEDIR=FALSE", "Last=y"}));
    EXPECT_EQ(list.Name(1), " #CDFILEDIR");
}

TEST(ParseCommandList, EveryRemainingLineIsACommandWithItsOwnOptions) {
    auto base = TCommandOptions::Create();
    TStringList list = ListOf({"", "; a comment", "---", "no equals", "=template only", "a=b=c"});
    ParseCommandList(*base, list);
    ASSERT_EQ(list.Count(), 6u);
    for (std::size_t i = 0; i < list.Count(); ++i) {
        ASSERT_NE(list.Object(i), nullptr) << i;
        EXPECT_NE(list.Object(i), base.get());
        for (std::size_t j = 0; j < i; ++j) EXPECT_NE(list.Object(i), list.Object(j));
    }
    EXPECT_EQ(list.Name(0), "");
    EXPECT_EQ(list.Value(0), "");
}

TEST(ParseCommandList, TextValuesKeepEveryEqualsAndBlank) {
    auto base = TCommandOptions::Create();
    TStringList list = ListOf({"#REGEXP=^(?:a=b) (\\d+)=", "#ASK= Name = ? "});
    ParseCommandList(*base, list);
    EXPECT_EQ(base->RegExp, "^(?:a=b) (\\d+)=");
    EXPECT_EQ(base->Ask, " Name = ? ");
    EXPECT_TRUE(list.Empty());
}

TEST(ParseCommandList, OnlyDirectivesChangeTheBaseAndLeaveNoCommands) {
    auto base = TCommandOptions::Create();
    TStringList list = ListOf({"#TOMENU=TRUE", "#LINEMATCH=3", "#LINEMATCH=4"});
    ParseCommandList(*base, list);
    EXPECT_TRUE(list.Empty());
    EXPECT_TRUE(base->ToMenu);
    EXPECT_EQ(base->LineMatch, 4);  // the last setting wins
}

TEST(ParseCommandList, ACommandCopiesTheBaseNotTheCommandAbove) {
    auto base = TCommandOptions::Create();
    TStringList list = ListOf({"A=1", "#ASK=for A", "B=2", "#SAVE=FALSE"});
    ParseCommandList(*base, list);
    EXPECT_EQ(list.Object(0)->Ask, "for A");
    EXPECT_TRUE(list.Object(0)->Save);
    EXPECT_EQ(list.Object(1)->Ask, "");
    EXPECT_FALSE(list.Object(1)->Save);
    base->Ask = "later";
    EXPECT_EQ(list.Object(1)->Ask, "");  // a copy, not a reference
}

TEST(ParseCommandList, ACommandTakesEveryDirectiveAboveItAsItsOwn) {
    auto base = TCommandOptions::Create();
    TStringList list;
    for (const char *line : kEveryDirective) list.Append(line);
    list.Append("Cmd=x");
    ParseCommandList(*base, list);
    ASSERT_EQ(list.Count(), 1u);
    const TCommandOptions &options = *list.Object(0);
    ExpectEveryDirective(options);
    base->RegExp = "changed";
    base->Ask = "changed";
    EXPECT_EQ(options.RegExp, "^(\\w+):(\\d+)");
    EXPECT_EQ(options.Ask, "Arguments:");
}

class InvalidIntegerDirective : public ::testing::TestWithParam<const char *> {};

TEST_P(InvalidIntegerDirective, EndsParsingWithTheMessage) {
    auto base = TCommandOptions::Create();
    TStringList list;
    list.Append("Build=make");
    list.Append(std::string(GetParam()) + "=12 ");
    try {
        ParseCommandList(*base, list);
        FAIL() << "no error";
    } catch (const std::runtime_error &error) {
        EXPECT_STREQ(error.what(), "'12 ' is not a valid integer value");
    }
}

INSTANTIATE_TEST_SUITE_P(Directives, InvalidIntegerDirective,
                         ::testing::Values("#LINEMATCH", "#COLUMNMATCH", "#filematch"));

TEST(ParseCommandList, EmptyIntegerValueFails) {
    auto base = TCommandOptions::Create();
    TStringList list = ListOf({"#LINEMATCH="});
    EXPECT_THROW(ParseCommandList(*base, list), std::runtime_error);
}

// --- Reading the files --------------------------------------------------------------------

// A module folder with its "Types" beside it and a folder for edited files, all real files.
class ReadConfigurationTest : public ::testing::Test {
protected:
    ReadConfigurationTest()
        : moduleDir_(JoinPath(temp_.Name(), "plugin")),
          sourceDir_(JoinPath(temp_.Name(), "src")),
          host_(JoinPath(moduleDir_, "Kilnrun.dll")) {}

    std::string TypesName(const std::string &name) const { return JoinPath(JoinPath(moduleDir_, "Types"), name); }
    std::string SourceName(const std::string &name) const { return JoinPath(sourceDir_, name); }
    static void Write(const std::string &fullName, const std::string &bytes) {
        support::WriteFile(fullName, bytes);
    }

    support::TempFolder temp_{"config"};
    std::string moduleDir_;
    std::string sourceDir_;
    configtest::FakeHost host_;
    std::unique_ptr<TCommandOptions> base_ = TCommandOptions::Create();
};

TEST_F(ReadConfigurationTest, NoFilesAndNoTypesFolderGiveTwoEmptyLists) {
    CommandLists lists = ReadConfiguration(*base_, SourceName("main.c"));
    ASSERT_NE(lists.common, nullptr);
    ASSERT_NE(lists.extension, nullptr);
    EXPECT_TRUE(lists.common->Empty());
    EXPECT_TRUE(lists.extension->Empty());
}

TEST_F(ReadConfigurationTest, ReadsTheCommonFileFirstAndTheTypesExtensionFile) {
    Write(TypesName("AllFiles.ini"), "#TOMENU=TRUE\r\nBuild=make\r\n");
    Write(TypesName("c.ini"), "Compile=gcc -c %s\n#SAVE=false\n");
    CommandLists lists = ReadConfiguration(*base_, SourceName("main.c"));
    EXPECT_EQ(LinesOf(*lists.common), (std::vector<std::string>{"Build=make"}));
    EXPECT_EQ(LinesOf(*lists.extension), (std::vector<std::string>{"Compile=gcc -c %s"}));
    EXPECT_TRUE(lists.extension->Object(0)->ToMenu);  // the common file's leading directive
    EXPECT_FALSE(lists.extension->Object(0)->Save);
    EXPECT_TRUE(lists.common->Object(0)->Save);
}

TEST_F(ReadConfigurationTest, AFileBesideTheEditedFileHidesTheTypesOne) {
    Write(TypesName("pas.ini"), "FromTypes=1\n");
    Write(SourceName("pas.ini"), "FromSource=1\n");
    CommandLists lists = ReadConfiguration(*base_, SourceName("unit1.pas"));
    EXPECT_EQ(LinesOf(*lists.extension), (std::vector<std::string>{"FromSource=1"}));
}

TEST_F(ReadConfigurationTest, ExtensionCaseIsKeptInTheFileName) {
    Write(TypesName("PAS.ini"), "Upper=1\n");
    CommandLists lists = ReadConfiguration(*base_, SourceName("unit1.PAS"));
    EXPECT_EQ(LinesOf(*lists.extension), (std::vector<std::string>{"Upper=1"}));
}

TEST_F(ReadConfigurationTest, AFileWithoutExtensionLooksForDotIni) {
    Write(TypesName(".ini"), "Make=make\n");
    CommandLists fromTypes = ReadConfiguration(*base_, SourceName("Makefile"));
    EXPECT_EQ(LinesOf(*fromTypes.extension), (std::vector<std::string>{"Make=make"}));

    Write(SourceName(".ini"), "Local=make -C .\n");
    CommandLists beside = ReadConfiguration(*base_, SourceName("Makefile"));
    EXPECT_EQ(LinesOf(*beside.extension), (std::vector<std::string>{"Local=make -C ."}));
}

TEST_F(ReadConfigurationTest, ADotInTheFolderNameIsNoExtension) {
    std::string dottedDir = JoinPath(temp_.Name(), "my.project");
    Write(TypesName(".ini"), "NoExtension=1\n");
    Write(TypesName("project.ini"), "Wrong=1\n");
    CommandLists lists = ReadConfiguration(*base_, JoinPath(dottedDir, "README"));
    EXPECT_EQ(LinesOf(*lists.extension), (std::vector<std::string>{"NoExtension=1"}));
}

TEST_F(ReadConfigurationTest, DirectoriesOfTheSameNameDoNotCount) {
    std::filesystem::create_directories(TypesName("AllFiles.ini"));
    std::filesystem::create_directories(SourceName("c.ini"));
    Write(TypesName("c.ini"), "FromTypes=1\n");
    CommandLists lists = ReadConfiguration(*base_, SourceName("main.c"));
    EXPECT_TRUE(lists.common->Empty());
    EXPECT_EQ(LinesOf(*lists.extension), (std::vector<std::string>{"FromTypes=1"}));
}

TEST_F(ReadConfigurationTest, EmptyLinesAndFinalLineEnds) {
    Write(TypesName("c.ini"), "A=1\n\nB=2\n");
    CommandLists lists = ReadConfiguration(*base_, SourceName("main.c"));
    EXPECT_EQ(LinesOf(*lists.extension), (std::vector<std::string>{"A=1", "", "B=2"}));
}

TEST_F(ReadConfigurationTest, InvalidIntegerEndsTheReading) {
    Write(SourceName("c.ini"), "#LINEMATCH=1x\nBuild=gcc %s\n");
    try {
        ReadConfiguration(*base_, SourceName("main.c"));
        FAIL() << "no error";
    } catch (const std::runtime_error &error) {
        EXPECT_STREQ(error.what(), "'1x' is not a valid integer value");
    }
}

// A file that exists but cannot be read: root reads anything here, so the platform says so.
class UnreadablePlatform : public configtest::DelegatingPlatform {
public:
    explicit UnreadablePlatform(std::string name) : name_(std::move(name)) {}
    bool ReadWholeFile(const std::string &path, std::string &bytes) override {
        if (path == name_) return false;
        return configtest::DelegatingPlatform::ReadWholeFile(path, bytes);
    }

private:
    std::string name_;
};

TEST_F(ReadConfigurationTest, AFileThatCannotBeReadFailsWithItsFullName) {
    Write(TypesName("AllFiles.ini"), "Build=make\n");
    Write(TypesName("c.ini"), "Compile=gcc\n");
    for (const std::string &unreadable : {TypesName("AllFiles.ini"), TypesName("c.ini")}) {
        UnreadablePlatform fake(unreadable);
        platform::ScopedPlatform installed(fake);
        try {
            ReadConfiguration(*base_, SourceName("main.c"));
            ADD_FAILURE() << "no error for " << unreadable;
        } catch (const std::runtime_error &error) {
            EXPECT_EQ(std::string(error.what()), "Cannot open file " + unreadable);
        }
    }
}

}  // namespace
