// What the commands read from the host: the parameter dialog, the selection and the word under
// the cursor, and the template arguments that hold them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "exec/EditorText.h"
#include "exec/Parameter.h"
#include "exec/Template.h"
#include "plugin/farapi/FARUtils.h"
#include "support/FakeHost.h"

namespace {

using testing_host::FakeHost;

/// Installs a fake host's services for one test.
class HostInstalled {
public:
    explicit HostInstalled(const PluginStartupInfo &info) { far::SetStartupInfo(&info); }
    ~HostInstalled() { far::ResetStartupInfo(); }
};

struct WordCase {
    const char *line;
    int cursor;
    const char *word;
};

class WordAtTest : public ::testing::TestWithParam<WordCase> {};

TEST_P(WordAtTest, FindsTheWord) {
    const WordCase &c = GetParam();
    EXPECT_EQ(WordAt(c.line, c.cursor), c.word) << "'" << c.line << "' at " << c.cursor;
}

INSTANTIATE_TEST_SUITE_P(Lines, WordAtTest, ::testing::Values(
    WordCase{"", 0, ""},
    WordCase{"", 5, ""},
    WordCase{"foo bar", 0, "foo"},
    WordCase{"foo bar", 1, "foo"},
    WordCase{"foo bar", 2, "foo"},
    WordCase{"foo bar", 3, "bar"},    // on the blank: the next word
    WordCase{"foo bar", 4, "bar"},
    WordCase{"foo bar", 6, "bar"},    // on the last character
    WordCase{"foo bar", 7, "bar"},    // past the end: the last word
    WordCase{"foo bar", 500, "bar"},
    WordCase{"foo  ", 9, ""},         // a line ending in a stop character
    WordCase{"   ", 1, ""},
    WordCase{" foo", 0, "foo"},
    WordCase{"x", 0, "x"},
    WordCase{"foo\tbar baz", 1, "foo\tbar"},  // a tab does not separate words
    WordCase{"foo\tbar baz", 5, "foo\tbar"},
    WordCase{"foo\bbar", 1, "foo"},           // code 8 does
    WordCase{"foo\bbar", 5, "bar"},
    WordCase{"a \b b", 2, "b"},
    WordCase{"foo bar", -3, "foo"}));          // a negative cursor counts as the line's start

struct SelectionCase {
    const char *line;
    int selStart, selEnd;
    const char *text;
};

class SelectedPartTest : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(SelectedPartTest, TakesTheSelectedCharacters) {
    const SelectionCase &c = GetParam();
    EXPECT_EQ(SelectedPart(c.line, c.selStart, c.selEnd), c.text)
        << c.line << " " << c.selStart << ".." << c.selEnd;
}

INSTANTIATE_TEST_SUITE_P(Lines, SelectedPartTest, ::testing::Values(
    SelectionCase{"hello world", 0, 5, "hello"},
    SelectionCase{"hello world", 6, 11, "world"},
    SelectionCase{"hello world", 3, 3, ""},
    SelectionCase{"hello world", -1, -1, ""},
    SelectionCase{"hello world", 3, -1, ""},     // running on past the line: empty
    SelectionCase{"hello world", -1, 4, ""},     // no selection start: nothing selected
    SelectionCase{"hello world", 6, 400, "world"},
    SelectionCase{"hello world", 40, 50, ""},
    SelectionCase{"hello world", 5, 2, ""},
    SelectionCase{"", 0, 3, ""}));

TEST(EditorText, ReadsTheCurrentLineOfTheHost) {
    FakeHost host;
    auto &editor = host.AddEditor(1, "/src/main.c", {"first line", "int  main(void)", "last"});
    editor.curLine = 1;
    editor.curPos = 6;
    HostInstalled installed(host.StartupInfo());
    EXPECT_EQ(WordUnderCursor(), "main(void)");
    EXPECT_EQ(SelectionText(), "");
    EXPECT_EQ(SelectionOrWord(), "main(void)");

    editor.selLine = 1;
    editor.selStart = 0;
    editor.selEnd = 3;
    EXPECT_EQ(SelectionText(), "int");
    EXPECT_EQ(SelectionOrWord(), "int");
    EXPECT_EQ(WordUnderCursor(), "main(void)");

    // A selection running on past this line: the line has a selection, with empty text.
    editor.selStart = 4;
    editor.selEnd = -1;
    EXPECT_EQ(SelectionText(), "");
    EXPECT_EQ(SelectionOrWord(), "");
}

TEST(EditorText, TemplateArgumentsCarryTheEditorTextsAndTheParameter) {
    FakeHost host;
    auto &editor = host.AddEditor(1, "C:\\src\\main.c", {"call foo_bar(x)"});
    editor.curPos = 7;
    HostInstalled installed(host.StartupInfo());
    TemplateArguments args = MakeTemplateArguments("C:\\src\\main.c", "-O2", platform::PathStyle::Windows);
    EXPECT_EQ(args, (TemplateArguments{"C:\\src\\main.c", "C:\\src", "main.c", "main", "c", "",
                                       "foo_bar(x)", "foo_bar(x)", "-O2"}));
    editor.selLine = 0;
    editor.selStart = 0;
    editor.selEnd = 4;
    args = MakeTemplateArguments("/src/main.c", "", platform::PathStyle::Posix);
    EXPECT_EQ(args, (TemplateArguments{"/src/main.c", "/src", "main.c", "main", "c", "call",
                                       "foo_bar(x)", "call", ""}));
}

// Hosts that misbehave: text without a terminator, failing calls, no text at all.
struct OddHost {
    static inline const char *text = nullptr;
    static inline int length = 0;
    static inline int result = 1;
    static inline int curPos = 0;

    static int FARAPI EditorControl(int command, void *param) {
        if (command == ECTL_GETSTRING) {
            auto *line = static_cast<EditorGetString *>(param);
            if (result == 0) return 0;
            line->StringText = text;
            line->StringLength = length;
            line->SelStart = -1;
            line->SelEnd = -1;
        } else if (command == ECTL_GETINFO) {
            static_cast<EditorInfo *>(param)->CurPos = curPos;
        }
        return result;
    }
};

TEST(EditorText, UsesTheReportedLengthAndSurvivesFailingHosts) {
    PluginStartupInfo info{};
    info.StructSize = sizeof info;
    info.EditorControl = &OddHost::EditorControl;
    HostInstalled installed(info);

    static const char unterminated[] = {'f', 'o', 'o', ' ', 'b', 'a', 'r', 'X', 'Y', 'Z'};
    OddHost::text = unterminated;
    OddHost::length = 7;
    OddHost::result = 1;
    OddHost::curPos = 5;
    EXPECT_EQ(WordUnderCursor(), "bar");
    OddHost::curPos = 40;
    EXPECT_EQ(WordUnderCursor(), "bar");

    OddHost::text = nullptr;
    OddHost::length = 12;
    EXPECT_EQ(WordUnderCursor(), "");
    EXPECT_EQ(SelectionOrWord(), "");

    OddHost::text = unterminated;
    OddHost::length = -4;
    EXPECT_EQ(WordUnderCursor(), "");

    OddHost::result = 0;
    EXPECT_EQ(WordUnderCursor(), "");
    EXPECT_EQ(SelectionText(), "");
}

TEST(EditorText, NoHostGivesEmptyTexts) {
    far::ResetStartupInfo();
    EXPECT_EQ(WordUnderCursor(), "");
    EXPECT_EQ(SelectionText(), "");
    EXPECT_EQ(SelectionOrWord(), "");
}

// The parameter dialog, seen by a host that records what it is given.
struct DialogHost {
    static inline int calls = 0;
    static inline INT_PTR number = 0;
    static inline int x1, y1, x2, y2, count;
    static inline const char *help = "unset";
    static inline std::vector<FarDialogItem> items;
    static inline int answer = 4;
    static inline std::string typed;
    static inline bool fillToTheEnd = false;
    static inline std::string okText = "Ok";

    static int FARAPI Dialog(INT_PTR plugin, int left, int top, int right, int bottom, const char *topic,
                             FarDialogItem *given, int n) {
        ++calls;
        number = plugin;
        x1 = left, y1 = top, x2 = right, y2 = bottom, count = n;
        help = topic;
        items.assign(given, given + n);
        if (fillToTheEnd) {
            std::memset(given[2].Data, 'p', sizeof given[2].Data);
        } else {
            std::strncpy(given[2].Data, typed.c_str(), sizeof given[2].Data - 1);
        }
        return answer;
    }
    static const char *FARAPI GetMsg(INT_PTR, int id) {
        return id == 0 ? okText.c_str() : id == 1 ? "Cancel" : "other";
    }
    static void Reset() {
        calls = 0;
        answer = 4;
        typed.clear();
        fillToTheEnd = false;
        okText = "Ok";
        items.clear();
    }
};

class ParameterDialogTest : public ::testing::Test {
protected:
    ParameterDialogTest() {
        DialogHost::Reset();
        info_.StructSize = sizeof info_;
        info_.ModuleNumber = 77;
        info_.Dialog = &DialogHost::Dialog;
        info_.GetMsg = &DialogHost::GetMsg;
        far::SetStartupInfo(&info_);
    }
    ~ParameterDialogTest() override { far::ResetStartupInfo(); }
    PluginStartupInfo info_{};
};

TEST_F(ParameterDialogTest, BuildsTheSixItems) {
    DialogHost::typed = "--verbose";
    std::string parameter = "stale";
    ASSERT_TRUE(AskParameter("  Options:", parameter));
    EXPECT_EQ(parameter, "--verbose");
    ASSERT_EQ(DialogHost::calls, 1);
    EXPECT_EQ(DialogHost::number, 77);
    EXPECT_EQ(DialogHost::x1, -1);
    EXPECT_EQ(DialogHost::y1, -1);
    EXPECT_EQ(DialogHost::x2, 50);
    EXPECT_EQ(DialogHost::y2, 8);
    EXPECT_EQ(DialogHost::help, nullptr);
    ASSERT_EQ(DialogHost::count, 6);

    struct Expected {
        int type, x1, y1, x2, y2, focus;
        DWORD flags;
        int defaultButton;
        const char *text;
    };
    const Expected expected[6] = {
        {DI_DOUBLEBOX, 3, 1, 46, 6, 0, 0, 0, ""},
        {DI_TEXT, 5, 2, 0, 0, 0, 0, 0, "  Options:"},
        {DI_EDIT, 5, 3, 44, 0, 1, DIF_HISTORY, 0, ""},
        {DI_TEXT, 0, 4, 0, 0, 0, DIF_SEPARATOR, 0, ""},
        {DI_BUTTON, 0, 5, 0, 0, 0, DIF_CENTERGROUP, 1, "Ok"},
        {DI_BUTTON, 0, 5, 0, 0, 0, DIF_CENTERGROUP, 0, "Cancel"},
    };
    for (int i = 0; i < 6; ++i) {
        const FarDialogItem &item = DialogHost::items[static_cast<std::size_t>(i)];
        const Expected &e = expected[i];
        SCOPED_TRACE("item " + std::to_string(i));
        EXPECT_EQ(item.Type, e.type);
        EXPECT_EQ(item.X1, e.x1);
        EXPECT_EQ(item.Y1, e.y1);
        EXPECT_EQ(item.X2, e.x2);
        EXPECT_EQ(item.Y2, e.y2);
        EXPECT_EQ(item.Focus, e.focus);
        EXPECT_EQ(item.Flags, e.flags);
        EXPECT_EQ(item.DefaultButton, e.defaultButton);
        EXPECT_STREQ(item.Data, e.text);
        if (i == 2) {
            EXPECT_STREQ(item.Param.History, "kilnrun_ask");
        } else {
            EXPECT_EQ(item.Param.History, nullptr);
        }
    }
}

TEST_F(ParameterDialogTest, ABlankPromptAsksNothing) {
    std::string parameter = "stale";
    EXPECT_TRUE(AskParameter("", parameter));
    EXPECT_TRUE(AskParameter(" \t\r\n\x01 ", parameter));
    EXPECT_EQ(parameter, "");
    EXPECT_EQ(DialogHost::calls, 0);
}

TEST_F(ParameterDialogTest, ShowsTheFirstFortyCharactersOfALongPrompt) {
    const std::string prompt = "0123456789012345678901234567890123456789ABCDEFGHIJ";
    std::string parameter;
    ASSERT_TRUE(AskParameter(prompt, parameter));
    EXPECT_EQ(std::string(DialogHost::items.at(1).Data), prompt.substr(0, 40));
}

TEST_F(ParameterDialogTest, AnyOtherResultThanOkCancels) {
    for (int answer : {-1, 5, 0, 2}) {
        DialogHost::answer = answer;
        DialogHost::typed = "ignored";
        std::string parameter = "stale";
        EXPECT_FALSE(AskParameter("Name", parameter)) << answer;
        EXPECT_EQ(parameter, "") << answer;
    }
}

TEST_F(ParameterDialogTest, CopiesAreBoundedBothWays) {
    DialogHost::fillToTheEnd = true;  // no terminator in the edit field
    DialogHost::okText = std::string(600, 'k');
    std::string parameter;
    ASSERT_TRUE(AskParameter("Name", parameter));
    EXPECT_EQ(parameter, std::string(511, 'p'));
    EXPECT_EQ(std::string(DialogHost::items.at(4).Data), std::string(511, 'k'));
}

TEST(ParameterDialog, AHostWithoutDialogsCancels) {
    far::ResetStartupInfo();
    std::string parameter;
    EXPECT_FALSE(AskParameter("Name", parameter));
    EXPECT_TRUE(AskParameter("   ", parameter));
}

}  // namespace
