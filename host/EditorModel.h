// The host's editors: each holds a file's lines with their own line ends, a cursor, a selection
// per line and the modified/saved state; the set keeps them in activation order.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace farhost {

/// One line of an editor. Text and line end sit in one buffer, so the text handed to the module
/// is not followed by a NUL: the module must use the length, as with the real host.
class EditorLine {
public:
    EditorLine(std::string_view text, std::string_view eol);
    std::string_view Text() const { return std::string_view(bytes_).substr(0, length_); }
    std::string_view Eol() const { return std::string_view(bytes_).substr(length_); }
    const char *TextPointer() const { return bytes_.data(); }
    const char *EolPointer() const { return bytes_.data() + length_; }  // NUL-terminated

private:
    std::string bytes_;
    std::size_t length_;
};

/// Splits a file's bytes into lines at CR LF, LF or a lone CR, keeping each line end. A final
/// line end leaves an empty last line, as the host's editor shows it; an empty file is one line.
std::vector<EditorLine> SplitIntoLines(std::string_view bytes);

/// Joins lines back into bytes, each with its own line end or, when given, with `eol` instead
/// (the last line keeps having none).
std::string JoinLines(const std::vector<EditorLine> &lines, const char *eol);

/// A selection on one line: SelStart and SelEnd as the host reports them (-1 = past the end).
struct LineSelection {
    int start;
    int end;
};

struct Editor {
    int id = 0;
    std::string fileName;  // full path; the pointer handed out stays valid while the editor lives
    std::string title;     // the window title given to the Editor service, else empty
    std::vector<EditorLine> lines;
    int curLine = 0;  // 0-based, like EditorInfo
    int curPos = 0;
    int topScreenLine = 0;
    int leftPos = 0;
    int overtype = 0;
    std::map<int, LineSelection> selection;
    bool modified = false;   // changes not written to the file
    bool isNewFile = false;  // the file is not on disk yet: it did not exist and was never saved
    bool quitRequested = false;

    static constexpr int kTabSize = 8;
    int TotalLines() const { return static_cast<int>(lines.size()); }
    /// The file on disk holds what the editor shows (ECSTATE_SAVED): nothing is lost by closing.
    bool IsSaved() const { return !modified && !isNewFile; }
    /// The cursor's screen column with tabs expanded.
    int CurTabPos() const;
    /// Moves the cursor, keeping the line within the file and the column at 0 or above.
    void MoveCursor(int line, int pos);
};

/// Reads a file into a new editor; a missing file opens as an empty new file, as in the host.
/// Returns nullopt with `error` set when the file exists but cannot be read.
std::optional<Editor> LoadEditor(const std::string &fileName, std::string &error);

/// Writes the editor's lines to `fileName`; false with `error` set when that fails.
bool WriteEditor(const Editor &editor, const std::string &fileName, const char *eol, std::string &error);

/// The open editors, the current one last.
class EditorSet {
public:
    Editor &Add(Editor editor);  // gives it the next identifier and makes it current
    Editor *Current();
    Editor *Find(int id);
    bool MakeCurrent(int id);
    void Remove(int id);
    int Count() const { return static_cast<int>(editors_.size()); }
    void SetNextId(int id) { nextId_ = id; }
    std::vector<int> Ids() const;

private:
    std::vector<std::unique_ptr<Editor>> editors_;  // pointers stay put while editors come and go
    int nextId_ = 1;
};

}  // namespace farhost
