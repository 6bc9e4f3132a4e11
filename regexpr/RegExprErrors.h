// The codes of the errors the engine reports. Each is raised through `TRegExpr::Error`, which
// builds the message from `TRegExpr::ErrorText`; codes below 1000 come from compiling and carry
// the position in the expression, codes from 1000 on come from running a program.
#pragma once

#include <cstdint>

namespace regexpr {

/// An error code of the engine. Codes marked "never" have a text but nothing raises them.
enum TErrorCode : std::int32_t {
    ErrNone = 0,
    // Compiling.
    ErrNullArgument = 100,           // an empty expression
    ErrTooBig = 101,                 // a program beyond 32-bit offsets
    ErrTooManyGroups = 102,          // a fifteenth group
    ErrGroupNotClosed = 103,         // a group without ")"
    ErrCloseWithoutGroup = 104,      // a ")" without a group
    ErrJunkOnEnd = 105,              // never
    ErrEmptyOperand = 106,           // "*", "+" or "{" after an atom that may match nothing
    ErrNestedQuantifier = 107,       // a quantifier after a quantifier
    ErrBadHexDigit = 108,            // a byte that is no hex digit in "\x"
    ErrInvalidRange = 109,           // a class range whose end is below its start
    ErrClassTrailingBackslash = 110, // a class that ends in "\"
    ErrNoHexCode = 111,              // "\x" cut off by the end
    ErrHexCodeTooBig = 112,          // "\x{...}" above 255
    ErrClassNotClosed = 113,         // a class without "]"
    ErrInternal = 114,               // never
    ErrNothingToRepeat = 115,        // a quantifier where an atom must start
    ErrTrailingBackslash = 116,      // an expression that ends in "\"
    ErrAtomInternal = 119,           // never
    ErrBracesTooBig = 122,           // a brace number of more than 8 digits
    ErrBracesMinAboveMax = 124,      // "{n,m}" with m < n
    ErrCommentNotClosed = 125,       // "(?#" without ")"
    ErrComplexBraces = 126,          // never
    ErrBadModifier = 127,            // a bad inline modifier group
    ErrBadPairedSeparator = 128,     // a paired line separator that is not two different bytes
    // Running.
    ErrRepeatOperand = 1000,         // a repeat over a node that cannot be counted
    ErrBadOpcode = 1001,             // an opcode outside the program format
    ErrBrokenLink = 1002,            // a chain that ends before OpEnd, or a link outside the program
    ErrNoExpression = 1003,          // running with no expression set
    ErrBadSignature = 1004,          // a program without its signature byte
    ErrNoInput = 1005,               // running with no subject set
    ErrBadOffset = 1006,             // a start offset below 1
    ErrNextWithoutExec = 1007,       // never
    ErrNoInputToGet = 1008,          // never
    ErrDumpBadOpcode = 1011,         // never
    ErrBadModifierIndex = 1013,      // a modifier index outside 1 to 6
    ErrLoopStackExceeded = 1014,     // an eleventh nested loop
    ErrLoopWithoutEntry = 1015,      // a loop node outside its loop
    ErrBacktrackLimit = 1016,        // more backtracking frames than `BacktrackLimit`
    ErrStepLimit = 1017,             // more steps than `StepLimit`
    ErrInputTooLong = 1018,          // a subject longer than 32-bit positions allow
};

/// The first code raised while running a program; messages of lower codes carry a position.
inline constexpr std::int32_t FirstExecErrorCode = ErrRepeatOperand;

}  // namespace regexpr
