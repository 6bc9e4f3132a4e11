#include "exec/ConsoleApp.h"

#include <new>
#include <stdexcept>

#include "plugin/farapi/FARUtils.h"

namespace {

using platform::Current;
using platform::NativeHandle;
using platform::UniqueHandle;

constexpr std::size_t kTitleRoom = 513;       // characters, terminator included
constexpr std::size_t kErrorTextRoom = 200;   // characters, terminator included
constexpr std::size_t kReadChunk = 257;
constexpr long kWaitAfterOutputMs = 5000;
constexpr int kBlankColor = 8;

bool IsTrailingJunk(char c) { return static_cast<unsigned char>(c) <= 32 || c == '.'; }

/// Throws the message of the system's last error; read the code before anything else can
/// change it.
[[noreturn]] void FailWithLastError() {
    throw std::runtime_error(SystemErrorMessage(Current().LastErrorCode()));
}

/// The text of a start failure as the console shows it: the system's text, cut to its room and
/// converted to the console's code page, without the line end it may bring.
std::string StartFailureText(std::uint32_t code) {
    platform::Platform &system = Current();
    std::string text = system.SystemErrorText(code).substr(0, kErrorTextRoom - 1);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    system.ConvertAnsiToOem(text);
    return text;
}

/// Starts the visible program and waits for it; a start failure is written to the console.
void StartAndWait(const std::string &commandLine) {
    platform::Platform &system = Current();
    UniqueHandle process(system.StartVisibleProcess(commandLine));
    if (!process.Valid()) {
        const std::uint32_t code = system.LastErrorCode();
        system.WriteStdout(StartFailureText(code) + "\r\n");
        return;
    }
    system.WaitForProcess(process.Get(), -1);
}

/// Makes the pipe's read end non-inheritable, so that the child holds only the write end. Off
/// the NT platform the end is replaced by a non-inheritable duplicate and the first one closed.
void MakeReadEndPrivate(UniqueHandle &readEnd) {
    platform::Platform &system = Current();
    if (system.IsNtPlatform()) {
        if (!system.ClearInheritFlag(readEnd.Get())) FailWithLastError();
        return;
    }
    NativeHandle duplicate = system.DuplicateNonInheritable(readEnd.Get());
    if (duplicate == platform::kNoHandle) FailWithLastError();
    readEnd.Reset(duplicate);
}

/// Feeds one read into the assembly. False when the output can no longer be stored: the list
/// has reached `ceiling` bytes, or memory ran out.
bool StoreRead(LineAssembler &assembler, const TStringList &output, std::string_view bytes, std::size_t ceiling) {
    try {
        assembler.Feed(bytes);
    } catch (const std::bad_alloc &) {
        return false;
    }
    return output.StorageBytes() < ceiling;
}

/// Ends a run whose output cannot be stored: the program is ended (its handle and the pipe are
/// closed by their owners), the list is emptied to give its memory back, and the run fails.
[[noreturn]] void StopTooLarge(const UniqueHandle &process, TStringList &output) {
    platform::Platform &system = Current();
    const std::size_t kept = output.StorageBytes() >> 20;
    output.Clear();
    system.TerminateProcess(process.Get());
    system.WaitForProcess(process.Get(), kWaitAfterOutputMs);
    throw std::runtime_error("Output too large: " + std::to_string(kept) + " MB kept");
}

}  // namespace

std::string SystemErrorMessage(std::uint32_t code) {
    if (code == 0) return "A Win32 API function failed";
    std::string text = Current().SystemErrorText(code);
    while (!text.empty() && IsTrailingJunk(text.back())) text.pop_back();
    return "Win32 Error.  Code: " + std::to_string(code) + ".\n" + text;
}

void ClearConsole() {
    platform::Platform &system = Current();
    std::optional<platform::ConsoleBufferInfo> info = system.GetConsoleBufferInfo();
    if (info && info->width > 0) {
        const std::string blanks(static_cast<std::size_t>(info->width), ' ');
        for (int row = 0; row < info->height; ++row) far::Text(0, row, kBlankColor, blanks.c_str());
    }
    far::Text(0, 0, 0, nullptr);
    if (info) system.SetConsoleCursorPosition(0, info->cursorRow);
}

void RunVisible(const std::string &commandLine) {
    platform::Platform &system = Current();
    HANDLE screen = far::SaveScreen(0, 0, -1, -1);
    ClearConsole();
    std::optional<std::string> title = system.ReadConsoleTitle(kTitleRoom);
    system.WriteConsoleTitle(commandLine);
    system.WriteStdout(">\"" + commandLine + "\"\r\n");
    StartAndWait(commandLine);
    if (title) system.WriteConsoleTitle(*title);
    far::Control(FCTL_SETUSERSCREEN, nullptr);
    far::RestoreScreen(nullptr);
    far::RestoreScreen(screen);
}

std::uint32_t RunCaptured(const std::string &program, const std::string &arguments,
                          TStringList &output, const LineNotification &onLine, std::size_t outputCeiling) {
    platform::Platform &system = Current();
    const std::string commandLine = ResolveProgram(program, arguments);

    NativeHandle readHandle = platform::kNoHandle;
    NativeHandle writeHandle = platform::kNoHandle;
    if (!system.CreatePipe(readHandle, writeHandle)) FailWithLastError();
    UniqueHandle readEnd(readHandle);
    UniqueHandle writeEnd(writeHandle);
    MakeReadEndPrivate(readEnd);

    UniqueHandle process(system.StartCapturedProcess(commandLine, writeEnd.Get()));
    if (!process.Valid()) FailWithLastError();
    // Only the program and its children may hold the write end now: reading ends when they end.
    writeEnd.Reset();

    LineAssembler assembler(output, onLine);
    char buffer[kReadChunk];
    for (;;) {
        long count = system.ReadFile(readEnd.Get(), buffer, sizeof buffer);
        if (count <= 0) break;
        if (!StoreRead(assembler, output, {buffer, static_cast<std::size_t>(count)}, outputCeiling)) {
            StopTooLarge(process, output);
        }
    }
    system.WaitForProcess(process.Get(), kWaitAfterOutputMs);
    const std::uint32_t exitCode = system.GetExitCode(process.Get());
    assembler.Finish();
    return exitCode;
}
