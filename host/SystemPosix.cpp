#include "host/System.h"

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

namespace farhost {

LoadedModule::LoadedModule(const std::string &path, std::string &error) {
    // A path without "/" would make dlopen search the library path instead of taking the file.
    std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    handle_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char *reason = dlerror();
        error = reason != nullptr ? reason : "cannot load " + path;
        return;
    }
    char resolved[PATH_MAX];
    fullPath_ = realpath(file.c_str(), resolved) != nullptr ? std::string(resolved) : farhost::FullPath(file);
}

LoadedModule::~LoadedModule() {
    if (handle_ != nullptr) dlclose(handle_);
}

AnyFunction LoadedModule::Find(const char *name) const {
    if (handle_ == nullptr) return nullptr;
    return reinterpret_cast<AnyFunction>(dlsym(handle_, name));
}

std::string FullPath(const std::string &path) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error) return path;
    std::string text = absolute.lexically_normal().string();
    if (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

std::string FolderOf(const std::string &path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool IsAbsolutePath(const std::string &path) { return !path.empty() && path[0] == '/'; }

std::string ResolvePath(const std::string &folder, const std::string &name) {
    if (IsAbsolutePath(name)) return FullPath(name);
    return FullPath(folder + "/" + name);
}

bool SetEnvironmentValue(const std::string &name, const std::string &value) {
    return setenv(name.c_str(), value.c_str(), 1) == 0;
}

bool ChangeDirectory(const std::string &path) { return chdir(path.c_str()) == 0; }

std::string CurrentDirectory() {
    std::error_code error;
    std::filesystem::path current = std::filesystem::current_path(error);
    return error ? std::string(".") : current.string();
}

std::optional<std::string> ConsoleTitle() { return std::nullopt; }

void UseBinaryStandardOutput() {}

}  // namespace farhost
