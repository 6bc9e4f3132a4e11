// Pipes and processes with the real test programs: captured and visible starts, exit codes,
// waits, failures to start, handle hygiene, program search and binary types.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "PlatformTestSupport.h"
#include "support/TempFolder.h"

namespace {

using platform::NativeHandle;
using platform::UniqueHandle;
using platform_test::CapturedRun;
using platform_test::RunCaptured;
using support::TempFolder;
using platform_test::Testprog;

platform::Platform &System() { return platform::System(); }

std::string ToLower(std::string text) {
    for (char &c : text) c = static_cast<char>(System().LowerCaseChar(static_cast<unsigned char>(c)));
    return text;
}

TEST(CapturedProcess, DeliversStdoutAndStderrBytesInOrder) {
    CapturedRun run = RunCaptured(Testprog("out:a\\0b\\r\\nc err:E\\rF out:\\xff\\n"));
    ASSERT_TRUE(run.started) << "error " << run.errorCode;
    EXPECT_EQ(run.output, std::string("a\0b\r\ncE\rF\xff\n", 11));
    EXPECT_EQ(run.exitCode, 0u);
}

TEST(CapturedProcess, KeepsInterleavingOfFlushedPieces) {
    CapturedRun run = RunCaptured(Testprog("buffered out:1 err:2 flush err:3 out:4 flush out:5"));
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.output, "12435");
}

TEST(CapturedProcess, GivesNoOutputAsNoBytes) {
    CapturedRun run = RunCaptured(Testprog("exit:0"));
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.output, "");
}

TEST(CapturedProcess, CarriesLargeOutputWhole) {
    CapturedRun run = RunCaptured(Testprog("outrep:1000000:0123456789 out:END"));
    ASSERT_TRUE(run.started);
    ASSERT_EQ(run.output.size(), 10000003u);
    EXPECT_EQ(run.output.substr(0, 20), "01234567890123456789");
    EXPECT_EQ(run.output.substr(run.output.size() - 13), "0123456789END");
}

TEST(CapturedProcess, ReadsTheNullDeviceAsStandardInput) {
    // Reading ends at once, also for a program that would read a console.
    CapturedRun run = RunCaptured(Testprog("stdin readin"));
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.output, "stdin: 0 bytes\r\nread: 0 bytes\r\n");
}

TEST(CapturedProcess, RunsInTheCurrentDirectory) {
    TempFolder dir("platform");
    const std::string before = System().CurrentDirectory();
    ASSERT_TRUE(System().ChangeDirectory(dir.Path().string()));
    const std::string inside = System().CurrentDirectory();
    CapturedRun run = RunCaptured(Testprog("cwd"));
    ASSERT_TRUE(System().ChangeDirectory(before));
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.output, inside + "\r\n");
}

class ExitCodeTest : public testing::TestWithParam<std::uint32_t> {};

TEST_P(ExitCodeTest, IsTheProgramsOwn) {
    CapturedRun run = RunCaptured(Testprog("out:x exit:" + std::to_string(GetParam())));
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.output, "x");
    EXPECT_EQ(run.exitCode, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Codes, ExitCodeTest, testing::Values(0u, 1u, 2u, 7u, 127u, 255u));

#if !defined(_WIN32)
TEST(CapturedProcess, ReportsAKillingSignalAs128PlusItsNumber) {
    CapturedRun run = RunCaptured(Testprog("out:x abort"));
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, 128u + SIGABRT);
}
#endif

TEST(CapturedProcess, ReadsThroughANonInheritableDuplicate) {
    NativeHandle readEnd = platform::kNoHandle;
    NativeHandle writeEnd = platform::kNoHandle;
    ASSERT_TRUE(System().CreatePipe(readEnd, writeEnd));
    UniqueHandle writer(writeEnd);
    UniqueHandle reader(System().DuplicateNonInheritable(readEnd));
    System().CloseHandle(readEnd);
    ASSERT_TRUE(reader.Valid());

    UniqueHandle process(System().StartCapturedProcess(Testprog("out:dup"), writer.Get()));
    ASSERT_TRUE(process.Valid());
    writer.Reset();
    std::string output;
    char buffer[64];
    for (long count; (count = System().ReadFile(reader.Get(), buffer, sizeof buffer)) >= 0;) {
        output.append(buffer, static_cast<std::size_t>(count));
    }
    EXPECT_EQ(output, "dup");
    EXPECT_TRUE(System().WaitForProcess(process.Get(), -1));
}

TEST(Pipe, ReadFailsOnceEveryWriterIsGone) {
    NativeHandle readEnd = platform::kNoHandle;
    NativeHandle writeEnd = platform::kNoHandle;
    ASSERT_TRUE(System().CreatePipe(readEnd, writeEnd));
    UniqueHandle reader(readEnd);
    System().CloseHandle(writeEnd);
    char buffer[8];
    EXPECT_EQ(System().ReadFile(reader.Get(), buffer, sizeof buffer), -1);
}

TEST(StartProcess, FailsForAMissingProgramWithTheSystemsError) {
    TempFolder dir("platform");
    const std::string missing = dir.Name("no-such-program");
    NativeHandle readEnd = platform::kNoHandle;
    NativeHandle writeEnd = platform::kNoHandle;
    ASSERT_TRUE(System().CreatePipe(readEnd, writeEnd));
    UniqueHandle reader(readEnd);
    UniqueHandle writer(writeEnd);

    EXPECT_EQ(System().StartCapturedProcess("\"" + missing + "\" arg", writer.Get()), platform::kNoHandle);
    const std::uint32_t code = System().LastErrorCode();
    EXPECT_EQ(code, platform_test::FileNotFoundCode());
    EXPECT_EQ(System().SystemErrorText(code), System().SystemErrorText(platform_test::FileNotFoundCode()));

    EXPECT_EQ(System().StartVisibleProcess("\"" + missing + "\""), platform::kNoHandle);
    EXPECT_EQ(System().LastErrorCode(), platform_test::FileNotFoundCode());
}

TEST(StartProcess, FailsForAnEmptyCommandLine) {
    EXPECT_EQ(System().StartVisibleProcess(""), platform::kNoHandle);
    EXPECT_NE(System().LastErrorCode(), 0u);
}

#if !defined(_WIN32)
TEST(StartProcess, FailsForAFileThatIsNotAProgram) {
    TempFolder dir("platform");
    const std::string text = dir.Write("notes.txt", "just text\n");
    ::chmod(text.c_str(), 0755);
    // Executed directly: no shell takes over a file that the system cannot run.
    EXPECT_EQ(System().StartVisibleProcess("\"" + text + "\""), platform::kNoHandle);
    EXPECT_EQ(System().LastErrorCode(), static_cast<std::uint32_t>(ENOEXEC));
}
#endif

TEST(VisibleProcess, RunsToItsEndAndGivesItsExitCode) {
    UniqueHandle process(System().StartVisibleProcess(Testprog("exit:3")));
    ASSERT_TRUE(process.Valid()) << "error " << System().LastErrorCode();
    EXPECT_TRUE(System().WaitForProcess(process.Get(), -1));
    EXPECT_EQ(System().GetExitCode(process.Get()), 3u);
}

TEST(VisibleProcess, InheritsNoHandles) {
    // The child would hold the pipe open if it inherited the write end; it must not.
    NativeHandle readEnd = platform::kNoHandle;
    NativeHandle writeEnd = platform::kNoHandle;
    ASSERT_TRUE(System().CreatePipe(readEnd, writeEnd));
    UniqueHandle reader(readEnd);
    UniqueHandle writer(writeEnd);
    UniqueHandle process(System().StartVisibleProcess(Testprog("sleep:3000")));
    ASSERT_TRUE(process.Valid());
    writer.Reset();
    char buffer[8];
    EXPECT_EQ(System().ReadFile(reader.Get(), buffer, sizeof buffer), -1);
    EXPECT_FALSE(System().WaitForProcess(process.Get(), 0));
    EXPECT_TRUE(System().WaitForProcess(process.Get(), -1));
}

TEST(TerminateProcess, EndsAProgramAtOnce) {
    UniqueHandle process(System().StartVisibleProcess(Testprog("sleep:30000")));
    ASSERT_TRUE(process.Valid());
    EXPECT_TRUE(System().TerminateProcess(process.Get()));
    EXPECT_TRUE(System().WaitForProcess(process.Get(), 10000));
#if defined(_WIN32)
    EXPECT_EQ(System().GetExitCode(process.Get()), 1u);
#else
    EXPECT_EQ(System().GetExitCode(process.Get()), 128u + SIGKILL);
#endif
}

TEST(WaitForProcess, GivesUpAfterTheTimeAndWaitsAgainLater) {
    UniqueHandle process(System().StartVisibleProcess(Testprog("sleep:1500 exit:4")));
    ASSERT_TRUE(process.Valid());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(System().WaitForProcess(process.Get(), 200));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(190));
    EXPECT_LT(waited, std::chrono::milliseconds(1400));
    EXPECT_EQ(System().GetExitCode(process.Get()), platform::kStillActive);

    EXPECT_TRUE(System().WaitForProcess(process.Get(), 10000));
    EXPECT_EQ(System().GetExitCode(process.Get()), 4u);
    // An ended process stays ended and keeps its code.
    EXPECT_TRUE(System().WaitForProcess(process.Get(), 0));
    EXPECT_EQ(System().GetExitCode(process.Get()), 4u);
}

TEST(CloseHandle, IgnoresNoHandle) {
    // Closing "no handle" makes no system call: the last error stays, and an open file stays open.
    TempFolder dir("platform");
    UniqueHandle file(System().OpenFileForRead(dir.Write("kept.txt", "kept")));
    ASSERT_TRUE(file.Valid());
    EXPECT_EQ(System().OpenFileForRead(dir.Name("missing.txt")), platform::kNoHandle);
    ASSERT_EQ(System().LastErrorCode(), platform_test::FileNotFoundCode());

    System().CloseHandle(platform::kNoHandle);
    EXPECT_EQ(System().LastErrorCode(), platform_test::FileNotFoundCode());
    char buffer[8];
    EXPECT_EQ(System().ReadFile(file.Get(), buffer, sizeof buffer), 4);
    EXPECT_EQ(std::string(buffer, 4), "kept");
}

TEST(CloseHandle, LetsARunningProcessGoOn) {
    UniqueHandle reader;
    UniqueHandle writer;
    {
        NativeHandle readEnd = platform::kNoHandle;
        NativeHandle writeEnd = platform::kNoHandle;
        ASSERT_TRUE(System().CreatePipe(readEnd, writeEnd));
        reader.Reset(readEnd);
        writer.Reset(writeEnd);
    }
    System().ClearInheritFlag(reader.Get());
    System().CloseHandle(System().StartCapturedProcess(Testprog("sleep:300 out:late"), writer.Get()));
    writer.Reset();
    std::string output;
    char buffer[16];
    for (long count; (count = System().ReadFile(reader.Get(), buffer, sizeof buffer)) >= 0;) {
        output.append(buffer, static_cast<std::size_t>(count));
    }
    EXPECT_EQ(output, "late");
}

#if !defined(_WIN32)
/// The children of this process that have ended but were not reaped.
int ZombieChildren() {
    int zombies = 0;
    const std::string parent = std::to_string(::getpid());
    for (const auto &entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line)) continue;
        // "pid (name) state ppid ...": the name may hold blanks, so read after its ")".
        std::size_t close = line.rfind(')');
        if (close == std::string::npos || close + 4 > line.size()) continue;
        std::istringstream rest(line.substr(close + 2));
        std::string state, ppid;
        rest >> state >> ppid;
        if (state == "Z" && ppid == parent) ++zombies;
    }
    return zombies;
}

TEST(CloseHandle, LeavesNoZombieOfAChildClosedWhileRunning) {
    System().CloseHandle(System().StartVisibleProcess(Testprog("sleep:100")));
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    // The next start reaps it.
    UniqueHandle next(System().StartVisibleProcess(Testprog("exit:0")));
    ASSERT_TRUE(next.Valid());
    EXPECT_TRUE(System().WaitForProcess(next.Get(), -1));
    next.Reset();
    EXPECT_EQ(ZombieChildren(), 0);
}
#endif

#if defined(_WIN32)
/// The number of open handles; where the system does not tell it (Wine), the value of the
/// next free handle stands in: freed slots are reused, so a leak moves it.
std::size_t OpenHandleCount() {
    DWORD count = 0;
    if (::GetProcessHandleCount(::GetCurrentProcess(), &count) && count > 0) return count;
    HANDLE probe = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (probe == nullptr) return 0;
    ::CloseHandle(probe);
    return reinterpret_cast<std::size_t>(probe);
}
#else
std::size_t OpenHandleCount() {
    std::size_t count = 0;
    for (const auto &entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        (void)entry;
        ++count;
    }
    return count;
}
#endif

TEST(Handles, ARunLeavesNoneOpen) {
    RunCaptured(Testprog("out:warm"));  // the first run may set up things that stay
    const std::size_t before = OpenHandleCount();
    if (before == 0) GTEST_SKIP() << "handle count not available";
    for (int i = 0; i < 5; ++i) {
        CapturedRun run = RunCaptured(Testprog("out:x exit:1"));
        ASSERT_TRUE(run.started);
        RunCaptured("\"" + std::string(KILNRUN_TEST_PROGRAMS_DIR) + "/missing\"");
        UniqueHandle process(System().StartVisibleProcess(Testprog("exit:0")));
        System().WaitForProcess(process.Get(), -1);
    }
    EXPECT_EQ(OpenHandleCount(), before);
}

#if !defined(_WIN32)
/// Whether descriptor `fd` is open in a captured child (the shell tests its own descriptors).
bool OpenInCapturedChild(NativeHandle fd, NativeHandle output) {
    const std::string line = "/bin/sh -c \"[ -e /proc/self/fd/" + std::to_string(fd) + " ]\"";
    UniqueHandle process(System().StartCapturedProcess(line, output));
    return process.Valid() && System().WaitForProcess(process.Get(), -1) &&
           System().GetExitCode(process.Get()) == 0;
}

TEST(Handles, ACapturedChildHoldsOnlyItsStandardDescriptors) {
    NativeHandle readEnd = platform::kNoHandle;
    NativeHandle writeEnd = platform::kNoHandle;
    ASSERT_TRUE(System().CreatePipe(readEnd, writeEnd));
    UniqueHandle reader(readEnd);
    UniqueHandle writer(writeEnd);
    // A descriptor the host left open without close-on-exec stays in the host only.
    UniqueHandle leftOpen(::open("/dev/null", O_RDONLY));
    ASSERT_TRUE(leftOpen.Valid());
    ASSERT_EQ(::fcntl(static_cast<int>(writeEnd), F_SETFD, 0), 0);

    for (NativeHandle fd : {readEnd, writeEnd, leftOpen.Get()})
        EXPECT_FALSE(OpenInCapturedChild(fd, writer.Get())) << "descriptor " << fd;
    for (NativeHandle fd : {0, 1, 2}) EXPECT_TRUE(OpenInCapturedChild(fd, writer.Get())) << "descriptor " << fd;
}
#endif

// --- Program search and binary types -------------------------------------------------------

TEST(FindOnSearchPath, FindsTheTestProgramInTheCurrentDirectory) {
    const std::string before = System().CurrentDirectory();
    ASSERT_TRUE(System().ChangeDirectory(KILNRUN_TEST_PROGRAMS_DIR));
#if defined(_WIN32)
    std::optional<std::string> found = System().FindOnSearchPath(KILNRUN_TESTPROG_NAME, ".EXE");
    std::optional<std::string> relative = System().FindOnSearchPath(".\\" KILNRUN_TESTPROG_NAME ".exe", ".EXE");
#else
    std::optional<std::string> found = System().FindOnSearchPath("./" KILNRUN_TESTPROG_NAME, ".EXE");
    std::optional<std::string> relative = System().FindOnSearchPath("../programs/./" KILNRUN_TESTPROG_NAME, "");
#endif
    ASSERT_TRUE(System().ChangeDirectory(before));
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(ToLower(*found), ToLower(KILNRUN_TESTPROG_PATH));
    ASSERT_TRUE(relative.has_value());
    EXPECT_EQ(ToLower(*relative), ToLower(KILNRUN_TESTPROG_PATH));
}

TEST(FindOnSearchPath, TakesAFullNameAsItIs) {
    std::optional<std::string> found = System().FindOnSearchPath(KILNRUN_TESTPROG_PATH, ".EXE");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(ToLower(*found), ToLower(KILNRUN_TESTPROG_PATH));
}

TEST(FindOnSearchPath, FindsNothingForAMissingProgram) {
    EXPECT_EQ(System().FindOnSearchPath("kilnrun-no-such-program-here", ".EXE"), std::nullopt);
    EXPECT_EQ(System().FindOnSearchPath(std::string(KILNRUN_TEST_PROGRAMS_DIR) + "/missing", ".EXE"),
              std::nullopt);
}

#if !defined(_WIN32)
/// Puts a folder at the front of PATH for one test.
class PathPrefix {
public:
    explicit PathPrefix(const std::string &dir) {
        const char *path = std::getenv("PATH");
        saved_ = path != nullptr ? path : "";
        ::setenv("PATH", (dir + ":" + saved_).c_str(), 1);
    }
    ~PathPrefix() { ::setenv("PATH", saved_.c_str(), 1); }
    PathPrefix(const PathPrefix &) = delete;
    PathPrefix &operator=(const PathPrefix &) = delete;

private:
    std::string saved_;
};

TEST(FindOnSearchPath, SearchesPathForExecutableFilesOnly) {
    TempFolder dir("platform");
    const std::string data = dir.Write("kilnrun-data", "x");
    ::chmod(data.c_str(), 0644);
    std::filesystem::create_directory(dir.Path() / "kilnrun-folder");
    PathPrefix prefix(KILNRUN_TEST_PROGRAMS_DIR ":" + dir.Path().string());

    EXPECT_EQ(System().FindOnSearchPath(KILNRUN_TESTPROG_NAME, ".EXE"), KILNRUN_TESTPROG_PATH);
    EXPECT_EQ(System().FindOnSearchPath("kilnrun-data", ""), std::nullopt);
    EXPECT_EQ(System().FindOnSearchPath("kilnrun-folder", ""), std::nullopt);
    EXPECT_EQ(System().FindOnSearchPath("sh", ".EXE").value_or("").back(), 'h');
}

TEST(StartProcess, SearchesPathForABareName) {
    PathPrefix prefix(KILNRUN_TEST_PROGRAMS_DIR);
    CapturedRun run = RunCaptured(KILNRUN_TESTPROG_NAME " out:found");
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.output, "found");
}
#endif

TEST(BinaryTypeOf, KnowsTheTestPrograms) {
#if defined(_WIN32)
    const std::uint32_t programs = KILNRUN_PROGRAMS_ARE_64BIT ? platform::kBinary64Bit : platform::kBinary32Bit;
    EXPECT_EQ(System().BinaryTypeOf(KILNRUN_TESTPROG_PATH), programs);
    EXPECT_EQ(System().BinaryTypeOf(KILNRUN_GUIPROG_PATH), programs);
    EXPECT_EQ(System().BinaryTypeOf(KILNRUN_HELLO_BAT_PATH), std::nullopt);
#else
    EXPECT_EQ(System().BinaryTypeOf(KILNRUN_TESTPROG_PATH), platform::kBinaryNative);
    EXPECT_EQ(System().BinaryTypeOf(KILNRUN_HELLO_SH_PATH), platform::kBinaryNative);
    EXPECT_EQ(System().BinaryTypeOf(KILNRUN_HELLO_BAT_PATH), platform::kBinaryOther);
#endif
    EXPECT_EQ(System().BinaryTypeOf(std::string(KILNRUN_TEST_PROGRAMS_DIR) + "/missing"), std::nullopt);
    EXPECT_EQ(System().BinaryTypeOf(KILNRUN_TEST_PROGRAMS_DIR), std::nullopt);
}

#if !defined(_WIN32)
TEST(BinaryTypeOf, WantsTheExecutableBitForNativePrograms) {
    TempFolder dir("platform");
    const std::string script = dir.Write("script", "#!/bin/sh\necho hi\n");
    ::chmod(script.c_str(), 0644);
    EXPECT_EQ(System().BinaryTypeOf(script), platform::kBinaryOther);
    ::chmod(script.c_str(), 0755);
    EXPECT_EQ(System().BinaryTypeOf(script), platform::kBinaryNative);
    const std::string tiny = dir.Write("tiny", "#");
    EXPECT_EQ(System().BinaryTypeOf(tiny), platform::kBinaryOther);
}
#endif

// --- Batch files and scripts ---------------------------------------------------------------

#if defined(_WIN32)
class BatchFileTest : public testing::TestWithParam<const char *> {};

TEST_P(BatchFileTest, RunsThroughTheCommandInterpreter) {
    const std::string path = GetParam();
    const std::string leaf = path.substr(path.find_last_of('\\') + 1);
    CapturedRun run = RunCaptured("\"" + path + "\" one two");
    ASSERT_TRUE(run.started) << "error " << run.errorCode;
    EXPECT_EQ(run.output, "Hello from " + leaf + "\r\nargs: one two\r\n");
}

INSTANTIATE_TEST_SUITE_P(Both, BatchFileTest,
                         testing::Values(KILNRUN_HELLO_BAT_PATH, KILNRUN_HELLO_CMD_PATH));

TEST(BatchFile, PauseEndsAtOnce) {
    CapturedRun run = RunCaptured("\"" KILNRUN_PAUSE_BAT_PATH "\"");
    ASSERT_TRUE(run.started) << "error " << run.errorCode;
    EXPECT_EQ(run.output.rfind("before pause\r\n", 0), 0u) << run.output;
    EXPECT_NE(run.output.find("after pause\r\n"), std::string::npos) << run.output;
}

TEST(GuiProgram, StartsAndEnds) {
    UniqueHandle process(System().StartVisibleProcess("\"" KILNRUN_GUIPROG_PATH "\""));
    ASSERT_TRUE(process.Valid());
    EXPECT_TRUE(System().WaitForProcess(process.Get(), 30000));
    EXPECT_EQ(System().GetExitCode(process.Get()), 0u);
}
#else
TEST(Script, RunsDirectlyThroughItsInterpreterLine) {
    CapturedRun run = RunCaptured("\"" KILNRUN_HELLO_SH_PATH "\" one \"two three\"");
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.output, "Hello from hello.sh\nargs: one two three\n");
}

TEST(GetExitCode, IsUnknownForAHandleThatIsNoProcess) {
    EXPECT_EQ(System().GetExitCode(12345678), platform::kUnknownExitCode);
    EXPECT_FALSE(System().WaitForProcess(12345678, 0));
}
#endif

}  // namespace
