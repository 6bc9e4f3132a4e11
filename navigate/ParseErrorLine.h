// Reading a source position out of one line of a tool's output.
#pragma once

#include <cstdint>
#include <string>

#include "config/TCommandOptions.h"

/// Where an output line points. A line number above 0 is the only sign that one was found.
struct ErrorPosition {
    std::string fileName;     // empty: the line names no file
    std::int32_t line = 0;    // 1-based; 0 when nothing was found
    std::int32_t column = 0;  // 1-based, or 0 (keep the cursor's column) or -1 (first non-blank)
};

/// Applies the command's expression to `outputLine` and takes the line, column and file name
/// from the sub-expressions its options name. The expression is compiled afresh for every call.
/// Throws when the expression does not compile or a number is not an integer.
ErrorPosition ParseErrorLine(const std::string &outputLine, const TCommandOptions &options);

/// The integer value of a position text: leading blanks skipped, then a signed decimal number,
/// or a hexadecimal one after "$", "x", "X", "0x" or "0X" (all 32 bits, two's complement).
/// Throws "'<text>' is not a valid integer value" for anything else or a value out of range.
std::int32_t PositionInteger(const std::string &text);
