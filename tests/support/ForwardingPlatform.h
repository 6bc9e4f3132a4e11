// A platform that passes every call on to the real system: the base of the fakes in tests,
// which override only the calls they steer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/Platform.h"

namespace support {

/// Forwards every operation to the real system; tests override the few they must control.
class ForwardingPlatform : public platform::Platform {
public:
    bool FileExists(const std::string &path) override { return real().FileExists(path); }
    bool ReadWholeFile(const std::string &path, std::string &bytes) override {
        return real().ReadWholeFile(path, bytes);
    }
    std::string CurrentDirectory() override { return real().CurrentDirectory(); }
    bool ChangeDirectory(const std::string &path) override { return real().ChangeDirectory(path); }
    platform::NativeHandle OpenFileForRead(const std::string &path) override {
        return real().OpenFileForRead(path);
    }
    bool SetFilePointer(platform::NativeHandle file, std::uint32_t offset) override {
        return real().SetFilePointer(file, offset);
    }
    long ReadFile(platform::NativeHandle handle, void *buffer, std::size_t size) override {
        return real().ReadFile(handle, buffer, size);
    }
    void CloseHandle(platform::NativeHandle handle) override { real().CloseHandle(handle); }
    std::string ExpandEnvironment(const std::string &text) override { return real().ExpandEnvironment(text); }
    unsigned char UpperCaseChar(unsigned char c) override { return real().UpperCaseChar(c); }
    unsigned char LowerCaseChar(unsigned char c) override { return real().LowerCaseChar(c); }
    int CompareTextNoCase(const std::string &a, const std::string &b) override {
        return real().CompareTextNoCase(a, b);
    }
    void ConvertAnsiToOem(std::string &text) override { real().ConvertAnsiToOem(text); }
    std::optional<std::string> ReadConsoleTitle(std::size_t capacity) override {
        return real().ReadConsoleTitle(capacity);
    }
    bool WriteConsoleTitle(const std::string &title) override { return real().WriteConsoleTitle(title); }
    std::optional<platform::ConsoleBufferInfo> GetConsoleBufferInfo() override {
        return real().GetConsoleBufferInfo();
    }
    void SetConsoleCursorPosition(int column, int row) override { real().SetConsoleCursorPosition(column, row); }
    void WriteStdout(const std::string &bytes) override { real().WriteStdout(bytes); }
    bool CreatePipe(platform::NativeHandle &readEnd, platform::NativeHandle &writeEnd) override {
        return real().CreatePipe(readEnd, writeEnd);
    }
    bool ClearInheritFlag(platform::NativeHandle handle) override { return real().ClearInheritFlag(handle); }
    platform::NativeHandle DuplicateNonInheritable(platform::NativeHandle handle) override {
        return real().DuplicateNonInheritable(handle);
    }
    platform::NativeHandle StartVisibleProcess(const std::string &commandLine) override {
        return real().StartVisibleProcess(commandLine);
    }
    platform::NativeHandle StartCapturedProcess(const std::string &commandLine,
                                                platform::NativeHandle outputHandle) override {
        return real().StartCapturedProcess(commandLine, outputHandle);
    }
    bool WaitForProcess(platform::NativeHandle process, long milliseconds) override {
        return real().WaitForProcess(process, milliseconds);
    }
    bool TerminateProcess(platform::NativeHandle process) override { return real().TerminateProcess(process); }
    std::uint32_t GetExitCode(platform::NativeHandle process) override { return real().GetExitCode(process); }
    std::optional<std::string> FindOnSearchPath(const std::string &name, const std::string &extension) override {
        return real().FindOnSearchPath(name, extension);
    }
    std::optional<std::uint32_t> BinaryTypeOf(const std::string &path) override {
        return real().BinaryTypeOf(path);
    }
    bool IsNtPlatform() override { return real().IsNtPlatform(); }
    std::uint32_t LastErrorCode() override { return real().LastErrorCode(); }
    std::string SystemErrorText(std::uint32_t code) override { return real().SystemErrorText(code); }

protected:
    static platform::Platform &real() { return platform::System(); }
};

}  // namespace support
