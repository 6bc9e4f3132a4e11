// The Win32 backend: each operation is the Win32 call named beside it in Platform.h.
#include <windows.h>

#include "platform/Platform.h"

#include <algorithm>
#include <vector>

namespace platform {

namespace {

HANDLE ToHandle(NativeHandle handle) { return reinterpret_cast<HANDLE>(handle); }
NativeHandle FromHandle(HANDLE handle) { return reinterpret_cast<NativeHandle>(handle); }

/// The size of the start-up record the system expects (68 bytes on 32-bit Windows).
constexpr DWORD kStartupInfoSize = sizeof(STARTUPINFOA);

/// The room SearchPathA gets for the full name.
constexpr DWORD kSearchPathRoom = 261;

/// The room FormatMessageA gets for a message text.
constexpr DWORD kMessageRoom = 200;

/// Closes a Win32 handle on every path out of a scope, keeping the thread's last error for the
/// caller to read.
class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
    ~ScopedHandle() {
        if (!Valid()) return;
        const DWORD error = ::GetLastError();
        ::CloseHandle(handle_);
        ::SetLastError(error);
    }
    ScopedHandle(const ScopedHandle &) = delete;
    ScopedHandle &operator=(const ScopedHandle &) = delete;
    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

/// Frees a buffer that FormatMessageA allocated.
class ScopedLocalMemory {
public:
    ScopedLocalMemory() = default;
    ~ScopedLocalMemory() {
        if (memory_ != nullptr) ::LocalFree(memory_);
    }
    ScopedLocalMemory(const ScopedLocalMemory &) = delete;
    ScopedLocalMemory &operator=(const ScopedLocalMemory &) = delete;
    char **Address() { return &memory_; }
    const char *Get() const { return memory_; }

private:
    char *memory_ = nullptr;
};

DWORD ClampToDword(std::size_t size) {
    return static_cast<DWORD>(std::min<std::size_t>(size, 0x7FFFFFFF));
}

/// Starts `commandLine` (copied: CreateProcessA may write into it) and keeps only the process
/// handle.
NativeHandle StartProcess(const std::string &commandLine, BOOL inheritHandles, DWORD flags,
                          STARTUPINFOA &startup) {
    std::vector<char> writable(commandLine.begin(), commandLine.end());
    writable.push_back('\0');
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(nullptr, writable.data(), nullptr, nullptr, inheritHandles, flags,
                          nullptr, nullptr, &startup, &process)) {
        return kNoHandle;
    }
    ::CloseHandle(process.hThread);
    return FromHandle(process.hProcess);
}

class Win32Platform final : public Platform {
public:
    // --- Files ---------------------------------------------------------------------------
    bool FileExists(const std::string &path) override {
        DWORD attributes = ::GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    }

    bool ReadWholeFile(const std::string &path, std::string &bytes) override {
        ScopedHandle file(::CreateFileA(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid()) return false;
        std::string content;
        std::vector<char> buffer(65536);
        for (;;) {
            DWORD count = 0;
            if (!::ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &count,
                            nullptr)) {
                return false;
            }
            if (count == 0) break;
            content.append(buffer.data(), count);
        }
        bytes = std::move(content);
        return true;
    }

    std::string CurrentDirectory() override {
        char buffer[MAX_PATH + 1] = {};
        DWORD length = ::GetCurrentDirectoryA(MAX_PATH, buffer);
        if (length == 0 || length >= MAX_PATH) return {};
        return std::string(buffer, length);
    }

    bool ChangeDirectory(const std::string &path) override {
        return ::SetCurrentDirectoryA(path.c_str()) != 0;
    }

    NativeHandle OpenFileForRead(const std::string &path) override {
        HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        return file == INVALID_HANDLE_VALUE ? kNoHandle : FromHandle(file);
    }

    bool SetFilePointer(NativeHandle file, std::uint32_t offset) override {
        LONG high = 0;
        DWORD result = ::SetFilePointer(ToHandle(file), static_cast<LONG>(offset), &high, FILE_BEGIN);
        return !(result == INVALID_SET_FILE_POINTER && ::GetLastError() != NO_ERROR);
    }

    long ReadFile(NativeHandle handle, void *buffer, std::size_t size) override {
        DWORD count = 0;
        if (!::ReadFile(ToHandle(handle), buffer, ClampToDword(size), &count, nullptr)) return -1;
        return static_cast<long>(count);
    }

    void CloseHandle(NativeHandle handle) override {
        if (handle != kNoHandle) ::CloseHandle(ToHandle(handle));
    }

    // --- Text and environment ------------------------------------------------------------
    std::string ExpandEnvironment(const std::string &text) override {
        // The call reports the room it needs; grow to it so that nothing is cut.
        std::vector<char> buffer(std::max<std::size_t>(text.size() + 1, 256));
        for (;;) {
            DWORD needed = ::ExpandEnvironmentStringsA(text.c_str(), buffer.data(),
                                                       ClampToDword(buffer.size()));
            if (needed == 0) return text;
            if (needed <= buffer.size()) return std::string(buffer.data());
            buffer.assign(needed, '\0');
        }
    }

    unsigned char UpperCaseChar(unsigned char c) override {
        // One character travels in the low word of the pointer argument.
        LPSTR result = ::CharUpperA(reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(c)));
        return static_cast<unsigned char>(reinterpret_cast<ULONG_PTR>(result) & 0xFF);
    }

    unsigned char LowerCaseChar(unsigned char c) override {
        LPSTR result = ::CharLowerA(reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(c)));
        return static_cast<unsigned char>(reinterpret_cast<ULONG_PTR>(result) & 0xFF);
    }

    int CompareTextNoCase(const std::string &a, const std::string &b) override {
        // The system counts characters in an int; texts beyond that compare byte by byte.
        constexpr std::size_t kMostCounted = 0x7FFFFFFF;
        auto bytewise = [&] { return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1); };
        if (a.size() > kMostCounted || b.size() > kMostCounted) return bytewise();
        int result = ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(),
                                      static_cast<int>(a.size()), b.data(),
                                      static_cast<int>(b.size()));
        if (result == 0) return bytewise();
        return result - CSTR_EQUAL;
    }

    void ConvertAnsiToOem(std::string &text) override {
        if (!text.empty()) ::CharToOemA(text.data(), text.data());
    }

    // --- Console -------------------------------------------------------------------------
    std::optional<std::string> ReadConsoleTitle(std::size_t capacity) override {
        if (capacity == 0) return std::nullopt;
        std::vector<char> buffer(capacity + 1, '\0');
        ::SetLastError(NO_ERROR);
        DWORD length = ::GetConsoleTitleA(buffer.data(), ClampToDword(capacity));
        if (length == 0 && ::GetLastError() != NO_ERROR) return std::nullopt;
        buffer[capacity - 1] = '\0';
        return std::string(buffer.data());
    }

    bool WriteConsoleTitle(const std::string &title) override {
        return ::SetConsoleTitleA(title.c_str()) != 0;
    }

    std::optional<ConsoleBufferInfo> GetConsoleBufferInfo() override {
        CONSOLE_SCREEN_BUFFER_INFO screen{};
        if (!::GetConsoleScreenBufferInfo(::GetStdHandle(STD_OUTPUT_HANDLE), &screen)) {
            return std::nullopt;
        }
        ConsoleBufferInfo info;
        info.width = screen.dwSize.X;
        info.height = screen.dwSize.Y;
        info.cursorColumn = screen.dwCursorPosition.X;
        info.cursorRow = screen.dwCursorPosition.Y;
        return info;
    }

    void SetConsoleCursorPosition(int column, int row) override {
        COORD position{static_cast<SHORT>(std::clamp(column, 0, 0x7FFF)),
                       static_cast<SHORT>(std::clamp(row, 0, 0x7FFF))};
        ::SetConsoleCursorPosition(::GetStdHandle(STD_OUTPUT_HANDLE), position);
    }

    void WriteStdout(const std::string &bytes) override {
        HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
        const char *next = bytes.data();
        std::size_t left = bytes.size();
        while (left > 0) {
            DWORD written = 0;
            if (!::WriteFile(output, next, ClampToDword(left), &written, nullptr) || written == 0) {
                return;
            }
            next += written;
            left -= written;
        }
    }

    // --- Processes and pipes -------------------------------------------------------------
    bool CreatePipe(NativeHandle &readEnd, NativeHandle &writeEnd) override {
        SECURITY_ATTRIBUTES security{};
        security.nLength = sizeof security;  // 12 bytes
        security.lpSecurityDescriptor = nullptr;
        security.bInheritHandle = TRUE;
        HANDLE readHandle = nullptr;
        HANDLE writeHandle = nullptr;
        if (!::CreatePipe(&readHandle, &writeHandle, &security, 0)) return false;
        readEnd = FromHandle(readHandle);
        writeEnd = FromHandle(writeHandle);
        return true;
    }

    bool ClearInheritFlag(NativeHandle handle) override {
        return ::SetHandleInformation(ToHandle(handle), HANDLE_FLAG_INHERIT, 0) != 0;
    }

    NativeHandle DuplicateNonInheritable(NativeHandle handle) override {
        HANDLE duplicate = nullptr;
        if (!::DuplicateHandle(::GetCurrentProcess(), ToHandle(handle), ::GetCurrentProcess(),
                               &duplicate, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
            return kNoHandle;
        }
        return FromHandle(duplicate);
    }

    NativeHandle StartVisibleProcess(const std::string &commandLine) override {
        STARTUPINFOA startup{};
        startup.cb = kStartupInfoSize;
        return StartProcess(commandLine, FALSE, 0, startup);
    }

    NativeHandle StartCapturedProcess(const std::string &commandLine,
                                      NativeHandle outputHandle) override {
        STARTUPINFOA startup{};
        startup.cb = kStartupInfoSize;
        startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
        // The null device as standard input: a program that reads its input meets the end at
        // once, instead of waiting on a hidden console that nobody can type into.
        SECURITY_ATTRIBUTES inheritable{};
        inheritable.nLength = sizeof inheritable;
        inheritable.bInheritHandle = TRUE;
        ScopedHandle input(::CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         &inheritable, OPEN_EXISTING, 0, nullptr));
        if (!input.Valid()) return kNoHandle;
        startup.hStdInput = input.Get();
        startup.hStdOutput = ToHandle(outputHandle);
        startup.hStdError = ToHandle(outputHandle);
        return StartProcess(commandLine, TRUE, CREATE_NO_WINDOW, startup);
    }

    bool WaitForProcess(NativeHandle process, long milliseconds) override {
        DWORD timeout = milliseconds < 0 ? INFINITE : static_cast<DWORD>(milliseconds);
        return ::WaitForSingleObject(ToHandle(process), timeout) == WAIT_OBJECT_0;
    }

    bool TerminateProcess(NativeHandle process) override {
        return ::TerminateProcess(ToHandle(process), 1) != 0;
    }

    std::uint32_t GetExitCode(NativeHandle process) override {
        DWORD code = 0;
        if (!::GetExitCodeProcess(ToHandle(process), &code)) return kUnknownExitCode;
        return code;
    }

    // --- Program search ------------------------------------------------------------------
    std::optional<std::string> FindOnSearchPath(const std::string &name,
                                          const std::string &defaultExtension) override {
        char found[kSearchPathRoom] = {};
        char *filePart = nullptr;
        DWORD length = ::SearchPathA(nullptr, name.c_str(),
                                     defaultExtension.empty() ? nullptr : defaultExtension.c_str(),
                                     kSearchPathRoom, found, &filePart);
        if (length == 0 || length >= kSearchPathRoom) return std::nullopt;
        return std::string(found, length);
    }

    std::optional<std::uint32_t> BinaryTypeOf(const std::string &path) override {
        DWORD type = 0;
        if (!::GetBinaryTypeA(path.c_str(), &type)) return std::nullopt;
        return type;
    }

    bool IsNtPlatform() override {
        OSVERSIONINFOA version{};
        version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        if (!::GetVersionExA(&version)) return true;
#pragma GCC diagnostic pop
        return version.dwPlatformId == VER_PLATFORM_WIN32_NT;
    }

    // --- Errors --------------------------------------------------------------------------
    std::uint32_t LastErrorCode() override { return ::GetLastError(); }

    std::string SystemErrorText(std::uint32_t code) override {
        const DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
        const DWORD language = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);
        char buffer[kMessageRoom] = {};
        DWORD length = ::FormatMessageA(flags, nullptr, code, language, buffer, kMessageRoom, nullptr);
        if (length > 0) return std::string(buffer, std::min<DWORD>(length, kMessageRoom - 1));
        // A text longer than the room is fetched whole rather than lost.
        ScopedLocalMemory allocated;
        length = ::FormatMessageA(flags | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, code, language,
                                  reinterpret_cast<LPSTR>(allocated.Address()), 0, nullptr);
        if (length == 0 || allocated.Get() == nullptr) return {};
        return std::string(allocated.Get(), length);
    }
};

}  // namespace

Platform &System() {
    static Win32Platform system;
    return system;
}

}  // namespace platform
