// Captured runs of real programs through real pipes, and the order of the pipe and process
// steps with failures injected into the real platform.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "ExecTestSupport.h"
#include "exec/ConsoleApp.h"
#include "programs/TestPrograms.h"

#include "support/Failure.h"
#include "support/ListLines.h"
#include "support/TempFolder.h"

namespace {

using support::FailureOf;
using support::LinesOf;
using Lines = std::vector<std::string>;

std::string Repeat(std::size_t count, char c) { return std::string(count, c); }

/// Checks that a run leaves no descriptor and no handle of its own open.
class NoLeaks {
public:
    NoLeaks() : before_(exec_test::OpenDescriptorCount()) { installed_.emplace(platform_); }
    ~NoLeaks() {
        installed_.reset();
        EXPECT_TRUE(platform_.OpenHandles().empty()) << platform_.OpenHandles().size() << " handles left open";
        EXPECT_EQ(platform_.unknownCloses, 0);
        EXPECT_EQ(exec_test::OpenDescriptorCount(), before_);
    }

private:
    std::optional<int> before_;
    exec_test::ForwardingPlatform platform_;
    std::optional<platform::ScopedPlatform> installed_;
};

struct RunCase {
    const char *name;
    std::string arguments;
    Lines lines;
    std::uint32_t exitCode = 0;
};

void PrintTo(const RunCase &c, std::ostream *out) { *out << c.name; }

class CapturedRunTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(CapturedRunTest, AssemblesTheProgramsOutput) {
    const RunCase &c = GetParam();
    NoLeaks check;
    TStringList output;
    std::uint32_t exitCode = 0;
    ASSERT_EQ(FailureOf([&] { exitCode = RunCaptured(KILNRUN_TESTPROG_PATH, c.arguments, output); }),
              "(nothing thrown)");
    EXPECT_EQ(LinesOf(output), c.lines);
    EXPECT_EQ(exitCode, c.exitCode);
}

INSTANTIATE_TEST_SUITE_P(Shapes, CapturedRunTest, ::testing::Values(
    RunCase{"CrLf", "out:a\\r\\nb\\r\\n", {"a", "b", ""}},
    RunCase{"LastLineUnended", "out:a\\r\\nb", {"a", "b"}},
    RunCase{"NoOutput", "", {""}},
    RunCase{"LoneCr", "out:abcdef\\rxy", {"xy"}},
    RunCase{"ProgressCounter", "out:1%\\r out:50%\\r out:100%\\r\\n", {"100%", ""}},
    RunCase{"Nul", "out:x\\0y\\r\\nz", {"x", "z"}},
    RunCase{"BareLf", "out:a\\nb\\n", {"a", "b", ""}},
    RunCase{"StdoutAndStderrInterleaved", "out:one\\r\\n err:two\\r\\n out:three\\r\\n err:four exit:7",
            {"one", "two", "three", "four"}, 7},
    RunCase{"LineSplitAcrossWrites", "out:ab err:cd out:ef\\r\\n", {"abcdef", ""}},
    RunCase{"LongLine", "outrep:600:z out:\\r\\n", {Repeat(256, 'z'), Repeat(256, 'z'), Repeat(88, 'z'), ""}},
    RunCase{"ExitCodeOnly", "exit:42", {""}, 42}));

TEST(CapturedRun, ReadsLargeOutputWhole) {
    NoLeaks check;
    TStringList output;
    ASSERT_EQ(RunCaptured(KILNRUN_TESTPROG_PATH, "outrep:200000:line\\r\\n", output), 0u);
    ASSERT_EQ(output.Count(), 200001u);
    EXPECT_EQ(output.Text(0), "line");
    EXPECT_EQ(output.Text(199999), "line");
    EXPECT_EQ(output.Text(200000), "");
}


TEST(CapturedRun, AProgramReadingItsInputMeetsTheEnd) {
    NoLeaks check;
    TStringList output;
    ASSERT_EQ(RunCaptured(KILNRUN_TESTPROG_PATH, "out:first\\r\\n readin out:done", output), 0u);
    EXPECT_EQ(LinesOf(output), (Lines{"first", "read: 0 bytes", "done"}));
}

TEST(CapturedRun, NotifiesEveryChangeOfTheList) {
    TStringList output;
    std::vector<std::size_t> counts;
    RunCaptured(KILNRUN_TESTPROG_PATH, "out:a\\r\\nb", output,
                [&](const TStringList &list) { counts.push_back(list.Count()); });
    EXPECT_EQ(counts, (std::vector<std::size_t>{1, 1, 2, 2}));
}

TEST(CapturedRun, AMissingProgramIsNotFound) {
    NoLeaks check;
    TStringList output;
    EXPECT_EQ(FailureOf([&] { RunCaptured("kilnrun_no_such_program", "x", output); }),
              "Could not find file kilnrun_no_such_program");
    EXPECT_EQ(output.Count(), 0u);
}

#if defined(_WIN32)
TEST(CapturedRun, RunsBatchFiles) {
    for (const char *batch : {KILNRUN_HELLO_BAT_PATH, KILNRUN_HELLO_CMD_PATH}) {
        NoLeaks check;
        TStringList output;
        ASSERT_EQ(FailureOf([&] { RunCaptured(batch, "one two", output); }), "(nothing thrown)") << batch;
        const std::string name = std::string(batch).substr(std::string(batch).find_last_of('\\') + 1);
        Lines lines = LinesOf(output);
        EXPECT_NE(std::find(lines.begin(), lines.end(), "Hello from " + name), lines.end()) << batch;
        EXPECT_NE(std::find(lines.begin(), lines.end(), "args: one two"), lines.end()) << batch;
    }
}

TEST(CapturedRun, ABatchFileThatPausesEnds) {
    NoLeaks check;
    TStringList output;
    ASSERT_EQ(FailureOf([&] { RunCaptured(KILNRUN_PAUSE_BAT_PATH, "", output); }), "(nothing thrown)");
    Lines lines = LinesOf(output);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "before pause");
    // The prompt of "pause" may share the line.
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                            [](const std::string &line) { return line.ends_with("after pause"); }));
}

TEST(CapturedRun, RefusesAWindowedProgram) {
    NoLeaks check;
    TStringList output;
    EXPECT_EQ(FailureOf([&] { RunCaptured(KILNRUN_GUIPROG_PATH, "", output); }),
              "Executable image is not a supported type");
}

TEST(CapturedRun, RefusesAnInvalidExtension) {
    NoLeaks check;
    TStringList output;
    EXPECT_EQ(FailureOf([&] { RunCaptured("C:\\notes.txt", "", output); }),
              "C:\\notes.txt has invalid file extension");
}

TEST(CapturedRun, TellsTheTypeOfTheRealPrograms) {
    ImageType console = GetImageType(KILNRUN_TESTPROG_PATH);
    EXPECT_TRUE(console.ok);
    EXPECT_EQ(console.binaryType, KILNRUN_PROGRAMS_ARE_64BIT ? platform::kBinary64Bit : platform::kBinary32Bit);
    EXPECT_EQ(console.subsystem, std::optional<std::uint16_t>(3));
    ImageType windowed = GetImageType(KILNRUN_GUIPROG_PATH);
    EXPECT_EQ(windowed.subsystem, std::optional<std::uint16_t>(2));
}

#if KILNRUN_HAVE_PROGRAMS64
// 64-bit console programs run exactly as 32-bit ones; 64-bit windowed programs stay refused.
TEST(CapturedRun, Runs64BitConsolePrograms) {
    NoLeaks check;
    ImageType console = GetImageType(KILNRUN_TESTPROG64_PATH);
    EXPECT_EQ(console.binaryType, platform::kBinary64Bit);
    EXPECT_EQ(console.subsystem, std::optional<std::uint16_t>(3));
    EXPECT_EQ(ResolveProgram(KILNRUN_TESTPROG64_PATH, "x"), "\"" KILNRUN_TESTPROG64_PATH "\" x");
    TStringList output;
    ASSERT_EQ(RunCaptured(KILNRUN_TESTPROG64_PATH, "out:sixty-four\r\n err:bits exit:7", output), 7u);
    EXPECT_EQ(LinesOf(output), (Lines{"sixty-four", "bits"}));
}

TEST(CapturedRun, Refuses64BitWindowedPrograms) {
    NoLeaks check;
    EXPECT_EQ(GetImageType(KILNRUN_GUIPROG64_PATH).subsystem, std::optional<std::uint16_t>(2));
    TStringList output;
    EXPECT_EQ(FailureOf([&] { RunCaptured(KILNRUN_GUIPROG64_PATH, "", output); }),
              "Executable image is not a supported type");
}
#endif
#else
TEST(CapturedRun, RunsAScript) {
    NoLeaks check;
    TStringList output;
    ASSERT_EQ(RunCaptured(KILNRUN_HELLO_SH_PATH, "one two", output), 0u);
    EXPECT_EQ(LinesOf(output), (Lines{"Hello from hello.sh", "args: one two", ""}));
}

TEST(CapturedRun, FindsProgramsOnThePath) {
    NoLeaks check;
    TStringList output;
    ASSERT_EQ(RunCaptured("sh", "-c \"echo found; exit 5\"", output), 5u);
    EXPECT_EQ(LinesOf(output), (Lines{"found", ""}));
}

/// The output ends when the program and the processes it started have closed their copies
/// of it, whatever they go on doing; the run then waits at most 5 s for the program.
struct EndCase {
    const char *name;
    const char *script;
    Lines lines;
    bool programStillRuns;
};

void PrintTo(const EndCase &c, std::ostream *out) { *out << c.name; }

class CapturedRunEndTest : public ::testing::TestWithParam<EndCase> {};

TEST_P(CapturedRunEndTest, ComesWithTheEndOfTheOutput) {
    const EndCase &c = GetParam();
    TStringList output;
    const auto start = std::chrono::steady_clock::now();
    const std::uint32_t exitCode = RunCaptured("sh", std::string("-c \"") + c.script + "\"", output);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(LinesOf(output), c.lines);
    EXPECT_EQ(exitCode, c.programStillRuns ? platform::kStillActive : 0u);
    // Far below the life of the processes left running: the run does not wait for them.
    EXPECT_LT(took, std::chrono::seconds(9));
}

INSTANTIATE_TEST_SUITE_P(Processes, CapturedRunEndTest, ::testing::Values(
    EndCase{"ProgramClosesItsOutput", "echo kept; exec >/dev/null 2>&1; sleep 12", {"kept", ""}, true},
    EndCase{"HelperWritesElsewhere", "sleep 30 >/dev/null 2>&1 & echo kept", {"kept", ""}, false},
    // A helper that keeps the output holds the run until it closes it.
    EndCase{"HelperKeepsTheOutput", "(sleep 2; echo late) & echo early", {"early", "late", ""}, false}));

TEST(CapturedRun, RefusesAFileThatIsNoProgram) {
    support::TempFolder folder("exec");
    const std::string text = folder.Write("notes.txt", "just text\n", true);
    NoLeaks check;
    TStringList output;
    EXPECT_EQ(FailureOf([&] { RunCaptured(text, "", output); }), "Executable image is not a supported type");
}
#endif

/// Records the pipe and process steps of a run on the real platform, failing the step it is
/// told to fail.
class StepPlatform : public exec_test::ForwardingPlatform {
public:
    enum class Fail { None, CreatePipe, ClearInherit, Duplicate, Start };

    bool CreatePipe(platform::NativeHandle &readEnd, platform::NativeHandle &writeEnd) override {
        if (fail == Fail::CreatePipe) return Failed(109);
        bool ok = ForwardingPlatform::CreatePipe(readEnd, writeEnd);
        readEnd_ = readEnd;
        writeEnd_ = writeEnd;
        steps.push_back("CreatePipe");
        return ok;
    }
    bool ClearInheritFlag(platform::NativeHandle handle) override {
        steps.push_back("ClearInheritFlag " + Name(handle));
        if (fail == Fail::ClearInherit) return Failed(6);
        return ForwardingPlatform::ClearInheritFlag(handle);
    }
    platform::NativeHandle DuplicateNonInheritable(platform::NativeHandle handle) override {
        steps.push_back("Duplicate " + Name(handle));
        if (fail == Fail::Duplicate) {
            Failed(8);
            return platform::kNoHandle;
        }
        duplicate_ = ForwardingPlatform::DuplicateNonInheritable(handle);
        return duplicate_;
    }
    platform::NativeHandle StartCapturedProcess(const std::string &commandLine,
                                                platform::NativeHandle output) override {
        steps.push_back("Start " + Name(output));
        if (fail == Fail::Start) {
            Failed(2);
            return platform::kNoHandle;
        }
        process_ = ForwardingPlatform::StartCapturedProcess(commandLine, output);
        return process_;
    }
    long ReadFile(platform::NativeHandle handle, void *buffer, std::size_t size) override {
        long count = ForwardingPlatform::ReadFile(handle, buffer, size);
        if (steps.empty() || steps.back() != "Read " + Name(handle)) steps.push_back("Read " + Name(handle));
        EXPECT_LE(size, 257u);
        return count;
    }
    bool TerminateProcess(platform::NativeHandle process) override {
        steps.push_back("Terminate " + Name(process));
        return ForwardingPlatform::TerminateProcess(process);
    }
    bool WaitForProcess(platform::NativeHandle process, long milliseconds) override {
        steps.push_back("Wait " + Name(process) + " " + std::to_string(milliseconds));
        return ForwardingPlatform::WaitForProcess(process, milliseconds);
    }
    void CloseHandle(platform::NativeHandle handle) override {
        steps.push_back("Close " + Name(handle));
        ForwardingPlatform::CloseHandle(handle);
    }
    bool IsNtPlatform() override { return nt; }
    std::uint32_t LastErrorCode() override { return lastError_; }
    std::string SystemErrorText(std::uint32_t code) override { return "Failure " + std::to_string(code) + ".\r\n"; }

    Fail fail = Fail::None;
    bool nt = true;
    std::vector<std::string> steps;

private:
    bool Failed(std::uint32_t code) {
        lastError_ = code;
        return false;
    }
    std::string Name(platform::NativeHandle handle) const {
        if (handle == readEnd_) return "read";
        if (handle == writeEnd_) return "write";
        if (handle == duplicate_) return "duplicate";
        if (handle == process_) return "process";
        return "other";
    }
    platform::NativeHandle readEnd_ = platform::kNoHandle, writeEnd_ = platform::kNoHandle;
    platform::NativeHandle duplicate_ = platform::kNoHandle, process_ = platform::kNoHandle;
    std::uint32_t lastError_ = 0;
};

/// The steps from the pipe on; the program's resolution comes before and is not recorded.
std::vector<std::string> StepsOfRun(StepPlatform &steps, std::string *failure = nullptr) {
    platform::ScopedPlatform installed(steps);
    TStringList output;
    std::string message = FailureOf([&] { RunCaptured(KILNRUN_TESTPROG_PATH, "out:x\\r\\n", output); });
    if (failure != nullptr) *failure = message;
    std::vector<std::string> result;
    bool started = false;
    for (const std::string &step : steps.steps) {
        started = started || step == "CreatePipe";
        if (started) result.push_back(step);
    }
    EXPECT_TRUE(steps.OpenHandles().empty()) << steps.OpenHandles().size() << " handles left open";
    return result;
}

using Steps = std::vector<std::string>;

TEST(CapturedRunSteps, OnNt) {
    StepPlatform steps;
    EXPECT_EQ(StepsOfRun(steps), (Steps{"CreatePipe", "ClearInheritFlag read", "Start write", "Close write",
                                        "Read read", "Wait process 5000", "Close process", "Close read"}));
}

TEST(CapturedRunSteps, ElsewhereTheReadEndIsDuplicated) {
    StepPlatform steps;
    steps.nt = false;
    EXPECT_EQ(StepsOfRun(steps), (Steps{"CreatePipe", "Duplicate read", "Close read", "Start write",
                                        "Close write", "Read duplicate", "Wait process 5000", "Close process",
                                        "Close duplicate"}));
}

TEST(CapturedRunSteps, OutputBeyondTheCeilingEndsTheProgramAndFails) {
    StepPlatform steps;
    platform::ScopedPlatform installed(steps);
    TStringList output;
    // About 100 GB: the program writes until it is ended.
    const std::string endless = "outrep:4000000000:an\\sendless\\soutput\\r\\n";
    EXPECT_EQ(FailureOf([&] { RunCaptured(KILNRUN_TESTPROG_PATH, endless, output, {}, std::size_t{1} << 20); }),
              "Output too large: 1 MB kept");
    EXPECT_TRUE(output.Empty());
    const Steps tail(steps.steps.end() - 4, steps.steps.end());
    EXPECT_EQ(tail, (Steps{"Terminate process", "Wait process 5000", "Close process", "Close read"}));
    EXPECT_TRUE(steps.OpenHandles().empty());
}

struct FailureCase {
    StepPlatform::Fail fail;
    bool nt;
    const char *message;
    Steps steps;
};

class CapturedRunFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(CapturedRunFailureTest, FailsWithTheSystemErrorAndClosesEverything) {
    StepPlatform steps;
    steps.fail = GetParam().fail;
    steps.nt = GetParam().nt;
    std::string failure;
    std::vector<std::string> recorded = StepsOfRun(steps, &failure);
    EXPECT_EQ(failure, GetParam().message);
    if (!GetParam().steps.empty()) {
        EXPECT_EQ(recorded, GetParam().steps);
    }
}

INSTANTIATE_TEST_SUITE_P(Steps, CapturedRunFailureTest, ::testing::Values(
    FailureCase{StepPlatform::Fail::CreatePipe, true, "Win32 Error.  Code: 109.\nFailure 109", {}},
    FailureCase{StepPlatform::Fail::ClearInherit, true, "Win32 Error.  Code: 6.\nFailure 6",
                {"CreatePipe", "ClearInheritFlag read", "Close write", "Close read"}},
    FailureCase{StepPlatform::Fail::Duplicate, false, "Win32 Error.  Code: 8.\nFailure 8",
                {"CreatePipe", "Duplicate read", "Close write", "Close read"}},
    FailureCase{StepPlatform::Fail::Start, true, "Win32 Error.  Code: 2.\nFailure 2",
                {"CreatePipe", "ClearInheritFlag read", "Start write", "Close write", "Close read"}}));

}  // namespace
