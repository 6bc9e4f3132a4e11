// What farhost needs of the operating system: loading the module, paths, the environment, the
// current directory and the console title. One implementation per platform.
#pragma once

#include <optional>
#include <string>

namespace farhost {

/// Any exported function, before it is cast to its real type.
using AnyFunction = void (*)(void);

/// A loaded module (dlopen / LoadLibraryA); unloaded when destroyed.
class LoadedModule {
public:
    /// Loads the module; nullopt-like failure is reported through `error` and IsLoaded().
    LoadedModule(const std::string &path, std::string &error);
    ~LoadedModule();
    LoadedModule(const LoadedModule &) = delete;
    LoadedModule &operator=(const LoadedModule &) = delete;

    bool IsLoaded() const { return handle_ != nullptr; }
    /// The export of that plain name, or nullptr.
    AnyFunction Find(const char *name) const;
    /// The module's full path as the system sees it.
    const std::string &FullPath() const { return fullPath_; }

private:
    void *handle_ = nullptr;
    std::string fullPath_;
};

/// The absolute, normalised form of a path in the platform's own notation.
std::string FullPath(const std::string &path);
/// The folder of a full path, without a trailing separator (a root keeps its separator).
std::string FolderOf(const std::string &path);
/// `name` taken relative to `folder`, unless it is absolute.
std::string ResolvePath(const std::string &folder, const std::string &name);
bool IsAbsolutePath(const std::string &path);

bool SetEnvironmentValue(const std::string &name, const std::string &value);
bool ChangeDirectory(const std::string &path);
std::string CurrentDirectory();

/// The console title as the platform keeps it, or nullopt where it cannot be read.
std::optional<std::string> ConsoleTitle();

/// Makes standard output write bytes as they are (no "\r" added before "\n").
void UseBinaryStandardOutput();

}  // namespace farhost
