// Reading the configuration files: directive lines and the option set of every command.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "config/TCommandOptions.h"
#include "config/TStringList.h"

/// Applies the directive lines of one loaded file and removes them; every remaining line is a
/// command and gets its own option set, a copy of `base` as it stands when the line is reached.
/// Directives before a file's first command change `base` itself (and so every later command,
/// also of files read afterwards); directives after a command change that command only.
/// Throws std::runtime_error when an integer directive's value is not an integer.
void ParseCommandList(TCommandOptions &base, TStringList &list);

/// The text of an integer directive as a signed 32-bit number (ParseInteger32, a sign allowed
/// before hexadecimal digits too). Throws std::runtime_error("'<text>' is not a valid integer
/// value") otherwise.
std::int32_t ParseConfigInteger(const std::string &text);

/// True exactly when `value`, upper-cased in ASCII, is "TRUE".
bool IsTrueValue(const std::string &value);

/// The two command lists of one menu invocation; both are always present, empty when their file
/// is missing.
struct CommandLists {
    std::unique_ptr<TStringList> common;
    std::unique_ptr<TStringList> extension;
};

/// Reads and parses "AllFiles.ini" from the "Types" folder, then the file named after the
/// extension of `editorFileName` (without its dot, plus ".ini"), taken from the edited file's
/// folder when it is there and from "Types" otherwise. Both are parsed against `base`.
/// Throws std::runtime_error("Cannot open file <name>") for a file that exists but cannot be read.
CommandLists ReadConfiguration(TCommandOptions &base, const std::string &editorFileName);
