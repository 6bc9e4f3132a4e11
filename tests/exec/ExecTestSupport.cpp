#include "ExecTestSupport.h"

#include <filesystem>
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

}  // namespace exec_test
