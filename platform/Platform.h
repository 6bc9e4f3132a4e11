// The one narrow interface between Kilnrun and the operating system.
//
// Each operation is a thin counterpart of one Win32 call (named beside it); the Win32 backend
// makes that call, the POSIX backend its nearest equivalent. Every decision about what to do with
// the results (program resolution, line assembly, message texts, title bookkeeping) lives in the
// portable code above this interface, so that it can be tested with a fake backend.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

/// An opaque handle of the backend: a Win32 HANDLE, or a POSIX file descriptor or process id.
/// `kNoHandle` is never a valid handle.
using NativeHandle = std::intptr_t;
constexpr NativeHandle kNoHandle = -1;

/// Exit code reported for a process that has not ended yet (Win32 STILL_ACTIVE).
constexpr std::uint32_t kStillActive = 259;
/// Exit code reported when a process's code cannot be read at all (an unknown handle).
constexpr std::uint32_t kUnknownExitCode = 0xFFFFFFFFu;

/// Which rules path names follow: "\" and ":" on Windows, "/" on POSIX.
enum class PathStyle { Windows, Posix };

/// Geometry of the console screen buffer (GetConsoleScreenBufferInfo).
struct ConsoleBufferInfo {
    int width = 80;
    int height = 25;
    int cursorColumn = 0;
    int cursorRow = 0;
};

/// The binary type of an executable (GetBinaryTypeA): 0 a 32-bit Windows image, 1 a DOS program,
/// 6 a 64-bit Windows image, other values other kinds (2 a 16-bit Windows program, ...). On
/// POSIX, `kBinaryNative` marks an ELF file or a "#!" script.
constexpr std::uint32_t kBinary32Bit = 0;   // SCS_32BIT_BINARY
constexpr std::uint32_t kBinaryDos = 1;     // SCS_DOS_BINARY
constexpr std::uint32_t kBinary16Bit = 2;   // SCS_WOW_BINARY
constexpr std::uint32_t kBinary64Bit = 6;   // SCS_64BIT_BINARY
constexpr std::uint32_t kBinaryNative = 100;
/// On POSIX: a readable file that is neither an executable ELF file nor an executable script.
constexpr std::uint32_t kBinaryOther = 101;

/// The operating system as Kilnrun sees it. One instance (`System()`) talks to the real system;
/// tests substitute fakes with `ScopedPlatform`.
class Platform {
public:
    virtual ~Platform() = default;

    // --- Files ---------------------------------------------------------------------------
    /// True when `path` names an existing file; a directory does not count (GetFileAttributesA).
    virtual bool FileExists(const std::string &path) = 0;
    /// Reads the whole file as bytes; false when it cannot be opened or read (CreateFileA/ReadFile).
    virtual bool ReadWholeFile(const std::string &path, std::string &bytes) = 0;
    /// The process's current directory, at most 260 characters (GetCurrentDirectoryA).
    virtual std::string CurrentDirectory() = 0;
    /// Makes `path` the current directory; false when it cannot be entered (SetCurrentDirectoryA).
    virtual bool ChangeDirectory(const std::string &path) = 0;
    /// Opens a file for reading, sharing read access (CreateFileA); kNoHandle on failure.
    virtual NativeHandle OpenFileForRead(const std::string &path) = 0;
    /// Moves the file pointer to an absolute offset (SetFilePointer); false on failure.
    virtual bool SetFilePointer(NativeHandle file, std::uint32_t offset) = 0;
    /// Reads up to `size` bytes from a file or pipe (ReadFile). Returns the count read, 0 at the
    /// end of a file, and -1 when the read fails (a pipe whose writers have all gone).
    virtual long ReadFile(NativeHandle handle, void *buffer, std::size_t size) = 0;
    /// Closes any handle of this interface (CloseHandle); kNoHandle is ignored.
    virtual void CloseHandle(NativeHandle handle) = 0;

    // --- Text and environment ------------------------------------------------------------
    /// Replaces %NAME% references by the variables' values (ExpandEnvironmentStringsA), with no
    /// length limit; unknown names stay as written.
    virtual std::string ExpandEnvironment(const std::string &text) = 0;
    /// Single-character case mapping (CharUpperA / CharLowerA on one character).
    virtual unsigned char UpperCaseChar(unsigned char c) = 0;
    virtual unsigned char LowerCaseChar(unsigned char c) = 0;
    /// Case-blind comparison by the user's locale (CompareStringA with NORM_IGNORECASE):
    /// negative, zero or positive.
    virtual int CompareTextNoCase(const std::string &a, const std::string &b) = 0;
    /// Converts text from the ANSI to the OEM code page in place (CharToOemA).
    virtual void ConvertAnsiToOem(std::string &text) = 0;

    // --- Console -------------------------------------------------------------------------
    /// Reads the console title into room for `capacity` characters including the terminator
    /// (GetConsoleTitleA); nullopt when it cannot be read.
    virtual std::optional<std::string> ReadConsoleTitle(std::size_t capacity) = 0;
    /// Sets the console title (SetConsoleTitleA); false on failure.
    virtual bool WriteConsoleTitle(const std::string &title) = 0;
    /// The standard output's screen buffer (GetStdHandle + GetConsoleScreenBufferInfo).
    virtual std::optional<ConsoleBufferInfo> GetConsoleBufferInfo() = 0;
    /// Puts the console cursor at a column and row (SetConsoleCursorPosition).
    virtual void SetConsoleCursorPosition(int column, int row) = 0;
    /// Writes bytes to the process's standard output, unbuffered.
    virtual void WriteStdout(const std::string &bytes) = 0;

    // --- Processes and pipes -------------------------------------------------------------
    /// Creates an anonymous pipe whose both ends are inheritable (CreatePipe). On POSIX both
    /// ends are close-on-exec instead: a child receives an end only where a start puts it.
    virtual bool CreatePipe(NativeHandle &readEnd, NativeHandle &writeEnd) = 0;
    /// Clears a handle's inherit flag (SetHandleInformation with HANDLE_FLAG_INHERIT, 0).
    virtual bool ClearInheritFlag(NativeHandle handle) = 0;
    /// Duplicates a handle within this process as a non-inheritable handle with the same access
    /// (DuplicateHandle with DUPLICATE_SAME_ACCESS); kNoHandle on failure.
    virtual NativeHandle DuplicateNonInheritable(NativeHandle handle) = 0;
    /// Starts a program in the console as it is, with no handle inheritance (CreateProcessA with
    /// an all-zero start-up record). Returns the process handle, or kNoHandle on failure.
    virtual NativeHandle StartVisibleProcess(const std::string &commandLine) = 0;
    /// Starts a program hidden, with standard output and standard error on `outputHandle` and
    /// the null device as standard input, so that reading input ends at once (CreateProcessA
    /// with STARTF_USESTDHANDLES, SW_HIDE and CREATE_NO_WINDOW). On Windows the child inherits
    /// the inheritable handles; on POSIX it holds nothing but its three standard descriptors.
    /// Returns the process handle, or kNoHandle on failure.
    virtual NativeHandle StartCapturedProcess(const std::string &commandLine,
                                              NativeHandle outputHandle) = 0;
    /// Waits for a process to end, at most `milliseconds` (negative: no limit)
    /// (WaitForSingleObject). True when it has ended.
    virtual bool WaitForProcess(NativeHandle process, long milliseconds) = 0;
    /// Ends a process at once, without letting it clean up (TerminateProcess with exit code 1 /
    /// SIGKILL); false when it cannot be ended. Its handle stays open until it is closed.
    virtual bool TerminateProcess(NativeHandle process) = 0;
    /// The exit code of a process, kStillActive while it runs, kUnknownExitCode when it cannot
    /// be read (GetExitCodeProcess).
    virtual std::uint32_t GetExitCode(NativeHandle process) = 0;

    // --- Program search ------------------------------------------------------------------
    /// Looks a program up on the default search path, adding `defaultExtension` when the name
    /// has none (SearchPathA). Returns the full name, or nullopt when it is not found.
    virtual std::optional<std::string> FindOnSearchPath(const std::string &name,
                                                  const std::string &defaultExtension) = 0;
    /// The binary type of an executable (GetBinaryTypeA); nullopt when it cannot be told.
    virtual std::optional<std::uint32_t> BinaryTypeOf(const std::string &path) = 0;
    /// True on the NT platform (GetVersionEx reports VER_PLATFORM_WIN32_NT); always true on POSIX.
    virtual bool IsNtPlatform() = 0;

    // --- Errors --------------------------------------------------------------------------
    /// The calling thread's last system error code (GetLastError / errno).
    virtual std::uint32_t LastErrorCode() = 0;
    /// The system's message text for an error code (FormatMessageA from the system table,
    /// default language / strerror), as the system gives it.
    virtual std::string SystemErrorText(std::uint32_t code) = 0;
};

/// The real operating system.
Platform &System();

/// The platform in force: `System()` unless a test installed a fake with `ScopedPlatform`.
Platform &Current();

/// Installs a platform for the lifetime of this object (tests only); restores the previous one.
class ScopedPlatform {
public:
    explicit ScopedPlatform(Platform &replacement);
    ~ScopedPlatform();
    ScopedPlatform(const ScopedPlatform &) = delete;
    ScopedPlatform &operator=(const ScopedPlatform &) = delete;

private:
    Platform *previous_;
};

/// The path rules of the platform this module was built for.
constexpr PathStyle NativePathStyle() {
#if defined(_WIN32)
    return PathStyle::Windows;
#else
    return PathStyle::Posix;
#endif
}

/// Owns one NativeHandle and closes it through the platform in force when it goes out of scope.
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(NativeHandle handle) : handle_(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle &&other) noexcept : handle_(other.Release()) {}
    UniqueHandle &operator=(UniqueHandle &&other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle &) = delete;
    UniqueHandle &operator=(const UniqueHandle &) = delete;

    NativeHandle Get() const { return handle_; }
    bool Valid() const { return handle_ != kNoHandle; }
    NativeHandle Release() {
        NativeHandle h = handle_;
        handle_ = kNoHandle;
        return h;
    }
    void Reset(NativeHandle handle = kNoHandle) {
        if (handle_ != kNoHandle) Current().CloseHandle(handle_);
        handle_ = handle;
    }

private:
    NativeHandle handle_ = kNoHandle;
};

}  // namespace platform
