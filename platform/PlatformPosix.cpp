// Placeholder backend: every operation fails until the real one lands.
#include "platform/Platform.h"

namespace platform {
namespace {
class StubPlatform final : public Platform {
public:
    bool FileExists(const std::string &) override { return false; }
    bool ReadWholeFile(const std::string &, std::string &) override { return false; }
    std::string CurrentDirectory() override { return {}; }
    bool SetCurrentDirectory(const std::string &) override { return false; }
    NativeHandle OpenFileForRead(const std::string &) override { return kNoHandle; }
    bool SetFilePointer(NativeHandle, std::uint32_t) override { return false; }
    long ReadFile(NativeHandle, void *, std::size_t) override { return -1; }
    void CloseHandle(NativeHandle) override {}
    std::string ExpandEnvironment(const std::string &text) override { return text; }
    unsigned char CharUpper(unsigned char c) override { return c; }
    unsigned char CharLower(unsigned char c) override { return c; }
    int CompareTextNoCase(const std::string &a, const std::string &b) override { return a.compare(b); }
    void AnsiToOem(std::string &) override {}
    std::optional<std::string> GetConsoleTitle(std::size_t) override { return std::nullopt; }
    bool SetConsoleTitle(const std::string &) override { return false; }
    std::optional<ConsoleBufferInfo> GetConsoleBufferInfo() override { return std::nullopt; }
    void SetConsoleCursorPosition(int, int) override {}
    void WriteStdout(const std::string &) override {}
    bool CreatePipe(NativeHandle &, NativeHandle &) override { return false; }
    bool ClearInheritFlag(NativeHandle) override { return false; }
    NativeHandle DuplicateNonInheritable(NativeHandle) override { return kNoHandle; }
    NativeHandle StartVisibleProcess(const std::string &) override { return kNoHandle; }
    NativeHandle StartCapturedProcess(const std::string &, NativeHandle) override { return kNoHandle; }
    bool WaitForProcess(NativeHandle, long) override { return true; }
    std::uint32_t GetExitCode(NativeHandle) override { return 0; }
    std::optional<std::string> SearchPath(const std::string &, const std::string &) override { return std::nullopt; }
    std::optional<std::uint32_t> GetBinaryType(const std::string &) override { return std::nullopt; }
    bool IsNtPlatform() override { return true; }
    std::uint32_t LastErrorCode() override { return 0; }
    std::string SystemErrorText(std::uint32_t) override { return {}; }
};
}  // namespace

Platform &System() {
    static StubPlatform system;
    return system;
}
}  // namespace platform
