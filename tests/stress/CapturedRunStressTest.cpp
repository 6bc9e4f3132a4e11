// Many captured runs, and one very large one, against the real test program through real pipes.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "config/TStringList.h"
#include "exec/ConsoleApp.h"
#include "programs/TestPrograms.h"
#include "stress/StressSupport.h"
#include "support/Failure.h"
#include "support/TempFolder.h"

namespace {

/// One captured run, successful or not: the message when it failed, "(nothing thrown)" otherwise.
std::string RunOnce(const std::string &program, const std::string &arguments) {
    TStringList output;
    return support::FailureOf([&] { RunCaptured(program, arguments, output); });
}

constexpr const char *kSucceeds = "(nothing thrown)";

struct RunKind {
    const char *name;
    std::string program;
    std::string arguments;
    const char *messageStart;  // kSucceeds: the run succeeds
};

std::vector<RunKind> RunKinds(const std::filesystem::path &scratch) {
    const std::string dataFile = (scratch / (stress::WindowsBuild() ? "data.exe" : "data.bin")).string();
    support::WriteFile(dataFile, "not a program\n");
    return {
        {"output on both streams", KILNRUN_TESTPROG_PATH, "out:main.c:1:\\serror\\r\\n err:warning\\r\\n", kSucceeds},
        {"nothing written", KILNRUN_TESTPROG_PATH, "exit:0", kSucceeds},
        {"failing exit code", KILNRUN_TESTPROG_PATH, "out:x exit:7", kSucceeds},
        {"asks for input", KILNRUN_TESTPROG_PATH, "stdin", kSucceeds},
        {"ends abruptly", KILNRUN_TESTPROG_PATH, "out:half abort", kSucceeds},
        {"missing program", (scratch / "no-such-program").string(), "", "Could not find file"},
        {"not a program", dataFile, "",
         stress::WindowsBuild() ? "Could not determine type" : "Executable image is not a supported type"},
    };
}

TEST(CapturedRunStress, ManyRunsLeaveNoDescriptorOrHandleOpen) {
    support::TempFolder scratch("fds");
    const std::vector<RunKind> kinds = RunKinds(scratch.Path());
    // Warm up first: the first run may open lasting handles of the runtime (Wine's, mostly).
    for (const RunKind &kind : kinds) RunOnce(kind.program, kind.arguments);
    const std::optional<long> before = stress::OpenHandleCount();
    if (!before) GTEST_SKIP() << "this system cannot count the process's open handles";

    const std::size_t rounds = stress::Scaled(100);
    for (std::size_t round = 0; round < rounds; ++round) {
        for (const RunKind &kind : kinds) {
            const std::string message = RunOnce(kind.program, kind.arguments);
            ASSERT_EQ(message.rfind(kind.messageStart, 0), 0u) << kind.name << ": " << message;
        }
    }
    EXPECT_EQ(stress::OpenHandleCount(), before) << "after " << rounds * kinds.size() << " runs";
}

TEST(CapturedRunStress, HundredMegabytesKeepEveryLineWithinBoundedMemory) {
    // 80 characters and CR LF: 12,800 lines to the megabyte.
    const std::size_t megabytes = stress::Scaled(100);
    const std::size_t lines = megabytes * 12800;
    const std::string line(78, 'x');
    const std::optional<long long> residentBefore = stress::CurrentResidentBytes();

    TStringList output;
    ASSERT_EQ(RunCaptured(KILNRUN_TESTPROG_PATH, "outrep:" + std::to_string(lines) + ":" + line + "\\r\\n", output), 0u);

    ASSERT_EQ(output.Count(), lines + 1);  // the final line end leaves one empty entry
    std::size_t kept = 0;
    for (std::size_t i = 0; i < lines; ++i) kept += output[i] == line;
    EXPECT_EQ(kept, lines);
    EXPECT_EQ(output[lines], "");

    // The list holds 78 bytes of text per line; with the string and entry overhead and the
    // vector's growth, the whole run may use at most 3 times the output's size.
    const std::optional<long long> peak = stress::PeakResidentBytes();
    if (stress::Sanitized() || !residentBefore || !peak) return;  // no meaningful figure there
    const long long bound = 3LL * static_cast<long long>(megabytes) * 1024 * 1024;
    ::testing::Test::RecordProperty("peak_growth_mb", static_cast<int>((*peak - *residentBefore) / 1048576));
    EXPECT_LE(*peak - *residentBefore, bound) << "peak resident set grew by " << (*peak - *residentBefore) / 1048576
                                              << " MB for " << megabytes << " MB of output";
}

TEST(CapturedRunStress, EndlessOutputStopsAtTheCeilingAndLaterRunsWork) {
    // In the 32-bit module the ceiling is what keeps the host's 2 GB from filling up.
    if (stress::Sanitized()) GTEST_SKIP() << "256 MB through the sanitizers takes too long";
    const std::optional<long> handlesBefore = stress::OpenHandleCount();
    TStringList output;
    // About 330 GB of 82-byte lines: far more than a 32-bit process could hold.
    const std::string endless = "outrep:4000000000:" + std::string(78, 'x') + "\\r\\n";
    std::string failure;
    try {
        RunCaptured(KILNRUN_TESTPROG_PATH, endless, output);
    } catch (const std::runtime_error &error) {
        failure = error.what();
    }
    // The run stops at the first read past 256 MB; the figure counts the entries too.
    const std::string start = "Output too large: ";
    ASSERT_EQ(failure.substr(0, start.size()), start) << failure;
    const int kept = std::stoi(failure.substr(start.size()));
    EXPECT_TRUE(kept >= 256 && kept <= 260) << failure;
    EXPECT_EQ(failure.substr(failure.size() - 8), " MB kept") << failure;
    EXPECT_TRUE(output.Empty());

    ASSERT_EQ(RunCaptured(KILNRUN_TESTPROG_PATH, "out:after\\r\\n", output), 0u);
    EXPECT_EQ(output.Count(), 2u);
    EXPECT_EQ(output[0], "after");
    EXPECT_EQ(stress::OpenHandleCount(), handlesBefore);
}

}  // namespace
