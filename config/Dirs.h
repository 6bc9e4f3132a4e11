// Path operations on 8-bit path names, with the delimiter rules of either platform.
#pragma once

#include <string>

#include "platform/Platform.h"

/// True when `c` ends a directory part: "\" or ":" under the Windows rules, "/" under POSIX.
bool IsPathDelimiter(char c, platform::PathStyle style = platform::NativePathStyle());
/// The character put between a directory and a name: "\" or "/".
char DirectorySeparator(platform::PathStyle style = platform::NativePathStyle());

/// The directory part of `path`: the text up to its last delimiter. The separator that ends it is
/// dropped, except where it is the root: "C:\main.c" gives "C:\", "\main.c" gives "\",
/// "/main.c" gives "/", while "C:\src\main.c" gives "C:\src" and "/src/main.c" "/src". Empty for a
/// bare name.
std::string PathDir(const std::string &path, platform::PathStyle style = platform::NativePathStyle());

/// `PathDir`, with the process's current directory in place of an empty result.
std::string PathDirOrCurrent(const std::string &path,
                             platform::PathStyle style = platform::NativePathStyle());

/// `dir`, a separator unless `dir` already ends in one, then `name`.
std::string JoinPath(const std::string &dir, const std::string &name,
                     platform::PathStyle style = platform::NativePathStyle());

/// True when `path` names no root of its own: under the Windows rules it starts with neither a
/// drive ("C:") nor a "\" or "/"; under POSIX it does not start with "/".
bool IsRelativePath(const std::string &path, platform::PathStyle style = platform::NativePathStyle());

/// `name` as seen from `folder`. A relative name is joined to the folder part by part: "." parts
/// and empty ones are dropped, ".." takes away the folder's last part (never its root), and parts
/// are separated with `DirectorySeparator` (under the Windows rules a name may use "/" too).
/// An absolute name, and any name when `folder` is empty, comes back as it stands.
std::string ResolveInFolder(const std::string &folder, const std::string &name,
                            platform::PathStyle style = platform::NativePathStyle());

/// The text after the last delimiter of `path` (all of it when there is none).
std::string FileNamePart(const std::string &path,
                         platform::PathStyle style = platform::NativePathStyle());

/// `path` with its directory made explicit: a bare name gets the current directory.
std::string ExpandPathName(const std::string &path,
                           platform::PathStyle style = platform::NativePathStyle());

/// The text from the last "." after the last delimiter, dot included; empty when there is none.
std::string FileExtension(const std::string &name,
                          platform::PathStyle style = platform::NativePathStyle());

/// The folder the module was loaded from, as the host reported the module's name.
std::string ModuleDir();

/// `name` in the "Types" folder beside the module.
std::string TypesFile(const std::string &name);
