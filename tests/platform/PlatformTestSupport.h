// Helpers shared by the platform tests: runs of the test programs and the system's error codes.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform.h"
#include "programs/TestPrograms.h"

namespace platform_test {

/// What one captured run of a program gave.
struct CapturedRun {
    bool started = false;
    std::uint32_t errorCode = 0;  // the last error when it did not start
    std::string output;           // standard output and standard error, in order
    std::uint32_t exitCode = 0;
};

/// Runs `commandLine` hidden with its output on a pipe, as the captured run does, and reads
/// the pipe to its end.
CapturedRun RunCaptured(const std::string &commandLine);

/// The command line that runs the test program with `arguments`.
inline std::string Testprog(const std::string &arguments) {
    return std::string("\"") + KILNRUN_TESTPROG_PATH + "\" " + arguments;
}

/// The name of the platform's "file not found" error code.
std::uint32_t FileNotFoundCode();

}  // namespace platform_test
