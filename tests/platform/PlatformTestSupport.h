// Helpers shared by the platform tests: scratch folders and runs of the test programs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/Platform.h"
#include "programs/TestPrograms.h"

namespace platform_test {

/// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchDir {
public:
    ScratchDir() {
        static int counter = 0;
        auto base = std::filesystem::temp_directory_path();
        for (;;) {
            path_ = base / ("kilnrun-platform-" + std::to_string(Pid()) + "-" +
                            std::to_string(++counter));
            if (std::filesystem::create_directory(path_)) break;
        }
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;

    const std::filesystem::path &Path() const { return path_; }
    std::string Name(const std::string &leaf) const { return (path_ / leaf).string(); }

    /// Writes `bytes` exactly (binary) to a file in the folder; returns its full name.
    std::string Write(const std::string &leaf, const std::string &bytes) const {
        std::ofstream file(path_ / leaf, std::ios::binary);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return Name(leaf);
    }

private:
    static long Pid();
    std::filesystem::path path_;
};

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
