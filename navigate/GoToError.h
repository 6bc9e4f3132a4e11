// Moving the editor from the stored output of the last run to the position a line names.
#pragma once

#include <cstdint>
#include <string>

/// Jumps to the first output line that names a position (automatic mode, when the stored
/// command asked for it) or lets the user choose a line from a menu of the output (manual mode,
/// and automatic mode otherwise). In automatic mode with nothing found, the editor is closed
/// when the command asked for that and `suppressAutoExit` is clear.
void GoToError(bool manual, bool suppressAutoExit);

/// Moves the current editor to `line` and `column` when the output line names no file or the
/// current editor's file, and shows the output line as the console title until the next key;
/// otherwise opens a further editor on the named file. A relative `fileName` is taken from the
/// folder the stored command ran in.
void JumpToError(const std::string &fileName, const std::string &outputLine, std::int32_t line,
                 std::int32_t column);

/// Whether the current editor's file name ends with `fileName` (ASCII letters compared
/// without regard to case).
bool IsCurrentFile(const std::string &fileName);

/// The 1-based column of the first character that is neither a tab nor a space; never beyond
/// the text's length, and 1 for an empty text.
std::int32_t FirstNonBlankColumn(const std::string &text);

/// Opens a further, non-modal editor on `fileName` titled `title`, at `line` and `column`
/// (a column of 0 or below becomes 1).
void OpenEditorAt(const std::string &fileName, const std::string &title, std::int32_t line,
                  std::int32_t column);
