#include "host/EditorModel.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace farhost {

EditorLine::EditorLine(std::string_view text, std::string_view eol) : bytes_(text), length_(text.size()) {
    bytes_ += eol;
}

std::vector<EditorLine> SplitIntoLines(std::string_view bytes) {
    std::vector<EditorLine> lines;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(bytes.substr(start), "");
            return lines;
        }
        std::size_t eolLength = bytes.substr(end, 2) == "\r\n" ? 2 : 1;
        lines.emplace_back(bytes.substr(start, end - start), bytes.substr(end, eolLength));
        start = end + eolLength;
    }
}

std::string JoinLines(const std::vector<EditorLine> &lines, const char *eol) {
    std::string bytes;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        bytes += lines[i].Text();
        bool last = i + 1 == lines.size();
        if (eol != nullptr && !last)
            bytes += eol;
        else
            bytes += lines[i].Eol();
    }
    return bytes;
}

int Editor::CurTabPos() const {
    if (curLine < 0 || curLine >= TotalLines()) return curPos;
    std::string_view text = lines[static_cast<std::size_t>(curLine)].Text();
    int column = 0;
    for (int i = 0; i < curPos; ++i) {
        bool tab = static_cast<std::size_t>(i) < text.size() && text[static_cast<std::size_t>(i)] == '\t';
        column = tab ? (column / kTabSize + 1) * kTabSize : column + 1;
    }
    return column;
}

void Editor::MoveCursor(int line, int pos) {
    curLine = std::clamp(line, 0, std::max(0, TotalLines() - 1));
    curPos = std::max(0, pos);
}

std::optional<Editor> LoadEditor(const std::string &fileName, std::string &error) {
    Editor editor;
    editor.fileName = fileName;
    std::error_code status;
    std::filesystem::file_status kind = std::filesystem::status(fileName, status);
    if (status && status != std::errc::no_such_file_or_directory) {
        error = "cannot read " + fileName + ": " + status.message();
        return std::nullopt;
    }
    if (!std::filesystem::exists(kind)) {
        // A new file can only be made in a folder that is there.
        std::filesystem::path folder = std::filesystem::path(fileName).parent_path();
        if (!folder.empty() && !std::filesystem::is_directory(folder, status)) {
            error = "cannot read " + fileName + ": its folder does not exist";
            return std::nullopt;
        }
        editor.isNewFile = true;
        editor.lines = SplitIntoLines("");
        return editor;
    }
    std::ifstream in(fileName, std::ios::binary);
    if (!in || std::filesystem::is_directory(fileName, status)) {
        error = "cannot read " + fileName;
        return std::nullopt;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    editor.lines = SplitIntoLines(bytes.str());
    return editor;
}

bool WriteEditor(const Editor &editor, const std::string &fileName, const char *eol, std::string &error) {
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    std::string bytes = JoinLines(editor.lines, eol);
    if (out) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (out) out.close();
    if (!out) {
        error = "cannot write " + fileName;
        return false;
    }
    return true;
}

Editor &EditorSet::Add(Editor editor) {
    editor.id = nextId_++;
    editors_.push_back(std::make_unique<Editor>(std::move(editor)));
    return *editors_.back();
}

Editor *EditorSet::Current() { return editors_.empty() ? nullptr : editors_.back().get(); }

Editor *EditorSet::Find(int id) {
    for (auto &editor : editors_)
        if (editor->id == id) return editor.get();
    return nullptr;
}

bool EditorSet::MakeCurrent(int id) {
    auto it = std::find_if(editors_.begin(), editors_.end(), [id](const auto &e) { return e->id == id; });
    if (it == editors_.end()) return false;
    std::rotate(it, it + 1, editors_.end());
    return true;
}

void EditorSet::Remove(int id) {
    std::erase_if(editors_, [id](const auto &e) { return e->id == id; });
}

std::vector<int> EditorSet::Ids() const {
    std::vector<int> ids;
    for (const auto &editor : editors_) ids.push_back(editor->id);
    return ids;
}

}  // namespace farhost
