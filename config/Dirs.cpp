#include "config/Dirs.h"

#include "plugin/farapi/FARUtils.h"

bool IsPathDelimiter(char c, platform::PathStyle style) {
    if (style == platform::PathStyle::Windows) return c == '\\' || c == ':';
    return c == '/';
}

char DirectorySeparator(platform::PathStyle style) {
    return style == platform::PathStyle::Windows ? '\\' : '/';
}

namespace {

// Index of the last delimiter of `path`, or npos when it has none.
std::size_t LastDelimiter(const std::string &path, platform::PathStyle style) {
    for (std::size_t i = path.size(); i > 0; --i)
        if (IsPathDelimiter(path[i - 1], style)) return i - 1;
    return std::string::npos;
}

}  // namespace

std::string PathDir(const std::string &path, platform::PathStyle style) {
    std::size_t last = LastDelimiter(path, style);
    if (last == std::string::npos) return std::string();
    std::string dir = path.substr(0, last + 1);
    // A separator standing first or after another delimiter ("\", "/", "C:\", "\\") is the root
    // itself, and without it the name would mean something else.
    bool isSeparator = dir.back() == DirectorySeparator(style);
    bool isRoot = last == 0 || IsPathDelimiter(dir[last - 1], style);
    if (isSeparator && !isRoot) dir.pop_back();
    return dir;
}

std::string PathDirOrCurrent(const std::string &path, platform::PathStyle style) {
    std::string dir = PathDir(path, style);
    return dir.empty() ? platform::Current().CurrentDirectory() : dir;
}

std::string JoinPath(const std::string &dir, const std::string &name, platform::PathStyle style) {
    char separator = DirectorySeparator(style);
    std::string joined = dir;
    if (joined.empty() || joined.back() != separator) joined += separator;
    joined += name;
    return joined;
}

bool IsRelativePath(const std::string &path, platform::PathStyle style) {
    if (style == platform::PathStyle::Posix) return path.empty() || path[0] != '/';
    const bool startsWithDrive = path.size() >= 2 && path[1] == ':' &&
                                 ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    const bool startsAtRoot = !path.empty() && (path[0] == '\\' || path[0] == '/');
    return !startsWithDrive && !startsAtRoot;
}

std::string ResolveInFolder(const std::string &folder, const std::string &name, platform::PathStyle style) {
    if (folder.empty() || !IsRelativePath(name, style)) return name;
    const char separator = DirectorySeparator(style);
    std::string resolved = folder;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = start;
        while (end < name.size() && name[end] != separator && name[end] != '/') ++end;
        const std::string part = name.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            // Only a named last part goes: a root ("C:\", "/") or an earlier ".." stays.
            const std::string last = FileNamePart(resolved, style);
            const std::string parent = PathDir(resolved, style);
            if (!last.empty() && last != ".." && !parent.empty()) {
                resolved = parent;
                continue;
            }
        }
        resolved = JoinPath(resolved, part, style);
    }
    return resolved;
}

std::string FileNamePart(const std::string &path, platform::PathStyle style) {
    std::size_t last = LastDelimiter(path, style);
    return last == std::string::npos ? path : path.substr(last + 1);
}

std::string ExpandPathName(const std::string &path, platform::PathStyle style) {
    return JoinPath(PathDirOrCurrent(path, style), FileNamePart(path, style), style);
}

std::string FileExtension(const std::string &name, platform::PathStyle style) {
    std::string fileName = FileNamePart(name, style);
    std::size_t dot = fileName.rfind('.');
    return dot == std::string::npos ? std::string() : fileName.substr(dot);
}

std::string ModuleDir() { return PathDirOrCurrent(far::ModuleName()); }

std::string TypesFile(const std::string &name) {
    return JoinPath(ModuleDir(), std::string("Types") + DirectorySeparator() + name);
}
