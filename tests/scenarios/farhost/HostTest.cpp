// The host against the fake module, in process: steps, failures and the services' records.
#include "host/Host.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

#include "host/Script.h"
#include "host/ScriptRunner.h"
#include "host/System.h"
#include "support/TempFolder.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace farhost {
namespace {

using support::TempFolder;

// One host with the fake module, running script text from a temporary folder.
class Session {
public:
    explicit Session(const TempFolder &folder, std::string module = FAKE_MODULE_PATH)
        : host_(transcript_, driver_),
          runner_(host_, driver_, transcript_, errors_,
                  RunnerSettings{"test.farhost", FullPath(folder.Name()), std::move(module), "English"}) {
        transcript_.Mask().Add(FullPath(folder.Name()), "$DIR");
    }
    ~Session() { host_.Shutdown(); }
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    bool Run(const std::string &script) {
        std::vector<Step> steps;
        std::string error;
        if (!ParseScript(script, steps, error)) {
            errors_ << error;
            return false;
        }
        for (const Step &step : steps)
            if (!runner_.Run(step)) return false;
        return runner_.Finish();
    }
    std::string Errors() const { return errors_.str(); }
    std::string Transcript() const {
        std::string text;
        for (const std::string &line : transcript_.Lines()) text += line + "\n";
        return text;
    }
    Host &host() { return host_; }

private:
    farhost::Transcript transcript_;
    std::ostringstream errors_;
    ScriptDriver driver_;
    Host host_;
    ScriptRunner runner_;
};

class HostTest : public ::testing::Test {
protected:
    void SetUp() override { folder_.Write("x.txt", "hello\nworld\n"); }
    TempFolder folder_{"farhost"};
};

TEST_F(HostTest, AMenuWithoutAnAnswerFailsTheCallAndSaysWhere) {
    Session session(folder_);
    EXPECT_FALSE(session.Run("open x.txt\n\ncall\n"));
    EXPECT_NE(session.Errors().find("test.farhost:3: call: a menu was shown but no menu answer is queued"),
              std::string::npos)
        << session.Errors();
    EXPECT_NE(session.Transcript().find("-> -1 (cancelled)"), std::string::npos);  // the module got Esc
}

TEST_F(HostTest, AnAnswerThatNobodyAskedForFails) {
    Session session(folder_);
    EXPECT_FALSE(session.Run("open x.txt\nanswer menu info\nanswer dialog \"t\" ok\ncall\n"));
    EXPECT_NE(session.Errors().find("the answer \"answer dialog \"t\" ok\" was not asked for"), std::string::npos)
        << session.Errors();
}

TEST_F(HostTest, AnAnswerLeftAtTheEndFails) {
    Session session(folder_);
    EXPECT_FALSE(session.Run("open x.txt\nanswer menu 2\n"));
    EXPECT_NE(session.Errors().find("was never asked for"), std::string::npos) << session.Errors();
}

struct ExpectationCase {
    const char *script;
    const char *seen;
};

class ExpectationTest : public HostTest, public ::testing::WithParamInterface<ExpectationCase> {};

TEST_P(ExpectationTest, AFailedExpectationSaysWhatWasSeen) {
    Session session(folder_);
    std::string script = std::string("open x.txt\n") + GetParam().script;
    EXPECT_FALSE(session.Run(script));
    EXPECT_NE(session.Errors().find(GetParam().seen), std::string::npos) << session.Errors();
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ExpectationTest,
    ::testing::Values(
        ExpectationCase{"expect cursor 2 1", "the cursor is at line 1, column 1"},
        ExpectationCase{"expect editors 3", "1 editors are open"},
        ExpectationCase{"expect line 2 \"word\"", "line 2 is \"world\""},
        ExpectationCase{"edit 1 \"changed\"\nexpect file-line 1 \"changed\"", "line 1 is \"hello\""},
        ExpectationCase{"expect file-line 9 \"x\"", "there are 3 lines"},
        ExpectationCase{"expect title \"x\"", "the editor's title is \"\""},
        ExpectationCase{"expect file y.txt", "the current editor holds \"$DIR/x.txt\""},
        ExpectationCase{"expect modified yes", "the editor is not modified"},
        ExpectationCase{"expect saved no", "the editor is saved"},
        ExpectationCase{"edit 1 \"x\"\nexpect saved yes", "the editor is not saved"},
        ExpectationCase{"answer menu info\ncall\nexpect no-message", "a message box was shown: \"Fake\""},
        ExpectationCase{"answer menu info\ncall\nexpect message \"Fake\"", "the message box holds \"Fake\" \"EditorID 1\""},
        ExpectationCase{"answer menu info\ncall\nexpect menu-items a", "the menu's items are \"Fake actions\" \"---\""},
        ExpectationCase{"answer menu info\ncall\nexpect menu-title \"Kilnrun\"", "the menu's title is \"Fake\""},
        ExpectationCase{"answer menu info\ncall\nexpect dialogs 1", "0 dialogs were shown"},
        ExpectationCase{"expect menu", "no menu was shown"},
        ExpectationCase{"expect user-screen yes", "the console never became the user screen"},
        ExpectationCase{"expect plugin-info 40 6 \"Other\"", "the plug-in info is StructSize 40, Flags 6, menu strings \"Fake\""},
        ExpectationCase{"expect min-far-version 1", "GetMinFarVersion gave 84017478"},
        ExpectationCase{"expect frobs 1", "unknown expectation \"frobs\" with \"1\""},
        ExpectationCase{"expect cursor 1", "wrong number of words"},
        ExpectationCase{"frob", "unknown step \"frob\""},
        ExpectationCase{"cursor 9 1", "the editor has lines 1 to 3"},
        ExpectationCase{"answer menu \"no such action\"\ncall", "the menu has no item \"no such action\""},
        ExpectationCase{"answer dialog", "expects answer menu"},
        ExpectationCase{"switch 4", "there is no editor 4"},
        ExpectationCase{"open x.txt/inner", "cannot open"}));

TEST_F(HostTest, TheModuleMustPassItsOwnPluginNumber) {
    Session session(folder_);
    EXPECT_FALSE(session.Run("open x.txt\nanswer menu \"wrong number\"\ncall\n"));
    EXPECT_NE(session.Errors().find("GetMsg was given the plug-in number 19283, not 19282"), std::string::npos)
        << session.Errors();
}

TEST_F(HostTest, AScreenSavedAndNeverRestoredFailsAtExit) {
    Session session(folder_);
    EXPECT_TRUE(session.Run("open x.txt\nanswer menu \"leave a screen\"\ncall\nexpect screens 1\n"));
    session.host().Shutdown();
    std::vector<std::string> failures = session.host().TakeFailures();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0], "screen 1 was saved and never restored");
}

TEST_F(HostTest, AModuleThatIsNotThereIsAClearFailure) {
    Session session(folder_, folder_.Name("none.so"));
    EXPECT_FALSE(session.Run("open x.txt\n"));
    EXPECT_NE(session.Errors().find("cannot load the module"), std::string::npos) << session.Errors();
}

TEST_F(HostTest, TheLanguageIsChosenBeforeTheModuleLoads) {
    Session russian(folder_);
    EXPECT_TRUE(russian.Run("language Russian\nopen x.txt\nanswer menu info\ncall\nexpect menu-title \"Feik\"\n"))
        << russian.Errors();
    russian.host().Shutdown();
    Session late(folder_);
    EXPECT_FALSE(late.Run("open x.txt\nlanguage Russian\n"));
    EXPECT_NE(late.Errors().find("before the module loads"), std::string::npos);
}

TEST_F(HostTest, QuitClosesTheEditorOnceThePluginHasReturned) {
    Session session(folder_);
    ASSERT_TRUE(session.Run("open x.txt\nopen x.txt\nanswer menu quit\ncall\nexpect editors 1\nexpect editor-id 1\n"))
        << session.Errors();
    std::string transcript = session.Transcript();
    std::size_t returned = transcript.find("OpenPlugin -> INVALID_HANDLE_VALUE");
    std::size_t closed = transcript.find("ProcessEditorEvent(EE_CLOSE, &2)");
    ASSERT_NE(closed, std::string::npos) << transcript;
    EXPECT_LT(returned, closed);
}

TEST_F(HostTest, EnvironmentAndFolderStepsReachTheProcess) {
    Session session(folder_);
    std::string before = CurrentDirectory();
    ASSERT_TRUE(session.Run("env FARHOST_TEST_VALUE=a=b\ncd .\n")) << session.Errors();
#if defined(_WIN32)
    char value[16] = {};
    GetEnvironmentVariableA("FARHOST_TEST_VALUE", value, sizeof value);
    EXPECT_STREQ(value, "a=b");
#else
    const char *value = std::getenv("FARHOST_TEST_VALUE");
    ASSERT_NE(value, nullptr);
    EXPECT_STREQ(value, "a=b");
#endif
    EXPECT_EQ(CurrentDirectory(), FullPath(folder_.Name()));
    ChangeDirectory(before);
}

// The services themselves, called as the module calls them.
class ServicesTest : public HostTest {
protected:
    ServicesTest() : host_(transcript_, driver_) {}
    farhost::Transcript transcript_;
    ScriptDriver driver_;
    Host host_;
};

TEST_F(ServicesTest, GetStringHandsOutTheLineWithoutATerminatorAndItsSelection) {
    ASSERT_TRUE(host_.OpenEditor(folder_.Write("crlf.txt", "first\r\nsecond")));
    host_.Editors().Current()->selection[0] = LineSelection{1, -1};
    EditorGetString line{};
    line.StringNumber = -1;
    ASSERT_EQ(host_.EditorControl(ECTL_GETSTRING, &line), 1);
    EXPECT_EQ(std::string(line.StringText, static_cast<std::size_t>(line.StringLength)), "first");
    EXPECT_EQ(line.StringText[line.StringLength], '\r');  // no NUL after the text
    EXPECT_STREQ(line.StringEOL, "\r\n");
    EXPECT_EQ(line.SelStart, 1);
    EXPECT_EQ(line.SelEnd, -1);
    line.StringNumber = 1;
    ASSERT_EQ(host_.EditorControl(ECTL_GETSTRING, &line), 1);
    EXPECT_EQ(std::string(line.StringText, static_cast<std::size_t>(line.StringLength)), "second");
    EXPECT_EQ(line.SelStart, -1);
    line.StringNumber = 2;
    EXPECT_EQ(host_.EditorControl(ECTL_GETSTRING, &line), 0);
}

TEST_F(ServicesTest, GetInfoDescribesTheCurrentEditor) {
    ASSERT_TRUE(host_.OpenEditor(folder_.Name("x.txt")));
    host_.Editors().Current()->MoveCursor(1, 3);
    host_.Editors().Current()->modified = true;
    EditorInfo info;
    std::memset(&info, 0xAB, sizeof info);
    ASSERT_EQ(host_.EditorControl(ECTL_GETINFO, &info), 1);
    EXPECT_EQ(info.EditorID, 1);
    EXPECT_STREQ(info.FileName, FullPath(folder_.Name("x.txt")).c_str());
    EXPECT_EQ(info.TotalLines, 3);
    EXPECT_EQ(info.CurLine, 1);
    EXPECT_EQ(info.CurPos, 3);
    EXPECT_EQ(info.CurTabPos, 3);
    EXPECT_EQ(info.BlockType, 0);
    EXPECT_EQ(info.TabSize, 8);
    EXPECT_EQ(info.CurState, ECSTATE_MODIFIED);
    for (DWORD reserved : info.Reserved) EXPECT_EQ(reserved, 0u);
}

TEST_F(ServicesTest, SetPositionKeepsWhatIsMinusOne) {
    ASSERT_TRUE(host_.OpenEditor(folder_.Write("tabs.txt", "a\n\tb\nc\n")));
    Editor &editor = *host_.Editors().Current();
    EditorSetPosition to{1, 2, -1, 0, 40, -1};
    ASSERT_EQ(host_.EditorControl(ECTL_SETPOSITION, &to), 1);
    EXPECT_EQ(editor.curLine, 1);
    EXPECT_EQ(editor.curPos, 2);
    EXPECT_EQ(editor.leftPos, 40);
    EditorSetPosition keep{-1, -1, 8, -1, -1, 1};  // a screen column after the tab
    ASSERT_EQ(host_.EditorControl(ECTL_SETPOSITION, &keep), 1);
    EXPECT_EQ(editor.curLine, 1);
    EXPECT_EQ(editor.curPos, 1);
    EXPECT_EQ(editor.leftPos, 40);
    EXPECT_EQ(editor.overtype, 1);
    EditorSetPosition beyond{99, 0, -1, -1, -1, -1};
    host_.EditorControl(ECTL_SETPOSITION, &beyond);
    EXPECT_EQ(editor.curLine, 3);  // the last line
}

TEST_F(ServicesTest, SaveFileWritesTheLinesUnderTheEditorsNameOrANewOne) {
    ASSERT_TRUE(host_.OpenEditor(folder_.Write("mixed.txt", "a\r\nb\nc")));
    EditorSaveFile own{};
    ASSERT_EQ(host_.EditorControl(ECTL_SAVEFILE, &own), 1);
    EXPECT_EQ(folder_.Read("mixed.txt"), "a\r\nb\nc");
    EXPECT_TRUE(host_.Editors().Current()->IsSaved());
    EditorSaveFile renamed{};
    CopyBounded(renamed.FileName, sizeof renamed.FileName, folder_.Name("lf.txt"));
    char lf[] = "\n";
    renamed.FileEOL = lf;
    ASSERT_EQ(host_.EditorControl(ECTL_SAVEFILE, &renamed), 1);
    EXPECT_EQ(folder_.Read("lf.txt"), "a\nb\nc");
    EXPECT_EQ(host_.Editors().Current()->fileName, FullPath(folder_.Name("lf.txt")));
    EditorSaveFile unterminated;
    std::memset(unterminated.FileName, 'x', sizeof unterminated.FileName);
    unterminated.FileEOL = nullptr;
    host_.EditorControl(ECTL_SAVEFILE, &unterminated);
    std::vector<std::string> failures = host_.TakeFailures();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("not terminated"), std::string::npos);
}

TEST_F(ServicesTest, UnknownCommandsAndMisuseAreRecorded) {
    EXPECT_EQ(host_.EditorControl(99, nullptr), 0);
    EXPECT_EQ(host_.EditorControl(ECTL_GETINFO, nullptr), 0);
    EXPECT_EQ(host_.Control(INVALID_HANDLE_VALUE, 99, nullptr), 0);
    int notAScreen = 0;
    host_.RestoreScreen(&notAScreen);
    const char *items[] = {"Title", "Ok"};
    EXPECT_EQ(host_.Message(kModuleNumber, 0, nullptr, items, 2, 2), -1);  // the title is no button
    EXPECT_EQ(host_.Menu(kModuleNumber, -1, -1, 0, 0, "t", nullptr, nullptr, nullptr, nullptr, nullptr, 3), -1);
    EXPECT_EQ(host_.TakeFailures().size(), 4u);
}

TEST_F(ServicesTest, ScreensAreDistinctAndRestoredOnce) {
    HANDLE first = host_.SaveScreen(0, 0, -1, -1);
    HANDLE second = host_.SaveScreen(0, 0, -1, -1);
    EXPECT_NE(first, second);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(host_.OpenScreens(), 2);
    host_.RestoreScreen(nullptr);
    host_.RestoreScreen(first);
    host_.RestoreScreen(second);
    EXPECT_EQ(host_.OpenScreens(), 0);
    EXPECT_TRUE(host_.TakeFailures().empty());
    host_.RestoreScreen(first);
    EXPECT_EQ(host_.TakeFailures().size(), 1u);
}

TEST_F(ServicesTest, TextRunsOfEqualRowsArePrintedAsOneLine) {
    for (int row = 0; row < 25; ++row) host_.Text(0, row, 8, "    ");
    host_.Text(0, 3, 7, "echo");
    host_.Text(0, 4, 7, "echo");
    host_.Text(2, 9, 7, "other");
    host_.Text(0, 0, 0, nullptr);
    std::vector<std::string> expected = {"Text(0, 0..24, 8, 4 blanks) x25", "Text(0, 3..4, 7, \"echo\") x2",
                                         "Text(2, 9, 7, \"other\")", "Text(0, 0, 0, NULL) flush"};
    EXPECT_EQ(transcript_.Lines(), expected);
    EXPECT_EQ(host_.Console().textCalls, 28);
    EXPECT_EQ(host_.Console().flushes, 1);
}

TEST_F(ServicesTest, DialogTextIsCutToTheField) {
    FarDialogItem items[2];
    std::memset(items, 0, sizeof items);
    items[0].Type = DI_EDIT;
    items[1].Type = DI_BUTTON;
    items[1].DefaultButton = 1;
    driver_.Queue(DialogScriptAnswer{DialogScriptAnswer::Close::DefaultButton, std::string(600, 'z'), -1, "long"});
    EXPECT_EQ(host_.Dialog(kModuleNumber, -1, -1, 50, 8, nullptr, items, 2), 1);
    EXPECT_EQ(std::strlen(items[0].Data), 511u);
}

}  // namespace
}  // namespace farhost
