// The 8-bit text rules that configuration files and tool output share: upper-casing that maps
// the ASCII letters only, and the 32-bit integers of directives and output positions.
#pragma once

#include <cstdint>
#include <string>

/// `c` with "a" to "z" mapped to "A" to "Z"; every other byte, also a letter of the host's code
/// page, stays as it is.
char AsciiUpper(char c);

/// `text` with every ASCII letter upper-cased (see AsciiUpper).
std::string UpperAscii(std::string text);

/// Whether a "+" or "-" may stand before a hexadecimal number: a directive's number takes one,
/// a position in an output line does not.
enum class SignedHex { Allowed, Refused };

/// A signed 32-bit number from its text: leading spaces skipped, an optional sign, then decimal
/// digits or, after "$", "x", "X", "0x" or "0X", hexadecimal digits. A decimal value must lie
/// within -2147483648..2147483647; a hexadecimal one uses all 32 bits as a two's-complement
/// number ("$FFFFFFFF" is -1), and a sign, where allowed, negates it. Nothing may follow.
/// Throws std::runtime_error("'<text>' is not a valid integer value") for anything else.
std::int32_t ParseInteger32(const std::string &text, SignedHex signedHex);
