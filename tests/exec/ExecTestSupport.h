// Helpers shared by the tests of exec/: a platform that passes every call on to the real one
// (fakes override only what they change), handle bookkeeping and small file utilities.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>

#if defined(_WIN32)
#include <windows.h>  // first: platform/Platform.h takes back the names that it maps
#endif
#include "platform/Platform.h"

namespace exec_test {

/// Passes every call to the real system; a test overrides the calls it wants to steer.
class ForwardingPlatform : public platform::Platform {
public:
    bool FileExists(const std::string &path) override { return real().FileExists(path); }
    bool ReadWholeFile(const std::string &path, std::string &bytes) override {
        return real().ReadWholeFile(path, bytes);
    }
    std::string CurrentDirectory() override { return real().CurrentDirectory(); }
    bool SetCurrentDirectory(const std::string &path) override { return real().SetCurrentDirectory(path); }
    platform::NativeHandle OpenFileForRead(const std::string &path) override {
        return Opened(real().OpenFileForRead(path));
    }
    bool SetFilePointer(platform::NativeHandle file, std::uint32_t offset) override {
        return real().SetFilePointer(file, offset);
    }
    long ReadFile(platform::NativeHandle handle, void *buffer, std::size_t size) override {
        return real().ReadFile(handle, buffer, size);
    }
    void CloseHandle(platform::NativeHandle handle) override {
        if (handle != platform::kNoHandle && open_.erase(handle) == 0) ++unknownCloses;
        real().CloseHandle(handle);
    }
    std::string ExpandEnvironment(const std::string &text) override { return real().ExpandEnvironment(text); }
    unsigned char CharUpper(unsigned char c) override { return real().CharUpper(c); }
    unsigned char CharLower(unsigned char c) override { return real().CharLower(c); }
    int CompareTextNoCase(const std::string &a, const std::string &b) override {
        return real().CompareTextNoCase(a, b);
    }
    void AnsiToOem(std::string &text) override { real().AnsiToOem(text); }
    std::optional<std::string> GetConsoleTitle(std::size_t capacity) override {
        return real().GetConsoleTitle(capacity);
    }
    bool SetConsoleTitle(const std::string &title) override { return real().SetConsoleTitle(title); }
    std::optional<platform::ConsoleBufferInfo> GetConsoleBufferInfo() override {
        return real().GetConsoleBufferInfo();
    }
    void SetConsoleCursorPosition(int column, int row) override {
        real().SetConsoleCursorPosition(column, row);
    }
    void WriteStdout(const std::string &bytes) override { real().WriteStdout(bytes); }
    bool CreatePipe(platform::NativeHandle &readEnd, platform::NativeHandle &writeEnd) override {
        if (!real().CreatePipe(readEnd, writeEnd)) return false;
        Opened(readEnd);
        Opened(writeEnd);
        return true;
    }
    bool ClearInheritFlag(platform::NativeHandle handle) override { return real().ClearInheritFlag(handle); }
    platform::NativeHandle DuplicateNonInheritable(platform::NativeHandle handle) override {
        return Opened(real().DuplicateNonInheritable(handle));
    }
    platform::NativeHandle StartVisibleProcess(const std::string &commandLine) override {
        return Opened(real().StartVisibleProcess(commandLine));
    }
    platform::NativeHandle StartCapturedProcess(const std::string &commandLine,
                                                platform::NativeHandle outputHandle) override {
        return Opened(real().StartCapturedProcess(commandLine, outputHandle));
    }
    bool WaitForProcess(platform::NativeHandle process, long milliseconds) override {
        return real().WaitForProcess(process, milliseconds);
    }
    std::uint32_t GetExitCode(platform::NativeHandle process) override { return real().GetExitCode(process); }
    std::optional<std::string> SearchPath(const std::string &name,
                                          const std::string &defaultExtension) override {
        return real().SearchPath(name, defaultExtension);
    }
    std::optional<std::uint32_t> GetBinaryType(const std::string &path) override {
        return real().GetBinaryType(path);
    }
    bool IsNtPlatform() override { return real().IsNtPlatform(); }
    std::uint32_t LastErrorCode() override { return real().LastErrorCode(); }
    std::string SystemErrorText(std::uint32_t code) override { return real().SystemErrorText(code); }

    /// Handles handed out through this platform and not closed yet.
    const std::set<platform::NativeHandle> &OpenHandles() const { return open_; }
    int unknownCloses = 0;

protected:
    static platform::Platform &real() { return platform::System(); }
    /// Records a handle as open; kNoHandle passes through.
    platform::NativeHandle Opened(platform::NativeHandle handle) {
        if (handle != platform::kNoHandle) open_.insert(handle);
        return handle;
    }

private:
    std::set<platform::NativeHandle> open_;
};

/// The number of open descriptors of this process (POSIX), or nullopt where it can't be told.
std::optional<int> OpenDescriptorCount();

/// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;
    const std::filesystem::path &Path() const { return path_; }
    /// Writes `bytes` into a file of the folder and returns its full name.
    std::string Write(const std::string &name, const std::string &bytes, bool executable = false) const;

private:
    std::filesystem::path path_;
};

/// The message of the std::runtime_error that `action` throws; "(nothing thrown)" otherwise.
std::string FailureOf(const std::function<void()> &action);

}  // namespace exec_test
