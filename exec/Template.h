// The command-line template: nine texts about the edited file and the cursor, and the format
// language that puts them into a command's template.
#pragma once

#include <array>
#include <string>

#include "platform/Platform.h"

/// The nine texts a template can refer to, by index:
/// 0 the file's full name, 1 its directory, 2 its name with extension, 3 its name without
/// extension, 4 its extension without the dot, 5 the selection on the current line, 6 the word
/// under the cursor, 7 the selection when the line has one, else the word, 8 the asked parameter.
using TemplateArguments = std::array<std::string, 9>;

/// Computes the nine arguments in index order for `fileName` (already absolute). Arguments 5 to 7
/// are read from the current editor through the host. `style` chooses the path delimiters:
/// "\" and ":" for Windows, "/" for POSIX.
TemplateArguments MakeTemplateArguments(const std::string &fileName, const std::string &parameter,
                                        platform::PathStyle style = platform::NativePathStyle());

/// Only the path arguments 0 to 4 (the others are left empty); no host call is made.
TemplateArguments MakePathArguments(const std::string &fileName,
                                    platform::PathStyle style = platform::NativePathStyle());

/// Formats `templ` with the arguments. Text other than "%" is copied and "%%" gives "%".
/// A directive is "%" [index ":"] ["-"] [width] ["." precision] and "s" or "S"; each number may be
/// "*", which uses up the next argument as the number 0 (every argument is text). A directive
/// without an index takes the argument after the one used last; the precision is the most
/// characters taken, the width the least produced (blanks on the left, or on the right after
/// "-"). A "%" or a directive cut off by the end of the template is dropped.
/// Throws std::runtime_error "Format '...' invalid or incompatible with argument" for another type
/// letter and "No argument for format '...'" past argument 8, naming the directive (cut to 31
/// characters).
std::string ExpandTemplate(const std::string &templ, const TemplateArguments &args);
