// A readable listing of a compiled program, for tests' failure messages and for debugging.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace regexpr {

/// Lists `program` node by node in byte order, one line each:
///     "  11: OpStarLazy      link 10 -> 21"
///     "  16: OpLiteral       link 0  \"ab\""
/// offset, opcode name, `Link` with its target, and the operand. The signature byte comes first.
/// A byte that starts no valid node ends the listing with a line that says so.
std::string DumpProgram(std::span<const std::uint8_t> program);

}  // namespace regexpr
