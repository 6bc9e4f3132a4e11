// Output store, editor table, title saver, error-line parsing and going to the position.
#include <gtest/gtest.h>

#include <stdexcept>

#include "navigate/GoToError.h"
#include "navigate/OutputStore.h"
#include "navigate/ParseErrorLine.h"
#include "platform/Platform.h"
#include "plugin/farapi/FARUtils.h"
#include "support/FakeHost.h"
#include "support/ForwardingPlatform.h"

using testing_host::FakeHost;

namespace {

// The console title kept in memory: the saver's bookkeeping is what these tests check, on every
// build (a console under Wine may have no title at all).
class TitlePlatform : public support::ForwardingPlatform {
public:
    std::optional<std::string> ReadConsoleTitle(std::size_t capacity) override {
        return title.substr(0, capacity > 0 ? capacity - 1 : 0);
    }
    bool WriteConsoleTitle(const std::string &text) override {
        title = text;
        return true;
    }
    std::string title;
};

struct IntegerCase {
    const char *text;
    bool ok;
    std::int32_t value;
};

class PositionIntegerTest : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(PositionIntegerTest, ConvertsOrRefuses) {
    const IntegerCase &c = GetParam();
    if (c.ok) {
        EXPECT_EQ(PositionInteger(c.text), c.value) << c.text;
    } else {
        try {
            PositionInteger(c.text);
            FAIL() << "accepted '" << c.text << "'";
        } catch (const std::runtime_error &failure) {
            EXPECT_EQ(std::string(failure.what()), "'" + std::string(c.text) + "' is not a valid integer value");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, PositionIntegerTest, ::testing::Values(
    IntegerCase{"42", true, 42}, IntegerCase{"  42", true, 42}, IntegerCase{"+7", true, 7},
    IntegerCase{"-7", true, -7}, IntegerCase{"04", true, 4}, IntegerCase{"0", true, 0},
    IntegerCase{"2147483647", true, 2147483647}, IntegerCase{"-2147483648", true, INT32_MIN},
    IntegerCase{"2147483648", false, 0}, IntegerCase{"-2147483649", false, 0},
    IntegerCase{"99999999999999999999", false, 0},
    IntegerCase{"$1F", true, 31}, IntegerCase{"x1f", true, 31}, IntegerCase{"X10", true, 16},
    IntegerCase{"0x10", true, 16}, IntegerCase{"0X10", true, 16}, IntegerCase{"$FFFFFFFF", true, -1},
    IntegerCase{"$80000000", true, INT32_MIN}, IntegerCase{"$000000001", true, 1},
    IntegerCase{"$100000000", false, 0}, IntegerCase{"$", false, 0}, IntegerCase{"0x", false, 0},
    IntegerCase{"-$1", false, 0}, IntegerCase{"", false, 0}, IntegerCase{"   ", false, 0},
    IntegerCase{"12 ", false, 0}, IntegerCase{"1a", false, 0}, IntegerCase{"abc", false, 0},
    IntegerCase{"\t12", false, 0}, IntegerCase{"+", false, 0}, IntegerCase{"$G", false, 0}));

TEST(FirstNonBlankColumn, SkipsTabsAndSpacesButNeverPassesTheEnd) {
    EXPECT_EQ(FirstNonBlankColumn(""), 1);
    EXPECT_EQ(FirstNonBlankColumn("x"), 1);
    EXPECT_EQ(FirstNonBlankColumn("  \tx = 1"), 4);
    EXPECT_EQ(FirstNonBlankColumn("   "), 3);
}

TEST(EditorFileTable, ExistsOnlyWhileItHasEntries) {
    EditorFileTable table;
    table.RemoveEditorFile(3);  // nothing recorded: nothing happens
    EXPECT_FALSE(table.Exists());
    table.SetEditorFile(1, "/a/x.c");
    table.SetEditorFile(2, "/a/x.c");  // two editors on the same file keep two entries
    table.SetEditorFile(1, "/a/y.c");  // saved under a new name
    EXPECT_EQ(table.Count(), 2u);
    EXPECT_EQ(table.EditorFile(1), "/a/y.c");
    EXPECT_EQ(table.EditorFile(9), "");
    table.RemoveEditorFile(1);
    table.RemoveEditorFile(2);
    EXPECT_FALSE(table.Exists());
    EXPECT_EQ(table.EditorFile(2), "");
}

TEST(OutputStore, ReleaseDropsEverything) {
    OutputStore store;
    auto lines = std::make_unique<TStringList>();
    lines->Append("");
    store.StoreOutput(std::move(lines), 5, "gcc x.c", TCommandOptions::Create(), "/w");
    ASSERT_NE(store.Lines(), nullptr);  // an empty run still stores its one empty line
    EXPECT_EQ(store.EditorId(), 5);
    EXPECT_EQ(store.RunFolder(), "/w");
    store.StoreOutput(nullptr, 6, "run", TCommandOptions::Create(), "/v");  // a visible run: no lines
    EXPECT_EQ(store.Lines(), nullptr);
    EXPECT_EQ(store.RunFolder(), "/v");
    store.ReleaseOutput();
    EXPECT_EQ(store.EditorId(), 0);
    EXPECT_EQ(store.CommandLine(), "");
    EXPECT_EQ(store.Options(), nullptr);
    EXPECT_EQ(store.RunFolder(), "");
}

TEST(ConsoleTitleSaver, RestoresOnceAndOnlyWhatItSaved) {
    TitlePlatform titles;
    platform::ScopedPlatform installed(titles);
    platform::Platform &system = platform::Current();
    ConsoleTitleSaver saver;
    EXPECT_FALSE(saver.RestoreConsoleTitle());  // nothing held: the title is left alone
    system.WriteConsoleTitle("before");
    EXPECT_TRUE(saver.SaveConsoleTitle());
    system.WriteConsoleTitle("during");
    EXPECT_TRUE(saver.RestoreConsoleTitle());
    EXPECT_EQ(system.ReadConsoleTitle(511).value_or(""), "before");
    EXPECT_FALSE(saver.RestoreConsoleTitle());
}

struct ParseCase {
    const char *regexp;
    std::int32_t lineMatch, columnMatch, fileMatch;
    const char *line;
    const char *file;
    std::int32_t expectedLine, expectedColumn;
};

class ParseErrorLineTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseErrorLineTest, ReadsThePosition) {
    const ParseCase &c = GetParam();
    TCommandOptions options;
    options.RegExp = c.regexp;
    options.LineMatch = c.lineMatch;
    options.ColumnMatch = c.columnMatch;
    options.FileMatch = c.fileMatch;
    ErrorPosition position = ParseErrorLine(c.line, options);
    EXPECT_EQ(position.fileName, c.file) << c.line;
    EXPECT_EQ(position.line, c.expectedLine) << c.line;
    EXPECT_EQ(position.column, c.expectedColumn) << c.line;
}

const char *kGcc = "^(.+?):(\\d+):(\\d+):";

INSTANTIATE_TEST_SUITE_P(Lines, ParseErrorLineTest, ::testing::Values(
    ParseCase{"^.*?(\\d+)", 1, 0, 0, "main.c:42: error", "", 42, 0},
    ParseCase{"^.*?(\\d+)", 1, 0, 0, "lib2.c:42: error", "", 2, 0},  // the lazy prefix stops early
    ParseCase{"^.*?(\\d+)", 1, 0, 0, "no digits here", "", 0, 0},
    ParseCase{kGcc, 2, 3, 1, "src/a.c:12:5: error: x", "src/a.c", 12, 5},
    ParseCase{kGcc, 0, 3, 1, "src/a.c:12:5: error: x", "src/a.c", 0, 5},   // LineMatch 0: never found
    ParseCase{kGcc, 4, 3, 1, "src/a.c:12:5: error: x", "src/a.c", 0, 5},   // above the highest group
    ParseCase{kGcc, 2, -1, 1, "src/a.c:12:5: error: x", "src/a.c", 12, -1},  // -1 passes through
    ParseCase{kGcc, 2, 15, 16, "src/a.c:12:5: error: x", "", 12, 0},       // above 14: never satisfied
    ParseCase{"^(x)?(\\d+)", 2, 0, 0, "12", "", 12, 0}));                  // an unset lower group

TEST(ParseErrorLine, NonIntegerGroupAndBadExpressionThrow) {
    TCommandOptions options;
    options.RegExp = "^(\\w+):";
    EXPECT_THROW(
        {
            try {
                ParseErrorLine("abc: x", options);
            } catch (const std::runtime_error &failure) {
                EXPECT_STREQ(failure.what(), "'abc' is not a valid integer value");
                throw;
            }
        },
        std::runtime_error);
    options.RegExp = "(a";
    EXPECT_THROW(ParseErrorLine("a", options), std::exception);
    options.RegExp = "";
    try {
        ParseErrorLine("a", options);
        FAIL();
    } catch (const std::exception &failure) {
        EXPECT_STREQ(failure.what(), "TRegExpr(exec): Not Assigned Expression Property");
    }
}

// The folder the stored command ran in and the edited file in it, in the platform's notation.
const bool kWindows = platform::NativePathStyle() == platform::PathStyle::Windows;
const std::string kRunFolder = kWindows ? "C:\\w\\src" : "/w/src";
const std::string kEditedFile = kWindows ? "C:\\w\\src\\main.c" : "/w/src/main.c";

// Going to the position, against the fake host.
class JumpTest : public ::testing::Test {
protected:
    void SetUp() override {
        far::SetStartupInfo(&host.StartupInfo());
        auto &editor = host.AddEditor(7, kEditedFile);
        for (int i = 0; i < 40; ++i) editor.lines.push_back(i == 4 ? "\t  int x;" : "line");
        TheEditorFileTable().SetEditorFile(7, kEditedFile);
    }
    void TearDown() override {
        TheEditorFileTable().RemoveEditorFile(7);
        TheOutputStore().ReleaseOutput();
        far::ResetStartupInfo();
    }
    void Store(std::vector<std::string> lines, bool autoJump, bool autoExit) {
        auto list = std::make_unique<TStringList>();
        for (auto &line : lines) list->Append(line);
        auto options = TCommandOptions::Create();
        options->RegExp = kGcc;
        options->LineMatch = 2;
        options->ColumnMatch = 3;
        options->FileMatch = 1;
        options->AutoJump = autoJump;
        options->AutoExit = autoExit;
        TheOutputStore().StoreOutput(std::move(list), 7, "gcc main.c", std::move(options), kRunFolder);
    }
    FakeHost host;
};

TEST_F(JumpTest, TopLineAndLeftPositionFollowTheTarget) {
    JumpToError("", "out", 5, 80);
    JumpToError("", "out", 25, 3);
    ASSERT_EQ(host.positions.size(), 2u);
    EXPECT_EQ(host.positions[0].TopScreenLine, 0);
    EXPECT_EQ(host.positions[0].LeftPos, 40);
    EXPECT_EQ(host.positions[0].CurLine, 4);
    EXPECT_EQ(host.positions[0].CurPos, 79);
    EXPECT_EQ(host.positions[0].CurTabPos, -1);
    EXPECT_EQ(host.positions[0].Overtype, -1);
    EXPECT_EQ(host.positions[1].TopScreenLine, 15);
    EXPECT_EQ(host.positions[1].LeftPos, 0);
}

TEST_F(JumpTest, ColumnRules) {
    host.Current().curLine = 2;
    host.Current().curPos = 6;
    JumpToError("", "out", 3, 0);   // the cursor's own line keeps its column
    JumpToError("", "out", 9, 0);   // another line: column 1
    JumpToError("", "out", 5, -1);  // first non-blank of "\t  int x;"
    ASSERT_EQ(host.positions.size(), 3u);
    EXPECT_EQ(host.positions[0].CurPos, 6);
    EXPECT_EQ(host.positions[1].CurPos, 0);
    EXPECT_EQ(host.positions[2].CurPos, 3);
}

TEST_F(JumpTest, TailMatchDecidesTheEditor) {
    EXPECT_TRUE(IsCurrentFile("MAIN.C"));
    EXPECT_TRUE(IsCurrentFile("ain.c"));   // no separator needed before the tail
    EXPECT_FALSE(IsCurrentFile("/x/w/src/main.c"));
    JumpToError("other.c", "other.c:3:0: error", 3, 0);
    EXPECT_EQ(host.calls.back(), "Editor other.c title=other.c:3:0: error flags=1 at 3:1");
    EXPECT_TRUE(host.positions.empty());
}

// Relative names start from the folder the command ran in; the joined name decides the editor.
TEST_F(JumpTest, RelativeNamesStartFromTheRunFolder) {
    Store({"x"}, false, false);
    JumpToError("./main.c", "./main.c:2:1: a", 2, 1);
    JumpToError("MAIN.C", "MAIN.C:3:1: b", 3, 1);
    ASSERT_EQ(host.positions.size(), 2u);
    EXPECT_EQ(host.positions[1].CurLine, 2);

    JumpToError("../inc/x.h", "../inc/x.h:4:2: c", 4, 2);
    const std::string header = kWindows ? "C:\\w\\inc\\x.h" : "/w/inc/x.h";
    EXPECT_EQ(host.calls.back(), "Editor " + header + " title=../inc/x.h:4:2: c flags=1 at 4:2");

    const std::string absolute = kWindows ? "D:\\other\\main.c" : "/other/main.c";
    JumpToError(absolute, "abs", 1, 1);  // used as it stands, and not the edited file
    EXPECT_EQ(host.calls.back(), "Editor " + absolute + " title=abs flags=1 at 1:1");
    EXPECT_EQ(host.positions.size(), 2u);
}

TEST_F(JumpTest, JumpInTheCurrentEditorShowsTheLineAsTitleUntilRestored) {
    TitlePlatform titles;
    platform::ScopedPlatform installed(titles);
    platform::Current().WriteConsoleTitle("far");
    JumpToError("main.c", "main.c:2:1: boom", 2, 1);
    EXPECT_EQ(platform::Current().ReadConsoleTitle(511).value_or(""), "main.c:2:1: boom");
    EXPECT_TRUE(TheConsoleTitleSaver().RestoreConsoleTitle());
    EXPECT_EQ(platform::Current().ReadConsoleTitle(511).value_or(""), "far");
}

TEST_F(JumpTest, NothingStoredShowsTheNoOutputBox) {
    GoToError(true, true);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].items, (std::vector<std::string>{"Error", "No output", "Ok"}));
    EXPECT_EQ(host.boxes[0].flags, FMSG_WARNING);
    EXPECT_EQ(host.boxes[0].helpTopic, "Contents");
}

TEST_F(JumpTest, AutomaticModeJumpsToTheFirstPosition) {
    Store({"In file main.c:", "main.c:12:5: error: a", "main.c:20:1: error: b"}, true, true);
    GoToError(false, false);
    ASSERT_EQ(host.positions.size(), 1u);
    EXPECT_EQ(host.positions[0].CurLine, 11);
    EXPECT_EQ(host.positions[0].CurPos, 4);
    EXPECT_TRUE(host.menus.empty());
}

TEST_F(JumpTest, AutoExitClosesOnlyWhenNothingFoundAndNotSuppressed) {
    Store({"all good", ""}, true, true);
    GoToError(false, true);
    EXPECT_TRUE(host.calls.empty() || host.calls.back() != "Quit");
    GoToError(true, false);  // manual mode never closes
    EXPECT_TRUE(host.calls.empty() || host.calls.back() != "Quit");
    GoToError(false, false);
    ASSERT_FALSE(host.calls.empty());
    EXPECT_EQ(host.calls.back(), "Quit");
}

TEST_F(JumpTest, MenuModeShowsEveryLineAndJumpsToTheChosenOne) {
    Store({"---", "main.c:12:5: error: a", "main.c:20:1: error: b"}, false, false);
    host.menuAnswers.push_back(2);
    GoToError(false, false);
    ASSERT_EQ(host.menus.size(), 1u);
    EXPECT_EQ(host.menus[0].title, "gcc main.c");
    ASSERT_EQ(host.menus[0].items.size(), 3u);
    EXPECT_STREQ(host.menus[0].items[0].Text, "---");
    EXPECT_EQ(host.menus[0].items[0].Separator, 0);  // output lines are never separators
    ASSERT_EQ(host.positions.size(), 1u);
    EXPECT_EQ(host.positions[0].CurLine, 19);
}

TEST_F(JumpTest, CancelledMenuStillRunsTheExpressionOnce) {
    Store({"main.c:12:5: error: a"}, false, false);
    auto options = TheOutputStore().Options()->Clone();
    options->RegExp = "(";  // does not compile: reported even when the menu is cancelled
    auto lines = std::make_unique<TStringList>();
    lines->Append("x");
    TheOutputStore().StoreOutput(std::move(lines), 7, "cmd", std::move(options), kRunFolder);
    EXPECT_THROW(GoToError(true, true), std::exception);
    EXPECT_TRUE(host.positions.empty());
}

}  // namespace
