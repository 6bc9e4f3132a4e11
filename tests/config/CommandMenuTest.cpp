#include "config/CommandMenu.h"

#include <gtest/gtest.h>

#include <cstring>

#include "config/CommandConfig.h"
#include "config/ConfigTestSupport.h"
#include "config/Dirs.h"
#include "plugin/farapi/KilnrunMsg.h"

#include "support/ListLines.h"
#include "support/TempFolder.h"

namespace {

std::unique_ptr<TStringList> ParsedList(std::initializer_list<const char *> lines, TCommandOptions &base) {
    auto list = std::make_unique<TStringList>();
    for (const char *line : lines) list->Append(line);
    ParseCommandList(base, *list);
    return list;
}

using support::LinesOf;

bool AllZero(const FarMenuItem &item, std::size_t fromTextIndex) {
    for (std::size_t i = fromTextIndex; i < sizeof(item.Text); ++i)
        if (item.Text[i] != '\0') return false;
    return item.Selected == 0 && item.Checked == 0;
}

class CommandMenuTest : public ::testing::Test {
protected:
    configtest::FakeHost host_;
    std::unique_ptr<TCommandOptions> base_ = TCommandOptions::Create();
};

TEST_F(CommandMenuTest, WithoutCommandsOnlyTheShowOutputItem) {
    auto merged = MergeCommandMenu(std::make_unique<TStringList>(), std::make_unique<TStringList>());
    EXPECT_EQ(LinesOf(*merged), (std::vector<std::string>{"Show output=1"}));
    std::vector<FarMenuItem> items = BuildCommandMenuItems(*merged);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_STREQ(items[0].Text, "Show output");
    EXPECT_EQ(items[0].Separator, 0);
}

TEST_F(CommandMenuTest, NullListsCountAsEmpty) {
    auto merged = MergeCommandMenu(nullptr, nullptr);
    EXPECT_EQ(LinesOf(*merged), (std::vector<std::string>{"Show output=1"}));
}

TEST_F(CommandMenuTest, ExtensionCommandsComeBeforeCommonOnes) {
    auto common = ParsedList({"#TOMENU=TRUE", "Build=make", "Run=./a.out"}, *base_);
    auto extension = ParsedList({"Compile=gcc -c %s"}, *base_);
    TCommandOptions *buildOptions = common->Object(0);
    TCommandOptions *compileOptions = extension->Object(0);

    auto merged = MergeCommandMenu(std::move(extension), std::move(common));
    EXPECT_EQ(LinesOf(*merged), (std::vector<std::string>{"Show output=1", "---", "Compile=gcc -c %s",
                                                        "Build=make", "Run=./a.out"}));
    EXPECT_EQ(merged->Object(0), nullptr);
    EXPECT_EQ(merged->Object(1), nullptr);
    EXPECT_EQ(merged->Object(2), compileOptions);
    EXPECT_EQ(merged->Object(3), buildOptions);
    EXPECT_TRUE(merged->Object(4)->ToMenu);
}

TEST_F(CommandMenuTest, SeparatorAlsoForCommandsOfOneFileOnly) {
    auto onlyCommon = MergeCommandMenu(std::make_unique<TStringList>(), ParsedList({"A=1"}, *base_));
    EXPECT_EQ(LinesOf(*onlyCommon), (std::vector<std::string>{"Show output=1", "---", "A=1"}));
    auto onlyExtension = MergeCommandMenu(ParsedList({"B=2"}, *base_), nullptr);
    EXPECT_EQ(LinesOf(*onlyExtension), (std::vector<std::string>{"Show output=1", "---", "B=2"}));
}

TEST_F(CommandMenuTest, ItemsShowNamesAndDashLinesAsSeparators) {
    auto merged = MergeCommandMenu(ParsedList({"Compile=gcc", "---", "Link=ld", "--- =x", "----"}, *base_),
                                   ParsedList({"---", "Run=./a.out"}, *base_));
    std::vector<FarMenuItem> items = BuildCommandMenuItems(*merged);
    struct Expected {
        const char *text;
        int separator;
    };
    const std::vector<Expected> expected{{"Show output", 0}, {"", -1}, {"Compile", 0}, {"", -1},
                                         {"Link", 0},        {"--- ", 0}, {"", 0},     {"", -1},
                                         {"Run", 0}};
    ASSERT_EQ(items.size(), expected.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_STREQ(items[i].Text, expected[i].text) << i;
        EXPECT_EQ(items[i].Separator, expected[i].separator) << i;
        EXPECT_TRUE(AllZero(items[i], std::strlen(items[i].Text))) << i;
    }
}

TEST_F(CommandMenuTest, ShowOutputTextWithEqualsShowsTheTextBeforeIt) {
    host_.messages[MsgShowOutput] = "Output=last";
    auto merged = MergeCommandMenu(ParsedList({"A=1"}, *base_), nullptr);
    EXPECT_EQ(merged->Text(0), "Output=last=1");
    EXPECT_STREQ(BuildCommandMenuItems(*merged)[0].Text, "Output");
}

TEST_F(CommandMenuTest, LongTitlesAreCutButTheLookupUsesTheWholeTitle) {
    std::string longTitle(200, 'T');
    std::string sameStart = longTitle.substr(0, 127) + "other";
    auto extension = std::make_unique<TStringList>();
    extension->Append(sameStart + "=wrong");
    extension->Append(longTitle + "=right");
    ParseCommandList(*base_, *extension);
    auto merged = MergeCommandMenu(std::move(extension), nullptr);

    std::vector<FarMenuItem> items = BuildCommandMenuItems(*merged);
    EXPECT_EQ(std::string(items[3].Text), longTitle.substr(0, 127));
    EXPECT_EQ(items[3].Text[127], '\0');
    EXPECT_EQ(CommandTemplate(*merged, 3), "right");
    EXPECT_EQ(CommandTemplate(*merged, 2), "wrong");
}

TEST_F(CommandMenuTest, TemplateLookup) {
    auto extension = ParsedList({"Build=make all", "#ASK=Target", "build=make other", "no title",
                                 "=from empty name", "Show Output=mine", "Empty=", "Mixed=a=b"},
                                *base_);
    auto merged = MergeCommandMenu(std::move(extension), ParsedList({"BUILD=common"}, *base_));
    // 0 show output, 1 separator, 2 Build, 3 build, 4 no title, 5 =..., 6 Show Output, 7 Empty,
    // 8 Mixed, 9 BUILD
    EXPECT_EQ(CommandTemplate(*merged, 0), "1");
    EXPECT_EQ(CommandTemplate(*merged, 2), "make all");
    // Titles that differ only in case run the template nearest the top, each with its own options.
    EXPECT_EQ(CommandTemplate(*merged, 3), "make all");
    EXPECT_EQ(CommandTemplate(*merged, 9), "make all");
    EXPECT_EQ(merged->Object(2)->Ask, "Target");
    EXPECT_EQ(merged->Object(3)->Ask, "");
    // No "=": an empty title, whose template is the first entry beginning with "=".
    EXPECT_EQ(CommandTemplate(*merged, 4), "from empty name");
    EXPECT_EQ(CommandTemplate(*merged, 5), "from empty name");
    // A command named like the first item gets that item's template.
    EXPECT_EQ(CommandTemplate(*merged, 6), "1");
    EXPECT_EQ(CommandTemplate(*merged, 7), "");
    EXPECT_EQ(CommandTemplate(*merged, 8), "a=b");
    EXPECT_EQ(CommandTemplate(*merged, 99), "");
}

TEST_F(CommandMenuTest, EmptyTitleWithoutAnyEqualsEntryHasNoTemplate) {
    auto merged = MergeCommandMenu(ParsedList({"just text"}, *base_), nullptr);
    EXPECT_EQ(CommandTemplate(*merged, 2), "");
}

TEST_F(CommandMenuTest, LineItemsKeepTheWholeTextAndNeverSeparate) {
    TStringList lines;
    lines.Append("main.c:12: error: x = y");
    lines.Append("---");
    lines.Append(std::string(300, 'L'));
    lines.Append("");
    std::vector<FarMenuItem> items = BuildLineMenuItems(lines);
    ASSERT_EQ(items.size(), 4u);
    EXPECT_STREQ(items[0].Text, "main.c:12: error: x = y");
    EXPECT_STREQ(items[1].Text, "---");
    EXPECT_EQ(std::string(items[2].Text), std::string(127, 'L'));
    EXPECT_STREQ(items[3].Text, "");
    for (const FarMenuItem &item : items) {
        EXPECT_EQ(item.Separator, 0);
        EXPECT_TRUE(AllZero(item, std::strlen(item.Text)));
    }
}

TEST_F(CommandMenuTest, ShowMenuMakesTheHostCallAsExpected) {
    TStringList lines;
    lines.Append("one");
    lines.Append("two");
    host_.menuAnswer = 1;
    EXPECT_EQ(ShowMenu("Output", BuildLineMenuItems(lines)), 1);
    ASSERT_EQ(host_.menus.size(), 1u);
    const configtest::FakeHost::ShownMenu &shown = host_.menus[0];
    EXPECT_EQ(shown.pluginNumber, 42);
    EXPECT_EQ(shown.x, -1);
    EXPECT_EQ(shown.y, -1);
    EXPECT_EQ(shown.maxHeight, 0);
    EXPECT_EQ(shown.flags, static_cast<std::uint32_t>(FMENU_AUTOHIGHLIGHT));
    EXPECT_EQ(shown.title, "Output");
    EXPECT_FALSE(shown.hasBottom);
    EXPECT_EQ(shown.helpTopic, "Contents");
    EXPECT_FALSE(shown.hasBreakKeys);
    ASSERT_EQ(shown.items.size(), 2u);
    EXPECT_EQ(shown.items[1].text, "two");
}

TEST_F(CommandMenuTest, ShowCommandMenuIsTitledAndReturnsTheChoice) {
    auto merged = MergeCommandMenu(ParsedList({"A=1", "B=2"}, *base_), nullptr);
    for (int answer : {-1, 0, 2, 3}) {
        host_.menuAnswer = answer;
        EXPECT_EQ(ShowCommandMenu(*merged), answer);
    }
    ASSERT_FALSE(host_.menus.empty());
    EXPECT_EQ(host_.menus[0].title, "Kilnrun");
    EXPECT_EQ(host_.menus[0].items.size(), 4u);
    EXPECT_EQ(host_.menus[0].items[1].separator, -1);
}

TEST_F(CommandMenuTest, AnswersOutsideTheListCountAsCancelled) {
    auto merged = MergeCommandMenu(ParsedList({"A=1"}, *base_), nullptr);
    for (int answer : {3, 100, -2, -1000}) {
        host_.menuAnswer = answer;
        EXPECT_EQ(ShowCommandMenu(*merged), -1) << answer;
    }
}

TEST_F(CommandMenuTest, OptionSetsLiveAndDieWithTheMergedList) {
    // Every option set is owned exactly once: the sanitizer build reports any leak or double free.
    auto common = ParsedList({"A=1", "B=2", "C=3"}, *base_);
    auto extension = ParsedList({"D=4"}, *base_);
    auto merged = MergeCommandMenu(std::move(extension), std::move(common));
    std::size_t withOptions = 0;
    for (std::size_t i = 0; i < merged->Count(); ++i)
        if (merged->Object(i) != nullptr) ++withOptions;
    EXPECT_EQ(withOptions, 4u);
    merged.reset();
}

TEST(CommandMenuReal, ReadMergeAndPickFromRealFiles) {
    support::TempFolder temp("config");
    std::string moduleDir = JoinPath(temp.Name(), "plugin");
    std::string typesDir = JoinPath(moduleDir, "Types");
    configtest::FakeHost host(JoinPath(moduleDir, "Kilnrun.dll"));
    support::WriteFile(JoinPath(typesDir, "AllFiles.ini"), "#TOMENU=TRUE\nBuild=make\n---\nclean=make clean\n");
    support::WriteFile(JoinPath(typesDir, "c.ini"), "#AUTOJUMP=TRUE\nClean=rm -f *.o\n");

    auto base = TCommandOptions::Create();
    CommandLists lists = ReadConfiguration(*base, JoinPath(temp.Name(), "main.c"));
    auto merged = MergeCommandMenu(std::move(lists.extension), std::move(lists.common));
    EXPECT_EQ(LinesOf(*merged), (std::vector<std::string>{"Show output=1", "---", "Clean=rm -f *.o",
                                                        "Build=make", "---", "clean=make clean"}));
    host.menuAnswer = 5;
    int chosen = ShowCommandMenu(*merged);
    ASSERT_EQ(chosen, 5);
    EXPECT_EQ(CommandTemplate(*merged, 5), "rm -f *.o");
    EXPECT_FALSE(merged->Object(5)->AutoJump);
    EXPECT_TRUE(merged->Object(2)->AutoJump);
    EXPECT_EQ(host.menus[0].items[4].separator, -1);
}

}  // namespace
