// The modifier bits that steer compilation, and the letters that name them.
#pragma once

#include <cstdint>
#include <string_view>

namespace regexpr {

/// Modifier bits (`Modifiers`). Each has a letter accepted in either case by "(?letters)".
enum ModifierBits : std::int32_t {
    ModifierI = 1,   ///< case-insensitive
    ModifierR = 2,   ///< Cyrillic (Windows-1251) ranges in classes
    ModifierS = 4,   ///< "." matches line separators too
    ModifierG = 8,   ///< quantifiers are greedy unless followed by "?"
    ModifierM = 16,  ///< "^" and "$" match at line separators
    ModifierX = 32,  ///< extended: blanks ignored, "#" starts a comment
};

/// Applies modifier letters ("i", "-x", "im-sx") to `modifiers` in place: letters before the
/// first "-" switch their bit on, letters after it switch it off. Returns false at the first byte
/// that is neither a modifier letter nor "-" (the bits changed before it stay changed).
bool ParseModifierLetters(std::string_view letters, std::int32_t &modifiers);

}  // namespace regexpr
