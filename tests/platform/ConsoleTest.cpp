// The console: title, screen buffer, cursor and standard output, with standard output put on a
// real pipe (and, on POSIX, a real terminal) for the time of a test.
#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#endif

#include "PlatformTestSupport.h"

namespace {

platform::Platform &System() { return platform::System(); }

/// Reads everything waiting on `handle` without blocking for more (its writers are gone or
/// the data is all there).
std::string Drain(platform::NativeHandle handle) {
    std::string bytes;
    char buffer[4096];
    for (;;) {
        long count = System().ReadFile(handle, buffer, sizeof buffer);
        if (count <= 0) break;
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    return bytes;
}

/// Puts the process's standard output on a new pipe until Finish(), which gives what was
/// written. Test assertions must come after Finish(): they print to standard output.
class StdoutOnPipe {
public:
    StdoutOnPipe() {
        platform::NativeHandle readEnd = platform::kNoHandle;
        platform::NativeHandle writeEnd = platform::kNoHandle;
        ok_ = System().CreatePipe(readEnd, writeEnd);
        reader_.Reset(readEnd);
        writer_.Reset(writeEnd);
        if (!ok_) return;
        std::fflush(stdout);
#if defined(_WIN32)
        saved_ = ::GetStdHandle(STD_OUTPUT_HANDLE);
        ::SetStdHandle(STD_OUTPUT_HANDLE, reinterpret_cast<HANDLE>(writer_.Get()));
#else
        saved_ = ::dup(STDOUT_FILENO);
        ::dup2(static_cast<int>(writer_.Get()), STDOUT_FILENO);
#endif
    }
    ~StdoutOnPipe() { Restore(); }
    StdoutOnPipe(const StdoutOnPipe &) = delete;
    StdoutOnPipe &operator=(const StdoutOnPipe &) = delete;

    bool Ok() const { return ok_; }

    std::string Finish() {
        Restore();
        writer_.Reset();
        return Drain(reader_.Get());
    }

private:
    void Restore() {
        if (restored_ || !ok_) return;
        restored_ = true;
#if defined(_WIN32)
        ::SetStdHandle(STD_OUTPUT_HANDLE, saved_);
#else
        ::dup2(saved_, STDOUT_FILENO);
        ::close(saved_);
#endif
    }

    bool ok_ = false;
    bool restored_ = false;
    platform::UniqueHandle reader_;
    platform::UniqueHandle writer_;
#if defined(_WIN32)
    HANDLE saved_ = nullptr;
#else
    int saved_ = -1;
#endif
};

TEST(WriteStdout, WritesTheBytesUnchanged) {
    const std::string bytes("line\r\nlone\rcr\nnul\0end", 21);
    StdoutOnPipe capture;
    ASSERT_TRUE(capture.Ok());
    System().WriteStdout(bytes);
    System().WriteStdout("");
    System().WriteStdout("more");
    EXPECT_EQ(capture.Finish(), bytes + "more");
}

TEST(ConsoleTitle, NeedsRoomForTheTerminator) {
    EXPECT_EQ(System().ReadConsoleTitle(0), std::nullopt);
}

TEST(ConsoleTitle, RoundTripsAndIsCutToTheRoomGiven) {
    std::optional<std::string> saved = System().ReadConsoleTitle(513);
    if (!saved) GTEST_SKIP() << "no console title here (standard output is not a console)";
    ASSERT_TRUE(System().WriteConsoleTitle("gcc -c main.c - Kilnrun"));
    EXPECT_EQ(System().ReadConsoleTitle(513), "gcc -c main.c - Kilnrun");
    EXPECT_EQ(System().ReadConsoleTitle(4), "gcc");
    EXPECT_TRUE(System().WriteConsoleTitle(*saved));
    EXPECT_EQ(System().ReadConsoleTitle(513), saved);
}

#if !defined(_WIN32)
TEST(ConsoleTitle, IsKeptButNotSentWhenStdoutIsNoTerminal) {
    StdoutOnPipe capture;
    ASSERT_TRUE(capture.Ok());
    bool set = System().WriteConsoleTitle("kept title");
    System().SetConsoleCursorPosition(3, 4);
    std::string written = capture.Finish();
    EXPECT_TRUE(set);
    EXPECT_EQ(written, "");
    EXPECT_EQ(System().ReadConsoleTitle(513), "kept title");
}

TEST(ConsoleBufferInfo, IsEightyByTwentyFiveWithoutATerminal) {
    StdoutOnPipe capture;
    ASSERT_TRUE(capture.Ok());
    std::optional<platform::ConsoleBufferInfo> info = System().GetConsoleBufferInfo();
    capture.Finish();
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->width, 80);
    EXPECT_EQ(info->height, 25);
    EXPECT_EQ(info->cursorColumn, 0);
    EXPECT_EQ(info->cursorRow, 0);
}

/// Puts standard output on a new pseudo-terminal of 132 by 43 cells until Finish().
class StdoutOnTerminal {
public:
    StdoutOnTerminal() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
        const char *name = ::ptsname(master_);
        if (name == nullptr) return;
        terminal_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (terminal_ < 0) return;
        termios mode{};
        ::tcgetattr(terminal_, &mode);
        ::cfmakeraw(&mode);
        ::tcsetattr(terminal_, TCSANOW, &mode);
        winsize size{};
        size.ws_col = 132;
        size.ws_row = 43;
        ::ioctl(terminal_, TIOCSWINSZ, &size);
        std::fflush(stdout);
        saved_ = ::dup(STDOUT_FILENO);
        ::dup2(terminal_, STDOUT_FILENO);
        ok_ = true;
    }
    ~StdoutOnTerminal() {
        Restore();
        if (terminal_ >= 0) ::close(terminal_);
        if (master_ >= 0) ::close(master_);
    }
    StdoutOnTerminal(const StdoutOnTerminal &) = delete;
    StdoutOnTerminal &operator=(const StdoutOnTerminal &) = delete;

    bool Ok() const { return ok_; }

    std::string Finish() {
        Restore();
        std::string bytes;
        int flags = ::fcntl(master_, F_GETFL);
        ::fcntl(master_, F_SETFL, flags | O_NONBLOCK);
        char buffer[4096];
        for (;;) {
            ssize_t count = ::read(master_, buffer, sizeof buffer);
            if (count <= 0) break;
            bytes.append(buffer, static_cast<std::size_t>(count));
        }
        return bytes;
    }

private:
    void Restore() {
        if (!ok_ || saved_ < 0) return;
        ::dup2(saved_, STDOUT_FILENO);
        ::close(saved_);
        saved_ = -1;
    }

    bool ok_ = false;
    int master_ = -1;
    int terminal_ = -1;
    int saved_ = -1;
};

TEST(ConsoleOnTerminal, SendsTheTitleAndCursorAndReadsTheSize) {
    StdoutOnTerminal terminal;
    if (!terminal.Ok()) GTEST_SKIP() << "no pseudo-terminal here";
    std::optional<platform::ConsoleBufferInfo> info = System().GetConsoleBufferInfo();
    bool set = System().WriteConsoleTitle("make\x07" "all\x1b]2;x");
    System().SetConsoleCursorPosition(0, 9);
    std::string written = terminal.Finish();

    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->width, 132);
    EXPECT_EQ(info->height, 43);
    EXPECT_TRUE(set);
    // Control characters in the title cannot end the sequence early.
    EXPECT_EQ(written, "\033]0;make?all?]2;x\007\033[10;1H");
    EXPECT_EQ(System().ReadConsoleTitle(513), "make\x07" "all\x1b]2;x");
}
#endif

}  // namespace
