#include "config/TStringList.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/ListLines.h"

namespace {

using support::LinesOf;

struct LoadCase {
    const char *label;
    std::string bytes;
    std::vector<std::string> lines;
};

class LoadFromBytes : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadFromBytes, SplitsIntoLines) {
    TStringList list;
    list.LoadFromBytes(GetParam().bytes);
    EXPECT_EQ(LinesOf(list), GetParam().lines);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    LineRules, LoadFromBytes,
    ::testing::Values(
        LoadCase{"EmptyFile", "", {}},
        LoadCase{"OnlyLineFeed", "\n", {""}},
        LoadCase{"OnlyCrLf", "\r\n", {""}},
        LoadCase{"NoFinalLineEnd", "a\nb", {"a", "b"}},
        LoadCase{"FinalLineEndAddsNoLine", "a\nb\n", {"a", "b"}},
        LoadCase{"CrLf", "a\r\nb\r\n", {"a", "b"}},
        LoadCase{"LoneCr", "a\rb\r", {"a", "b"}},
        LoadCase{"MixedEnds", "a\r\nb\rc\nd", {"a", "b", "c", "d"}},
        LoadCase{"LfCrIsTwoEnds", "a\n\rb", {"a", "", "b"}},
        LoadCase{"CrCrLfIsTwoEnds", "a\r\r\nb", {"a", "", "b"}},
        LoadCase{"EmptyLinesInside", "a\n\n\nb\n", {"a", "", "", "b"}},
        LoadCase{"TwoFinalLineEnds", "a\n\n", {"a", ""}},
        LoadCase{"NulEndsText", "a\nb\0c\nd"s, {"a", "b"}},
        LoadCase{"NulFirst", "\0a\nb"s, {}},
        LoadCase{"NulAfterLineEnd", "a\n\0b"s, {"a"}},
        LoadCase{"KeepsBlanksAndHighBytes", "  x = y \t\n\xE4\xF6=\x80", {"  x = y \t", "\xE4\xF6=\x80"}}),
    [](const ::testing::TestParamInfo<LoadCase> &info) { return std::string(info.param.label); });

TEST(TStringList, LoadingReplacesContentsAndReleasesObjects) {
    TStringList list;
    list.Append("old", TCommandOptions::Create());
    list.LoadFromBytes("new\n");
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_EQ(list.Text(0), "new");
    EXPECT_EQ(list.Object(0), nullptr);
}

struct NameCase {
    std::string text;
    std::string name;
    std::string value;
};

class NameAndValue : public ::testing::TestWithParam<NameCase> {};

TEST_P(NameAndValue, SplitAtFirstEquals) {
    TStringList list;
    list.Append(GetParam().text);
    EXPECT_EQ(list.Name(0), GetParam().name);
    EXPECT_EQ(list.Value(0), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Entries, NameAndValue,
                         ::testing::Values(NameCase{"Build=gcc %s", "Build", "gcc %s"},
                                           NameCase{"a=b=c", "a", "b=c"},
                                           NameCase{"no equals", "", ""},
                                           NameCase{"=value", "", "value"},
                                           NameCase{"name=", "name", ""},
                                           NameCase{" spaced = out ", " spaced ", " out "},
                                           NameCase{"", "", ""}));

TEST(TStringList, ValueByNameTakesFirstEntryWithEqualsIgnoringCase) {
    TStringList list;
    list.Append("Build");            // no "=": never a match, even with the same text
    list.Append("BUILD=first");
    list.Append("build=second");
    list.Append("=empty name");
    list.Append("Other=x");
    EXPECT_EQ(list.ValueByName("Build"), "first");
    EXPECT_EQ(list.ValueByName("bUiLd"), "first");
    EXPECT_EQ(list.ValueByName(""), "empty name");
    EXPECT_EQ(list.ValueByName("Missing"), "");
    EXPECT_EQ(list.ValueByName("Build "), "");
}

TEST(TStringList, EditingKeepsObjectsWithTheirEntries) {
    TStringList list;
    list.Append("a", TCommandOptions::Create());
    list.Append("c");
    list.Insert(1, "b", TCommandOptions::Create());
    TCommandOptions *first = list.Object(0);
    TCommandOptions *second = list.Object(1);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);

    EXPECT_EQ(list.IndexOfObject(second), 1u);
    list.Replace(1, "B");
    EXPECT_EQ(list.Object(1), second);
    list.Delete(0);
    EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"B", "c"}));
    EXPECT_EQ(list.IndexOfObject(second), 0u);
    EXPECT_FALSE(list.IndexOfObject(first).has_value());

    list.Insert(99, "end");  // past the end appends
    list.Delete(99);         // past the end does nothing
    EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"B", "c", "end"}));
}

// A long list keeps its order and objects through inserts and deletes at its front, its end and
// scattered places between, compared with a vector.
TEST(TStringList, LongListsEditLikeAVector) {
    TStringList list;
    std::vector<std::string> expected;
    for (int i = 0; i < 1000; ++i) {
        list.Append(std::to_string(i), i % 7 == 0 ? TCommandOptions::Create() : nullptr);
        expected.push_back(std::to_string(i));
    }
    TCommandOptions *tracked = list.Object(448);
    ASSERT_NE(tracked, nullptr);
    for (std::size_t at : {0u, 63u, 64u, 65u, 191u, 192u, 447u, 448u, 999u}) {
        list.Insert(at, "new" + std::to_string(at));
        expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(at), "new" + std::to_string(at));
    }
    for (std::size_t at : {1000u, 448u, 192u, 64u, 63u, 0u}) {
        list.Delete(at);
        expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(at));
    }
    EXPECT_EQ(LinesOf(list), expected);
    const std::optional<std::size_t> index = list.IndexOfObject(tracked);
    ASSERT_TRUE(index.has_value());
    EXPECT_EQ(list.Text(*index), "448");
    EXPECT_THROW(list.Text(list.Count()), std::out_of_range);

    TStringList moved(std::move(list));
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(LinesOf(moved), expected);
    TStringList target;
    target.Append("old");
    target = std::move(moved);
    EXPECT_EQ(LinesOf(target), expected);
    target.AppendFrom(list);  // an emptied list appends nothing
    EXPECT_EQ(target.Count(), expected.size());
    target.Clear();
    target.Append("again");
    EXPECT_EQ(LinesOf(target), (std::vector<std::string>{"again"}));
}

struct ReplaceCase {
    const char *label;
    std::string before;
    std::string text;
};

class ReplaceByView : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceByView, SetsTheTextAndKeepsTheObject) {
    TStringList list;
    list.Append("first");
    list.Append(GetParam().before, TCommandOptions::Create());
    TCommandOptions *object = list.Object(1);
    list.Replace(1, GetParam().text);
    EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"first", GetParam().text}));
    EXPECT_EQ(list.Object(1), object);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, ReplaceByView,
    ::testing::Values(ReplaceCase{"EmptyByEmpty", "", ""}, ReplaceCase{"EmptyByShort", "", "ab"},
                      ReplaceCase{"EmptyByLong", "", std::string(300, 'x')},
                      ReplaceCase{"LongByShorter", std::string(100, 'a'), std::string(40, 'b')},
                      ReplaceCase{"LongByEmpty", std::string(100, 'a'), ""},
                      ReplaceCase{"ShortByLonger", "abc", std::string(20, 'c')},
                      ReplaceCase{"WithNulAndHighBytes", "x", "a\0\xff"s}),
    [](const ::testing::TestParamInfo<ReplaceCase> &info) { return std::string(info.param.label); });

TEST(TStringList, RewritingTheLastEntryAgainAndAgainHoldsNoMoreStorage) {
    // A progress line that a lone CR restarts thousands of times costs one line, not thousands.
    TStringList list;
    list.Append("first");
    list.Append(std::string(100, 'a'));
    const std::size_t held = list.StorageBytes();
    for (int i = 0; i < 10000; ++i) list.Replace(1, std::string(static_cast<std::size_t>(i % 101), 'b'));
    list.Replace(1, "done");
    EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"first", "done"}));
    EXPECT_EQ(list.StorageBytes(), held);
}

TEST(TStringList, ReplaceTakesAViewOfTheEntryItself) {
    TStringList list;
    list.Append("0123456789abcdefghij");
    list.Replace(0, std::string_view(list.Text(0)).substr(5, 10));
    EXPECT_EQ(list.Text(0), "56789abcde");
    list.Append("xy");
    list.Replace(1, list.Text(0));  // longer than the entry's own room
    EXPECT_EQ(list.Text(1), "56789abcde");
    EXPECT_THROW(list.Replace(2, "past the end"), std::out_of_range);
}

TEST(TStringList, AppendFromMovesEntriesAndObjects) {
    TStringList target;
    target.Append("t");
    TStringList source;
    source.Append("s1", TCommandOptions::Create());
    source.Append("s2");
    TCommandOptions *moved = source.Object(0);

    target.AppendFrom(source);
    EXPECT_TRUE(source.Empty());
    EXPECT_EQ(LinesOf(target), (std::vector<std::string>{"t", "s1", "s2"}));
    EXPECT_EQ(target.Object(1), moved);
}

TEST(TCommandOptions, CreateHoldsTheDefaults) {
    auto options = TCommandOptions::Create();
    EXPECT_TRUE(options->Save);
    EXPECT_FALSE(options->ToMenu);
    EXPECT_EQ(options->RegExp, "^.*?(\\d+)");
    EXPECT_EQ(options->LineMatch, 1);
    EXPECT_EQ(options->ColumnMatch, 0);
    EXPECT_EQ(options->FileMatch, 0);
    EXPECT_TRUE(options->CdFileDir);
    EXPECT_FALSE(options->AutoJump);
    EXPECT_EQ(options->Ask, "");
    EXPECT_FALSE(options->AutoExit);
}

}  // namespace

namespace {

TEST(TStringList, ObjectsStayWithTheirEntriesWhenOnlySomeHaveOne) {
    TStringList list;
    list.Append("a");
    list.Append("b", TCommandOptions::Create());
    TCommandOptions *b = list.Object(1);
    list.Insert(0, "z");
    list.Append("c");
    EXPECT_EQ(list.Object(0), nullptr);
    EXPECT_EQ(list.Object(1), nullptr);
    EXPECT_EQ(list.Object(2), b);
    EXPECT_EQ(list.Object(3), nullptr);
    EXPECT_EQ(list.IndexOfObject(b), 2u);
    list.Delete(1);
    EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"z", "b", "c"}));
    EXPECT_EQ(list.Object(1), b);
    EXPECT_THROW(list.Object(3), std::out_of_range);
}

TEST(TStringList, HandedOutTextsStayValidWhileTheListGrowsAndTheLastIsRewritten) {
    // Many blocks' worth of lines, each rewritten as a lone CR rewrites a line.
    TStringList list;
    std::vector<std::string_view> seen;
    for (int i = 0; i < 40000; ++i) {
        list.Append("");
        list.Replace(list.Count() - 1, "progress " + std::to_string(i));
        list.Replace(list.Count() - 1, "line " + std::to_string(i) + std::string(static_cast<std::size_t>(i % 300), '.'));
        seen.push_back(list.Text(list.Count() - 1));
    }
    // A text handed out earlier still reads as its entry: the sanitizer build would catch a read
    // of storage the list has moved or freed.
    for (int i = 0; i < 40000; i += 997) {
        const std::string expected = "line " + std::to_string(i) + std::string(static_cast<std::size_t>(i % 300), '.');
        EXPECT_EQ(list.Text(static_cast<std::size_t>(i)), expected);
        EXPECT_EQ(seen[static_cast<std::size_t>(i)], expected);
    }
    TStringList moved = std::move(list);
    EXPECT_EQ(seen.back(), moved.Text(39999));
    EXPECT_EQ(seen.back(), "line 39999" + std::string(39999 % 300, '.'));
}

}  // namespace
