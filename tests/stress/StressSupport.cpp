#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "stress/StressSupport.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace stress {

#if defined(_WIN32)
std::optional<long> OpenHandleCount() {
    // Looked up at run time: not every Wine has it.
    using CountFunction = BOOL(WINAPI *)(HANDLE, PDWORD);
    HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    auto count = kernel ? reinterpret_cast<CountFunction>(
                              reinterpret_cast<void *>(::GetProcAddress(kernel, "GetProcessHandleCount")))
                        : nullptr;
    DWORD handles = 0;
    if (count == nullptr || !count(::GetCurrentProcess(), &handles) || handles == 0) return std::nullopt;
    return static_cast<long>(handles);
}

std::optional<long long> PeakResidentBytes() { return std::nullopt; }
std::optional<long long> CurrentResidentBytes() { return std::nullopt; }
#else
std::optional<long> OpenHandleCount() {
    std::error_code error;
    long count = 0;
    for (fs::directory_iterator it("/proc/self/fd", error), end; !error && it != end; it.increment(error)) ++count;
    if (error) return std::nullopt;
    return count - 1;  // the iterator's own descriptor
}

std::optional<long long> PeakResidentBytes() {
    rusage usage{};
    if (::getrusage(RUSAGE_SELF, &usage) != 0) return std::nullopt;
    return static_cast<long long>(usage.ru_maxrss) * 1024;
}

std::optional<long long> CurrentResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long long pages = 0, resident = 0;
    if (!(statm >> pages >> resident)) return std::nullopt;
    return resident * ::sysconf(_SC_PAGESIZE);
}
#endif

}  // namespace stress
