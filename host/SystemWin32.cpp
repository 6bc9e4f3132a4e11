#include "host/System.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace farhost {

LoadedModule::LoadedModule(const std::string &path, std::string &error) {
    HMODULE module = LoadLibraryA(farhost::FullPath(path).c_str());
    if (module == nullptr) {
        error = "LoadLibraryA failed with error " + std::to_string(GetLastError());
        return;
    }
    handle_ = module;
    char name[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameA(module, name, MAX_PATH);
    fullPath_ = length > 0 && length < MAX_PATH ? std::string(name, length) : farhost::FullPath(path);
}

LoadedModule::~LoadedModule() {
    if (handle_ != nullptr) FreeLibrary(static_cast<HMODULE>(handle_));
}

AnyFunction LoadedModule::Find(const char *name) const {
    if (handle_ == nullptr) return nullptr;
    return reinterpret_cast<AnyFunction>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

std::string FullPath(const std::string &path) {
    DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::vector<char> buffer(needed + 1);
    DWORD length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0 || length >= buffer.size()) return path;
    std::string text(buffer.data(), length);
    if (text.size() > 3 && (text.back() == '\\' || text.back() == '/')) text.pop_back();
    return text;
}

std::string FolderOf(const std::string &path) {
    std::size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return ".";
    if (slash == 2 && path[1] == ':') return path.substr(0, 3);  // a drive's root keeps its "\"
    if (slash == 0) return path.substr(0, 1);
    return path.substr(0, slash);
}

bool IsAbsolutePath(const std::string &path) {
    if (path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) return true;
    return !path.empty() && (path[0] == '\\' || path[0] == '/');
}

std::string ResolvePath(const std::string &folder, const std::string &name) {
    if (IsAbsolutePath(name)) return FullPath(name);
    return FullPath(folder + "\\" + name);
}

bool SetEnvironmentValue(const std::string &name, const std::string &value) {
    // The module has its own C runtime; the process environment is what it and its children see.
    return SetEnvironmentVariableA(name.c_str(), value.c_str()) != 0;
}

bool ChangeDirectory(const std::string &path) { return SetCurrentDirectoryA(path.c_str()) != 0; }

std::string CurrentDirectory() {
    char buffer[MAX_PATH + 1] = {};
    DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
    return length > 0 && length < MAX_PATH ? std::string(buffer, length) : std::string(".");
}

std::optional<std::string> ConsoleTitle() {
    char buffer[512] = {};
    SetLastError(ERROR_SUCCESS);  // an empty title also gives 0
    DWORD length = GetConsoleTitleA(buffer, sizeof buffer);
    if (length == 0 && GetLastError() != ERROR_SUCCESS) return std::nullopt;
    return std::string(buffer, strnlen(buffer, sizeof buffer));
}

void UseBinaryStandardOutput() { _setmode(_fileno(stdout), _O_BINARY); }

}  // namespace farhost
