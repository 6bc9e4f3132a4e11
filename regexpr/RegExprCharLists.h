// The character lists a new object starts with: the characters of "\s" and of "\w" (which also
// decide word boundaries), and the line separators.
#pragma once

#include <string_view>

namespace regexpr {

inline constexpr std::string_view StandardSpaceList = " \t\n\r\f";
inline constexpr std::string_view StandardWordList = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_";
inline constexpr std::string_view StandardLineSeparators = "\r\n";

}  // namespace regexpr
