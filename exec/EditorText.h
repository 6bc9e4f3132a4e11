// Texts read from the current editor for the command-line template.
#pragma once

#include <string>

/// The selected characters of the current line; empty when the line has no selection or the
/// host reports the selection as running past the line's end (SelEnd -1).
std::string SelectionText();

/// The word under the cursor of the current editor. Words are separated by blanks and the
/// character of code 8 (not by tabs). A cursor on a separator takes the next word to the right;
/// a cursor past the end of the line takes the line's last word.
std::string WordUnderCursor();

/// The selection text when the current line has a selection (SelStart is not -1), otherwise the
/// word under the cursor.
std::string SelectionOrWord();

/// The rules above on a given line, cursor and selection; used by the host-facing functions and
/// by tests.
std::string SelectedPart(const std::string &line, int selStart, int selEnd);
std::string WordAt(const std::string &line, int cursor);
