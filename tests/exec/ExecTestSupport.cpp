#include "ExecTestSupport.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace exec_test {

std::optional<int> OpenDescriptorCount() {
#if defined(_WIN32)
    return std::nullopt;
#else
    std::error_code error;
    int count = 0;
    for (auto it = std::filesystem::directory_iterator("/proc/self/fd", error);
         !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        ++count;
    }
    if (error) return std::nullopt;
    return count;
#endif
}

TempFolder::TempFolder() {
    static std::atomic<int> serial{0};
    path_ = std::filesystem::temp_directory_path() /
            ("kilnrun_exec_test_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) +
             "_" + std::to_string(serial++));
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::Write(const std::string &name, const std::string &bytes, bool executable) const {
    std::filesystem::path file = path_ / name;
    {
        std::ofstream out(file, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    if (executable) {
        std::filesystem::permissions(file, std::filesystem::perms::owner_exec,
                                     std::filesystem::perm_options::add);
    }
    return file.string();
}

std::string FailureOf(const std::function<void()> &action) {
    try {
        action();
    } catch (const std::runtime_error &failure) {
        return failure.what();
    }
    return "(nothing thrown)";
}

}  // namespace exec_test
