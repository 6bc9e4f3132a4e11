// The POSIX backend: the nearest POSIX counterpart of each Win32 call (see README.md).
#include "platform/CommandLine.h"
#include "platform/Platform.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <thread>
#include <vector>

extern char **environ;

namespace platform {

namespace {

// Process handles live above every descriptor number, so that CloseHandle can tell them apart.
constexpr NativeHandle kFirstProcessHandle = NativeHandle{1} << 30;

int Descriptor(NativeHandle handle) { return static_cast<int>(handle); }

bool IsRegularFile(const std::string &path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsExecutableFile(const std::string &path) {
    return IsRegularFile(path) && ::access(path.c_str(), X_OK) == 0;
}

bool IsPipeOrSocket(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 && (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode));
}

/// Closes a descriptor on every path out of a scope.
class ScopedDescriptor {
public:
    explicit ScopedDescriptor(int fd) : fd_(fd) {}
    ~ScopedDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    ScopedDescriptor(const ScopedDescriptor &) = delete;
    ScopedDescriptor &operator=(const ScopedDescriptor &) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

/// Writes all of `bytes` to `fd`, going on after partial writes and interruptions.
bool WriteAll(int fd, const char *bytes, std::size_t size) {
    while (size > 0) {
        ssize_t written = ::write(fd, bytes, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

/// Reads a variable by its exact name, else by a case-blind match as Windows names are.
const char *LookUpVariable(const std::string &name) {
    if (const char *value = std::getenv(name.c_str())) return value;
    for (char **entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const char *equals = std::strchr(*entry, '=');
        if (equals == nullptr || static_cast<std::size_t>(equals - *entry) != name.size()) continue;
        if (::strncasecmp(*entry, name.c_str(), name.size()) == 0) return equals + 1;
    }
    return nullptr;
}

/// Drops "." components and empty components and resolves ".." against the text, as the
/// Windows path functions do; `path` is absolute.
std::string NormalizeAbsolute(const std::string &path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(std::move(part));
        }
        start = end + 1;
    }
    std::string result;
    for (const std::string &part : parts) result += "/" + part;
    return result.empty() ? "/" : result;
}

/// One started child, known by its process handle.
struct ChildProcess {
    pid_t pid = 0;
    bool ended = false;
    std::uint32_t exitCode = kStillActive;
};

std::uint32_t ExitCodeFromStatus(int status) {
    if (WIFEXITED(status)) return static_cast<std::uint32_t>(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return 128u + static_cast<std::uint32_t>(WTERMSIG(status));
    return kStillActive;
}

/// Frees the file actions of a posix_spawn call on every path.
class SpawnActions {
public:
    SpawnActions() { ok_ = ::posix_spawn_file_actions_init(&actions_) == 0; }
    ~SpawnActions() {
        if (ok_) ::posix_spawn_file_actions_destroy(&actions_);
    }
    SpawnActions(const SpawnActions &) = delete;
    SpawnActions &operator=(const SpawnActions &) = delete;
    bool Ok() const { return ok_; }
    posix_spawn_file_actions_t *Get() { return &actions_; }
    /// Remembers the first failure of setting up an action; the start then fails with it.
    void Check(int error) {
        if (error != 0 && firstError_ == 0) firstError_ = error;
    }
    int FirstError() const { return firstError_; }
    /// Closes every descriptor above standard error in the child, inheritable or not.
    void CloseAllButStandard() { Check(::posix_spawn_file_actions_addclosefrom_np(&actions_, 3)); }

private:
    posix_spawn_file_actions_t actions_{};
    bool ok_ = false;
    int firstError_ = 0;
};

/// The POSIX backend. Like every user of the platform it runs on the host's one thread, so the
/// title and the table of started children need no lock.
class PosixPlatform final : public Platform {
public:
    // --- Files ---------------------------------------------------------------------------
    bool FileExists(const std::string &path) override { return IsRegularFile(path); }

    bool ReadWholeFile(const std::string &path, std::string &bytes) override {
        ScopedDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        if (file.Get() < 0) return false;
        std::string content;
        char buffer[65536];
        for (;;) {
            ssize_t count = ::read(file.Get(), buffer, sizeof buffer);
            if (count < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            if (count == 0) break;
            content.append(buffer, static_cast<std::size_t>(count));
        }
        bytes = std::move(content);
        return true;
    }

    std::string CurrentDirectory() override {
        std::vector<char> buffer(256);
        for (;;) {
            if (::getcwd(buffer.data(), buffer.size()) != nullptr) return buffer.data();
            if (errno != ERANGE) return {};
            buffer.resize(buffer.size() * 2);
        }
    }

    bool ChangeDirectory(const std::string &path) override {
        return ::chdir(path.c_str()) == 0;
    }

    NativeHandle OpenFileForRead(const std::string &path) override {
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        return fd < 0 ? kNoHandle : fd;
    }

    bool SetFilePointer(NativeHandle file, std::uint32_t offset) override {
        return ::lseek(Descriptor(file), static_cast<off_t>(offset), SEEK_SET) >= 0;
    }

    long ReadFile(NativeHandle handle, void *buffer, std::size_t size) override {
        int fd = Descriptor(handle);
        for (;;) {
            ssize_t count = ::read(fd, buffer, size);
            if (count < 0 && errno == EINTR) continue;
            if (count < 0) return -1;
            // A pipe at its end reads as broken, as it does on Windows once all writers are gone.
            if (count == 0 && size > 0 && IsPipeOrSocket(fd)) {
                errno = EPIPE;
                return -1;
            }
            return static_cast<long>(count);
        }
    }

    void CloseHandle(NativeHandle handle) override {
        if (handle == kNoHandle) return;
        if (handle >= kFirstProcessHandle) {
            CloseProcess(handle);
            return;
        }
        ::close(Descriptor(handle));
    }

    // --- Text and environment ------------------------------------------------------------
    std::string ExpandEnvironment(const std::string &text) override {
        std::string result;
        std::size_t pos = 0;
        while (pos < text.size()) {
            std::size_t open = text.find('%', pos);
            if (open == std::string::npos) break;
            std::size_t close = text.find('%', open + 1);
            if (close == std::string::npos) break;
            result.append(text, pos, open - pos);
            std::string name = text.substr(open + 1, close - open - 1);
            const char *value = name.empty() ? nullptr : LookUpVariable(name);
            if (value != nullptr) {
                result += value;
            } else {
                result.append(text, open, close - open + 1);  // unknown: kept as written
            }
            pos = close + 1;
        }
        result.append(text, pos, std::string::npos);
        return result;
    }

    unsigned char UpperCaseChar(unsigned char c) override {
        return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
    }

    unsigned char LowerCaseChar(unsigned char c) override {
        return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
    }

    int CompareTextNoCase(const std::string &a, const std::string &b) override {
        std::size_t common = std::min(a.size(), b.size());
        for (std::size_t i = 0; i < common; ++i) {
            unsigned char left = LowerCaseChar(static_cast<unsigned char>(a[i]));
            unsigned char right = LowerCaseChar(static_cast<unsigned char>(b[i]));
            if (left != right) return left < right ? -1 : 1;
        }
        if (a.size() == b.size()) return 0;
        return a.size() < b.size() ? -1 : 1;
    }

    void ConvertAnsiToOem(std::string &) override {}

    // --- Console -------------------------------------------------------------------------
    std::optional<std::string> ReadConsoleTitle(std::size_t capacity) override {
        if (capacity == 0) return std::nullopt;
        return title_.substr(0, capacity - 1);
    }

    bool WriteConsoleTitle(const std::string &title) override {
        title_ = title;
        if (::isatty(STDOUT_FILENO) == 1) {
            // Control characters would end or corrupt the terminal sequence: show them as "?".
            std::string shown = title;
            for (char &c : shown) {
                unsigned char byte = static_cast<unsigned char>(c);
                if (byte < 0x20 || byte == 0x7f) c = '?';
            }
            std::string sequence = "\033]0;" + shown + "\007";
            WriteAll(STDOUT_FILENO, sequence.data(), sequence.size());
        }
        return true;
    }

    std::optional<ConsoleBufferInfo> GetConsoleBufferInfo() override {
        ConsoleBufferInfo info;
        winsize size{};
        if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0) {
            info.width = size.ws_col;
            info.height = size.ws_row;
        }
        return info;
    }

    void SetConsoleCursorPosition(int column, int row) override {
        if (::isatty(STDOUT_FILENO) != 1) return;
        std::string sequence = "\033[" + std::to_string(std::max(row, 0) + 1) + ";" +
                               std::to_string(std::max(column, 0) + 1) + "H";
        WriteAll(STDOUT_FILENO, sequence.data(), sequence.size());
    }

    void WriteStdout(const std::string &bytes) override {
        WriteAll(STDOUT_FILENO, bytes.data(), bytes.size());
    }

    // --- Processes and pipes -------------------------------------------------------------
    bool CreatePipe(NativeHandle &readEnd, NativeHandle &writeEnd) override {
        // Close-on-exec: a child receives an end only where a start puts it (standard output).
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) return false;
        readEnd = ends[0];
        writeEnd = ends[1];
        return true;
    }

    bool ClearInheritFlag(NativeHandle handle) override {
        int fd = Descriptor(handle);
        int flags = ::fcntl(fd, F_GETFD);
        return flags >= 0 && ::fcntl(fd, F_SETFD, flags | FD_CLOEXEC) == 0;
    }

    NativeHandle DuplicateNonInheritable(NativeHandle handle) override {
        int fd = ::fcntl(Descriptor(handle), F_DUPFD_CLOEXEC, 0);
        return fd < 0 ? kNoHandle : fd;
    }

    NativeHandle StartVisibleProcess(const std::string &commandLine) override {
        SpawnActions actions;
        if (!actions.Ok()) return kNoHandle;
        // No inheritance beyond the console itself: standard input, output and error.
        actions.CloseAllButStandard();
        return Spawn(commandLine, actions);
    }

    NativeHandle StartCapturedProcess(const std::string &commandLine,
                                      NativeHandle outputHandle) override {
        SpawnActions actions;
        if (!actions.Ok()) return kNoHandle;
        int output = Descriptor(outputHandle);
        // The output first: it may itself stand at descriptor 0 when the host has no input.
        actions.Check(::posix_spawn_file_actions_adddup2(actions.Get(), output, STDOUT_FILENO));
        actions.Check(::posix_spawn_file_actions_adddup2(actions.Get(), output, STDERR_FILENO));
        actions.Check(::posix_spawn_file_actions_addopen(actions.Get(), STDIN_FILENO, "/dev/null",
                                                        O_RDONLY, 0));
        // The pipe reaches the child as its output only: a copy at another descriptor would
        // keep the pipe open after the program has closed its output, and so would any other
        // descriptor the host left inheritable.
        actions.CloseAllButStandard();
        return Spawn(commandLine, actions);
    }

    bool WaitForProcess(NativeHandle process, long milliseconds) override {
        using Clock = std::chrono::steady_clock;
        const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(milliseconds, 0L));
        auto pause = std::chrono::milliseconds(1);
        for (;;) {
            std::optional<bool> ended = PollChild(process, milliseconds < 0);
            if (!ended) return false;
            if (*ended) return true;
            auto now = Clock::now();
            if (milliseconds >= 0 && now >= deadline) return false;
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
            std::this_thread::sleep_for(milliseconds < 0 ? pause : std::min(pause, left));
            pause = std::min(pause * 2, std::chrono::milliseconds(20));
        }
    }

    bool TerminateProcess(NativeHandle process) override {
        std::optional<bool> ended = PollChild(process, false);
        if (!ended) return false;
        if (*ended) return true;  // nothing left to end
        auto found = children_.find(process);
        return found != children_.end() && ::kill(found->second.pid, SIGKILL) == 0;
    }

    std::uint32_t GetExitCode(NativeHandle process) override {
        if (!PollChild(process, false)) return kUnknownExitCode;
        auto found = children_.find(process);
        return found == children_.end() ? kUnknownExitCode : found->second.exitCode;
    }

    // --- Program search ------------------------------------------------------------------
    std::optional<std::string> FindOnSearchPath(const std::string &name, const std::string &) override {
        if (name.empty()) return std::nullopt;
        if (name.find('/') != std::string::npos) {
            std::string full = name[0] == '/' ? name : CurrentDirectory() + "/" + name;
            if (!IsRegularFile(full)) return std::nullopt;
            return NormalizeAbsolute(full);
        }
        const char *path = std::getenv("PATH");
        std::string directories = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
        std::size_t start = 0;
        while (start <= directories.size()) {
            std::size_t end = directories.find(':', start);
            if (end == std::string::npos) end = directories.size();
            std::string directory = directories.substr(start, end - start);
            if (directory.empty() || directory[0] != '/') {
                // An empty entry means the current directory, as the shells take it.
                std::string cwd = CurrentDirectory();
                directory = directory.empty() ? cwd : cwd + "/" + directory;
            }
            std::string candidate = directory + "/" + name;
            if (IsExecutableFile(candidate)) return NormalizeAbsolute(candidate);
            start = end + 1;
        }
        errno = ENOENT;
        return std::nullopt;
    }

    std::optional<std::uint32_t> BinaryTypeOf(const std::string &path) override {
        ScopedDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        if (file.Get() < 0) return std::nullopt;
        char head[4] = {};
        std::size_t have = 0;
        while (have < sizeof head) {
            ssize_t count = ::read(file.Get(), head + have, sizeof head - have);
            if (count < 0 && errno == EINTR) continue;
            if (count < 0) return std::nullopt;
            if (count == 0) break;
            have += static_cast<std::size_t>(count);
        }
        bool elf = have == 4 && std::memcmp(head, "\x7f" "ELF", 4) == 0;
        bool script = have >= 2 && head[0] == '#' && head[1] == '!';
        if ((elf || script) && IsExecutableFile(path)) return kBinaryNative;
        return kBinaryOther;
    }

    bool IsNtPlatform() override { return true; }

    // --- Errors --------------------------------------------------------------------------
    std::uint32_t LastErrorCode() override { return static_cast<std::uint32_t>(errno); }

    std::string SystemErrorText(std::uint32_t code) override {
        return std::strerror(static_cast<int>(code));
    }

private:
    /// Starts the program of `commandLine` directly, with no shell; the first word is the
    /// program, searched on PATH when it holds no "/".
    NativeHandle Spawn(const std::string &commandLine, SpawnActions &actions) {
        ReapAbandoned();
        if (actions.FirstError() != 0) {
            errno = actions.FirstError();
            return kNoHandle;
        }
        std::vector<std::string> words = SplitCommandLine(commandLine);
        if (words.empty() || words[0].empty()) {
            errno = ENOENT;
            return kNoHandle;
        }
        std::vector<char *> argv;
        for (std::string &word : words) argv.push_back(word.data());
        argv.push_back(nullptr);

        pid_t pid = 0;
        int error = ::posix_spawnp(&pid, argv[0], actions.Get(), nullptr, argv.data(), environ);
        if (error != 0) {
            errno = error;
            return kNoHandle;
        }
        NativeHandle handle = nextProcessHandle_++;
        children_[handle] = ChildProcess{pid, false, kStillActive};
        return handle;
    }

    /// Collects the child's status if it has ended (blocking when `block`). Returns whether it
    /// has ended, or nullopt when the handle names no child.
    std::optional<bool> PollChild(NativeHandle process, bool block) {
        auto found = children_.find(process);
        if (found == children_.end()) {
            errno = EBADF;
            return std::nullopt;
        }
        if (found->second.ended) return true;
        const pid_t pid = found->second.pid;
        int status = 0;
        pid_t result;
        do {
            result = ::waitpid(pid, &status, block ? 0 : WNOHANG);
        } while (result < 0 && errno == EINTR);
        if (result == 0) return false;
        found->second.ended = true;
        found->second.exitCode = result == pid ? ExitCodeFromStatus(status) : kUnknownExitCode;
        return true;
    }

    void CloseProcess(NativeHandle process) {
        std::optional<bool> ended = PollChild(process, false);
        auto found = children_.find(process);
        if (found == children_.end()) return;
        // A child closed while it runs is reaped later, when a new process starts.
        if (ended && !*ended) abandoned_.push_back(found->second.pid);
        children_.erase(found);
    }

    void ReapAbandoned() {
        std::erase_if(abandoned_, [](pid_t pid) {
            pid_t result = ::waitpid(pid, nullptr, WNOHANG);
            return result != 0;
        });
    }

    std::string title_;
    std::map<NativeHandle, ChildProcess> children_;
    std::vector<pid_t> abandoned_;
    NativeHandle nextProcessHandle_ = kFirstProcessHandle;
};

}  // namespace

Platform &System() {
    static PosixPlatform system;
    return system;
}

}  // namespace platform
