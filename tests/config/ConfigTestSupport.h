// Helpers of the config tests: a platform that changes only what a test needs, a host whose
// services are plain functions, and a temporary folder of real files.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/Platform.h"

// No host declarations here: on Windows they bring windows.h, whose A/W macros would rename the
// overrides below in some files and not in others.

namespace configtest {

/// Forwards every operation to the real system; tests override the few they must control.
class DelegatingPlatform : public platform::Platform {
public:
    bool FileExists(const std::string &path) override { return real().FileExists(path); }
    bool ReadWholeFile(const std::string &path, std::string &bytes) override {
        return real().ReadWholeFile(path, bytes);
    }
    std::string CurrentDirectory() override { return real().CurrentDirectory(); }
    bool SetCurrentDirectory(const std::string &path) override { return real().SetCurrentDirectory(path); }
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
    std::uint32_t GetExitCode(platform::NativeHandle process) override { return real().GetExitCode(process); }
    std::optional<std::string> SearchPath(const std::string &name, const std::string &extension) override {
        return real().SearchPath(name, extension);
    }
    std::optional<std::uint32_t> GetBinaryType(const std::string &path) override {
        return real().GetBinaryType(path);
    }
    bool IsNtPlatform() override { return real().IsNtPlatform(); }
    std::uint32_t LastErrorCode() override { return real().LastErrorCode(); }
    std::string SystemErrorText(std::uint32_t code) override { return real().SystemErrorText(code); }

private:
    static platform::Platform &real() { return platform::System(); }
};

/// A platform whose current directory is fixed, so that path results can be spelled out.
class FixedDirectoryPlatform : public DelegatingPlatform {
public:
    explicit FixedDirectoryPlatform(std::string directory) : directory_(std::move(directory)) {}
    std::string CurrentDirectory() override { return directory_; }

private:
    std::string directory_;
};

/// Installs a host for the lifetime of the object: a module name, message texts and a menu
/// that records what it was shown and answers `menuAnswer`.
class FakeHost {
public:
    /// A menu record as the host received it.
    struct ShownItem {
        std::string text;  // up to the terminator, which must lie inside the record
        int selected, checked, separator;
    };
    struct ShownMenu {
        std::intptr_t pluginNumber;
        int x, y, maxHeight;
        std::uint32_t flags;
        std::string title;
        bool hasBottom;
        std::string helpTopic;
        bool hasBreakKeys;
        std::vector<ShownItem> items;
    };

    explicit FakeHost(std::string moduleName = "");
    ~FakeHost();
    FakeHost(const FakeHost &) = delete;
    FakeHost &operator=(const FakeHost &) = delete;

    std::vector<std::string> messages{"Ok", "Cancel", "Kilnrun", "Error", "Show output", "No output"};
    int menuAnswer = -1;
    std::vector<ShownMenu> menus;
};

/// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    /// The folder's full name in the platform's own spelling.
    std::string Root() const { return path_.string(); }
    /// Writes `bytes` to the file `fullName` (creating folders on the way) and returns the name.
    static std::string Write(const std::string &fullName, const std::string &bytes);

private:
    std::filesystem::path path_;
};

}  // namespace configtest
