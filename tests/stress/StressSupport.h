// What the stress tests measure about their own process, and how far they scale their sizes.
#pragma once

#include <cstddef>
#include <optional>

namespace stress {

/// Open descriptors (/proc/self/fd) on POSIX, or open handles (GetProcessHandleCount) on Windows;
/// nullopt when the system cannot tell (a Wine without that call).
std::optional<long> OpenHandleCount();

/// Peak resident set size of this process so far, in bytes (getrusage); nullopt on Windows.
std::optional<long long> PeakResidentBytes();
/// Current resident set size in bytes (/proc/self/statm); nullopt on Windows.
std::optional<long long> CurrentResidentBytes();

/// True in the sanitizer build, where memory and time figures mean little.
constexpr bool Sanitized() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#else
    return false;
#endif
}

/// True in the Windows build, which runs under Wine here: slower process starts and pipes.
constexpr bool WindowsBuild() {
#if defined(_WIN32)
    return true;
#else
    return false;
#endif
}

/// `full` in the plain native build, a tenth of it under the sanitizers or Wine.
constexpr std::size_t Scaled(std::size_t full) { return Sanitized() || WindowsBuild() ? full / 10 : full; }

}  // namespace stress
