// The visible run in the console, the dispatch of RunCommand and the program split.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "ExecTestSupport.h"
#include "exec/ConsoleApp.h"
#include "exec/RunCommand.h"
#include "navigate/OutputStore.h"
#include "plugin/farapi/FARUtils.h"
#include "programs/TestPrograms.h"

#include "support/Failure.h"
#include "support/FakeHost.h"

namespace {

using support::FailureOf;
using testing_host::FakeHost;
using Lines = std::vector<std::string>;

void SetVariable(const std::string &name, const std::string &value) {
#if defined(_WIN32)
    ::SetEnvironmentVariableA(name.c_str(), value.c_str());
#else
    ::setenv(name.c_str(), value.c_str(), 1);
#endif
}

std::string TestProgramCommand(const std::string &arguments) {
    return "\"" + std::string(KILNRUN_TESTPROG_PATH) + "\" " + arguments;
}

/// The real platform with a console of known size, recording titles, cursor moves and what is
/// written to standard output (unless `realStdout`).
class ConsolePlatform : public exec_test::ForwardingPlatform {
public:
    std::optional<platform::ConsoleBufferInfo> GetConsoleBufferInfo() override { return buffer; }
    void SetConsoleCursorPosition(int column, int row) override {
        events.push_back("Cursor " + std::to_string(column) + "," + std::to_string(row));
    }
    bool WriteConsoleTitle(const std::string &title) override {
        events.push_back("Title " + title);
        return ForwardingPlatform::WriteConsoleTitle(title);
    }
    void WriteStdout(const std::string &bytes) override {
        events.push_back("Write " + bytes);
        if (realStdout) ForwardingPlatform::WriteStdout(bytes);
    }
    platform::NativeHandle StartVisibleProcess(const std::string &commandLine) override {
        events.push_back("Start " + commandLine);
        return ForwardingPlatform::StartVisibleProcess(commandLine);
    }
    bool WaitForProcess(platform::NativeHandle process, long milliseconds) override {
        events.push_back("Wait " + std::to_string(milliseconds));
        return ForwardingPlatform::WaitForProcess(process, milliseconds);
    }

    std::optional<platform::ConsoleBufferInfo> buffer = platform::ConsoleBufferInfo{1500, 3, 7, 2};
    bool realStdout = false;
    std::vector<std::string> events;
};

/// Records the area the screen is saved for, then lets the fake host save it.
struct SaveScreenArea {
    static inline FARAPISAVESCREEN hostService = nullptr;
    static inline std::string area;
    static HANDLE FARAPI Save(int x1, int y1, int x2, int y2) {
        area = std::to_string(x1) + "," + std::to_string(y1) + "," + std::to_string(x2) + "," + std::to_string(y2);
        return hostService(x1, y1, x2, y2);
    }
};

class VisibleRunTest : public ::testing::Test {
protected:
    VisibleRunTest() {
        info_ = host_.StartupInfo();
        SaveScreenArea::hostService = info_.SaveScreen;
        SaveScreenArea::area.clear();
        info_.SaveScreen = &SaveScreenArea::Save;
        far::SetStartupInfo(&info_);
        platform::System().WriteConsoleTitle("title before");
        before_ = platform::System().ReadConsoleTitle(513);
    }
    ~VisibleRunTest() override { far::ResetStartupInfo(); }

    /// The host calls with the blanking rows summarised.
    Lines HostCalls() const { return host_.calls; }

    /// The title events that put the title back; none where the title can't be read (a Windows
    /// program without a console).
    Lines TitleRestored() const { return before_ ? Lines{"Title " + *before_} : Lines{}; }
    static Lines Joined(Lines first, const Lines &second) {
        first.insert(first.end(), second.begin(), second.end());
        return first;
    }

    FakeHost host_;
    PluginStartupInfo info_{};
    ConsolePlatform console_;
    std::optional<std::string> before_;
};

TEST_F(VisibleRunTest, RunsInTheClearedConsoleAndPutsTheHostBack) {
    const std::string line = TestProgramCommand("exit:3");
    {
        platform::ScopedPlatform installed(console_);
        RunVisible(line);
    }
    EXPECT_EQ(HostCalls(), (Lines{"SaveScreen", "Text 0,0 color 8 len 1500", "Text 0,1 color 8 len 1500",
                                  "Text 0,2 color 8 len 1500", "Text 0,0 color 0 null", "Control 15",
                                  "RestoreScreen null", "RestoreScreen handle"}));
    EXPECT_EQ(SaveScreenArea::area, "0,0,-1,-1");
    EXPECT_EQ(console_.events, Joined({"Cursor 0,2", "Title " + line, "Write >\"" + line + "\"\r\n",
                                       "Start " + line, "Wait -1"},
                                      TitleRestored()));
    EXPECT_TRUE(console_.OpenHandles().empty());
    EXPECT_EQ(platform::System().ReadConsoleTitle(513), before_);
}

TEST_F(VisibleRunTest, AProgramThatCannotStartLeavesTheSystemTextOnTheConsole) {
    const std::string line = "kilnrun_no_such_program with arguments";
    {
        platform::ScopedPlatform installed(console_);
        EXPECT_EQ(FailureOf([&] { RunVisible(line); }), "(nothing thrown)");
    }
    ASSERT_EQ(console_.events.size(), 5u + TitleRestored().size());
    EXPECT_EQ(console_.events[2], "Write >\"" + line + "\"\r\n");
    EXPECT_EQ(console_.events[3], "Start " + line);
    const std::string &text = console_.events[4];
#if defined(_WIN32)
    EXPECT_TRUE(text.size() > 8 && text.ends_with("\r\n") && !text.ends_with("\r\n\r\n")) << text;
#else
    EXPECT_EQ(text, "Write No such file or directory\r\n");
#endif
    EXPECT_EQ(Lines(console_.events.begin() + 5, console_.events.end()), TitleRestored());
    EXPECT_EQ(host_.calls.back(), "RestoreScreen handle");
    EXPECT_EQ(host_.boxes.size(), 0u);
    EXPECT_EQ(platform::System().ReadConsoleTitle(513), before_);
}

TEST_F(VisibleRunTest, WithoutAConsoleNothingIsBlanked) {
    console_.buffer = std::nullopt;
    {
        platform::ScopedPlatform installed(console_);
        RunVisible(TestProgramCommand(""));
    }
    EXPECT_EQ(HostCalls(), (Lines{"SaveScreen", "Text 0,0 color 0 null", "Control 15", "RestoreScreen null",
                                  "RestoreScreen handle"}));
}

#if !defined(_WIN32)
/// Standard output sent into a pipe for the lifetime of the object.
class CapturedStdout {
public:
    CapturedStdout() {
        int ends[2];
        if (::pipe(ends) != 0) throw std::runtime_error("pipe");
        readEnd_ = ends[0];
        saved_ = ::dup(1);
        ::dup2(ends[1], 1);
        ::close(ends[1]);
    }
    ~CapturedStdout() { Restore(); }
    /// Puts standard output back and returns what was written meanwhile.
    std::string Restore() {
        if (saved_ < 0) return text_;
        ::dup2(saved_, 1);
        ::close(saved_);
        saved_ = -1;
        char buffer[4096];
        for (ssize_t count; (count = ::read(readEnd_, buffer, sizeof buffer)) > 0;) text_.append(buffer, count);
        ::close(readEnd_);
        return text_;
    }

private:
    int readEnd_ = -1;
    int saved_ = -1;
    std::string text_;
};

TEST_F(VisibleRunTest, EchoAndProgramShareTheRealStandardOutput) {
    const std::optional<int> descriptors = exec_test::OpenDescriptorCount();
    const std::string line = TestProgramCommand("out:hello\\r\\n");
    std::string written;
    {
        CapturedStdout capture;
        RunVisible(line);
        written = capture.Restore();
    }
    EXPECT_EQ(written, ">\"" + line + "\"\r\nhello\r\n");
    EXPECT_EQ(exec_test::OpenDescriptorCount(), descriptors);
    EXPECT_EQ(platform::System().ReadConsoleTitle(513), before_);
}
#endif

struct SplitCase {
    const char *line;
    const char *program;
    const char *arguments;
};

class SplitProgramTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitProgramTest, SplitsAtTheFirstBlankOrClosingQuote) {
    const ProgramAndArguments split = SplitProgram(GetParam().line);
    EXPECT_EQ(split.program, GetParam().program) << GetParam().line;
    EXPECT_EQ(split.arguments, GetParam().arguments) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(Lines, SplitProgramTest, ::testing::Values(
    SplitCase{"gcc -c main.c", "gcc", "-c main.c"},
    SplitCase{"   gcc  -c main.c", "gcc", " -c main.c"},
    SplitCase{"gcc", "gcc", ""},
    SplitCase{"gcc ", "gcc", ""},
    SplitCase{"\"C:\\Program Files\\tcc.exe\" -run x.c", "C:\\Program Files\\tcc.exe", " -run x.c"},
    SplitCase{"  \"a b\"c d", "a b", "c d"},
    SplitCase{"\"unclosed quote", "unclosed quote", ""},
    SplitCase{"\"\"", "", ""},
    SplitCase{"tool\targ x", "tool\targ", "x"},
    SplitCase{"", "", ""},
    SplitCase{"    ", "    ", ""}));

TEST(ExpandEnvironment, ReplacesVariablesAndKeepsLongExpansionsWhole) {
    SetVariable("KILNRUN_EXEC_SHORT", "abc");
    SetVariable("KILNRUN_EXEC_LONG", std::string(300, 'L'));
    EXPECT_EQ(ExpandEnvironment("x %KILNRUN_EXEC_SHORT% y"), "x abc y");
    EXPECT_EQ(ExpandEnvironment("%KILNRUN_EXEC_UNKNOWN_NAME%"), "%KILNRUN_EXEC_UNKNOWN_NAME%");
    EXPECT_EQ(ExpandEnvironment("<%KILNRUN_EXEC_LONG%>"), "<" + std::string(300, 'L') + ">");
}

class RunCommandTest : public VisibleRunTest {};

TEST_F(RunCommandTest, CapturesWithTheTitleOfTheUnexpandedLine) {
    SetVariable("KILNRUN_EXEC_WORD", "expanded");
    const std::string line = TestProgramCommand("out:%KILNRUN_EXEC_WORD%\\r\\n");
    std::unique_ptr<TStringList> output;
    {
        platform::ScopedPlatform installed(console_);
        output = RunCommand(line, true);
    }
    ASSERT_NE(output, nullptr);
    ASSERT_EQ(output->Count(), 2u);
    EXPECT_EQ(output->Text(0), "expanded");
    EXPECT_EQ(console_.events, Joined({"Title " + line + " - Kilnrun", "Wait 5000"}, TitleRestored()));
    EXPECT_FALSE(TheConsoleTitleSaver().Holds());
    EXPECT_TRUE(console_.OpenHandles().empty());
}

TEST_F(RunCommandTest, AFailedCaptureKeepsTheTitleForLater) {
    const std::string line = "kilnrun_no_such_program %KILNRUN_EXEC_WORD%";
    {
        platform::ScopedPlatform installed(console_);
        EXPECT_EQ(FailureOf([&] { RunCommand(line, true); }), "Could not find file kilnrun_no_such_program");
    }
    EXPECT_EQ(console_.events, (Lines{"Title " + line + " - Kilnrun"}));
    // The saver keeps the title from before the run (when there is one to read).
    EXPECT_EQ(TheConsoleTitleSaver().Holds(), before_.has_value());
    TheConsoleTitleSaver().RestoreConsoleTitle();
    EXPECT_EQ(platform::System().ReadConsoleTitle(513), before_);
}

TEST_F(RunCommandTest, AVisibleRunGivesNoList) {
    SetVariable("KILNRUN_EXEC_ZERO", "0");
    std::unique_ptr<TStringList> output = std::make_unique<TStringList>();
    {
        platform::ScopedPlatform installed(console_);
        output = RunCommand(TestProgramCommand("sleep:%KILNRUN_EXEC_ZERO%"), false);
    }
    EXPECT_EQ(output, nullptr);
    EXPECT_EQ(console_.events.at(1), "Title " + TestProgramCommand("sleep:0"));
}

}  // namespace
