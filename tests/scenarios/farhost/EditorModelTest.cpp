#include "host/EditorModel.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/TempFolder.h"

namespace farhost {
namespace {

struct SplitCase {
    const char *name;
    std::string bytes;
    std::vector<std::pair<std::string, std::string>> lines;  // text, line end
};

class SplitIntoLinesTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitIntoLinesTest, KeepsEachLineEndAndJoinsBackToTheSameBytes) {
    const SplitCase &c = GetParam();
    std::vector<EditorLine> lines = SplitIntoLines(c.bytes);
    ASSERT_EQ(lines.size(), c.lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].Text(), c.lines[i].first) << "line " << i;
        EXPECT_EQ(lines[i].Eol(), c.lines[i].second) << "line " << i;
    }
    EXPECT_EQ(JoinLines(lines, nullptr), c.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SplitIntoLinesTest,
    ::testing::Values(SplitCase{"Empty", "", {{"", ""}}},
                      SplitCase{"NoLineEnd", "one", {{"one", ""}}},
                      SplitCase{"FinalLf", "a\nb\n", {{"a", "\n"}, {"b", "\n"}, {"", ""}}},
                      SplitCase{"CrLf", "a\r\nb", {{"a", "\r\n"}, {"b", ""}}},
                      SplitCase{"LoneCr", "a\rb", {{"a", "\r"}, {"b", ""}}},
                      SplitCase{"Mixed", "a\r\n\nb\r\rc", {{"a", "\r\n"}, {"", "\n"}, {"b", "\r"}, {"", "\r"}, {"c", ""}}},
                      SplitCase{"LfCr", "a\n\rb", {{"a", "\n"}, {"", "\r"}, {"b", ""}}},
                      SplitCase{"Nul", std::string("a\0b\n", 4), {{std::string("a\0b", 3), "\n"}, {"", ""}}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(EditorLineTest, TextIsNotFollowedByNulButTheLineEndIsTerminated) {
    EditorLine line("text", "\r\n");
    EXPECT_EQ(std::memcmp(line.TextPointer(), "text\r\n", 7), 0);  // includes the final NUL
    EXPECT_STREQ(line.EolPointer(), "\r\n");
}

TEST(JoinLinesTest, AnotherLineEndReplacesAllButTheLastLinesNone) {
    std::vector<EditorLine> lines = SplitIntoLines("a\nb\rc");
    EXPECT_EQ(JoinLines(lines, "\r\n"), "a\r\nb\r\nc");
}

TEST(EditorTest, TabPositionExpandsTabs) {
    Editor editor;
    editor.lines = SplitIntoLines("\tab\tc\n");
    struct {
        int pos, tabPos;
    } cases[] = {{0, 0}, {1, 8}, {2, 9}, {3, 10}, {4, 16}, {6, 18}};
    for (auto c : cases) {
        editor.curPos = c.pos;
        EXPECT_EQ(editor.CurTabPos(), c.tabPos) << "pos " << c.pos;
    }
}

TEST(EditorTest, MoveCursorKeepsTheLineWithinTheFile) {
    Editor editor;
    editor.lines = SplitIntoLines("a\nb\nc");
    editor.MoveCursor(7, 3);
    EXPECT_EQ(editor.curLine, 2);
    EXPECT_EQ(editor.curPos, 3);  // the cursor may stand past the line's end
    editor.MoveCursor(-4, -1);
    EXPECT_EQ(editor.curLine, 0);
    EXPECT_EQ(editor.curPos, 0);
}

TEST(LoadEditorTest, ReadsAFileAndOpensAMissingOneAsNew) {
    support::TempFolder folder("farhost");
    std::string error;
    std::optional<Editor> existing = LoadEditor(folder.Write("x.c", "int x;\r\n"), error);
    ASSERT_TRUE(existing) << error;
    EXPECT_FALSE(existing->isNewFile);
    EXPECT_EQ(existing->TotalLines(), 2);
    std::optional<Editor> missing = LoadEditor(folder.Name("new.c"), error);
    ASSERT_TRUE(missing);
    EXPECT_TRUE(missing->isNewFile);
    EXPECT_EQ(missing->TotalLines(), 1);
    EXPECT_FALSE(LoadEditor(folder.Name(), error));  // a folder is no file
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(LoadEditor(folder.Name("no/such/new.c"), error));  // nor can a new one be made there
}

TEST(WriteEditorTest, WritesTheLinesAndReportsAFolderThatIsNotThere) {
    support::TempFolder folder("farhost");
    Editor editor;
    editor.lines = SplitIntoLines("a\r\nb\n");
    std::string error;
    ASSERT_TRUE(WriteEditor(editor, folder.Name("out.txt"), nullptr, error)) << error;
    EXPECT_EQ(folder.Read("out.txt"), "a\r\nb\n");
    ASSERT_TRUE(WriteEditor(editor, folder.Name("out.txt"), "\n", error));
    EXPECT_EQ(folder.Read("out.txt"), "a\nb\n");
    EXPECT_FALSE(WriteEditor(editor, folder.Name("no/such/folder/out.txt"), nullptr, error));
    EXPECT_FALSE(error.empty());
}

TEST(EditorSetTest, TheCurrentEditorIsTheLastMadeCurrent) {
    EditorSet editors;
    EXPECT_EQ(editors.Current(), nullptr);
    editors.SetNextId(5);
    Editor *first = &editors.Add(Editor{});
    Editor *second = &editors.Add(Editor{});
    editors.Add(Editor{});
    EXPECT_EQ(editors.Ids(), (std::vector<int>{5, 6, 7}));
    EXPECT_EQ(editors.Current()->id, 7);
    ASSERT_TRUE(editors.MakeCurrent(5));
    EXPECT_EQ(editors.Current(), first);  // records stay where they are
    EXPECT_FALSE(editors.MakeCurrent(99));
    editors.Remove(5);
    EXPECT_EQ(editors.Current()->id, 7);
    EXPECT_EQ(editors.Find(6), second);
    EXPECT_EQ(editors.Find(5), nullptr);
    EXPECT_EQ(editors.Count(), 2);
}

}  // namespace
}  // namespace farhost
