#include "exec/EditorText.h"

#include <algorithm>
#include <climits>

#include "plugin/farapi/FARUtils.h"

namespace {

/// The current line as the host reports it; a host that fails or gives no text yields an empty
/// line with no selection.
struct CurrentLine {
    std::string text;
    int selStart = -1;
    int selEnd = -1;
};

CurrentLine ReadCurrentLine() {
    EditorGetString line{};
    line.StringNumber = -1;
    CurrentLine result;
    if (far::EditorControl(ECTL_GETSTRING, &line) == 0) return result;
    // The host's text need not end in NUL: its length says where it stops.
    if (line.StringText != nullptr && line.StringLength > 0) {
        result.text.assign(line.StringText, static_cast<std::size_t>(line.StringLength));
    }
    result.selStart = line.SelStart;
    result.selEnd = line.SelEnd;
    return result;
}

int CursorPosition() {
    EditorInfo info{};
    if (far::EditorControl(ECTL_GETINFO, &info) == 0) return 0;
    return info.CurPos;
}

bool IsWordStop(char c) { return c == ' ' || c == '\b'; }

/// A line's length in the host's int positions; a line longer than any position reaches is
/// taken up to the last one.
int HostLength(const std::string &line) {
    return static_cast<int>(std::min<std::size_t>(line.size(), INT_MAX));
}

}  // namespace

std::string SelectedPart(const std::string &line, int selStart, int selEnd) {
    // A negative start means no selection on this line; bounds past the text are cut to it.
    if (selEnd == -1 || selStart < 0) return {};
    const int length = HostLength(line);
    const int from = std::min(selStart, length);
    const int to = std::clamp(selEnd, from, length);
    return line.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
}

std::string WordAt(const std::string &line, int cursor) {
    const int length = HostLength(line);
    if (length == 0) return {};
    int i = std::clamp(cursor, 0, length - 1);
    while (!IsWordStop(line[i]) && i > 0) --i;
    while (IsWordStop(line[i]) && i < length - 1) ++i;
    std::string word;
    while (i < length && !IsWordStop(line[i])) word += line[i++];
    return word;
}

std::string SelectionText() {
    CurrentLine line = ReadCurrentLine();
    return SelectedPart(line.text, line.selStart, line.selEnd);
}

std::string WordUnderCursor() {
    CurrentLine line = ReadCurrentLine();
    return WordAt(line.text, CursorPosition());
}

std::string SelectionOrWord() {
    CurrentLine line = ReadCurrentLine();
    if (line.selStart != -1) return SelectedPart(line.text, line.selStart, line.selEnd);
    return WordAt(line.text, CursorPosition());
}
