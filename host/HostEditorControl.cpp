// EditorControl: the commands the module sends to the current editor.
#include <cstring>

#include "host/Describe.h"
#include "host/Host.h"

namespace farhost {

namespace {

std::string Number(int value) { return std::to_string(value); }

// The character index at which a screen column (tabs expanded) falls.
int PosForTabPos(const Editor &editor, int tabPos) {
    if (editor.curLine < 0 || editor.curLine >= editor.TotalLines()) return tabPos;
    std::string_view text = editor.lines[static_cast<std::size_t>(editor.curLine)].Text();
    int column = 0, pos = 0;
    while (column < tabPos) {
        bool tab = static_cast<std::size_t>(pos) < text.size() && text[static_cast<std::size_t>(pos)] == '\t';
        column = tab ? (column / Editor::kTabSize + 1) * Editor::kTabSize : column + 1;
        ++pos;
    }
    return pos;
}

}  // namespace

int Host::EditorControl(int command, void *param) {
    switch (command) {
    case ECTL_GETSTRING: return GetString(static_cast<EditorGetString *>(param));
    case ECTL_GETINFO: return GetInfo(static_cast<EditorInfo *>(param));
    case ECTL_SETPOSITION: return SetPosition(static_cast<const EditorSetPosition *>(param));
    case ECTL_SAVEFILE: return SaveFile(static_cast<const EditorSaveFile *>(param));
    case ECTL_QUIT: return Quit();
    default:
        Line("EditorControl(" + Number(command) + ", " + HandleText(param) + ") -> 0 (unknown command)");
        return 0;
    }
}

int Host::GetString(EditorGetString *param) {
    if (param == nullptr) {
        Line("EditorControl(ECTL_GETSTRING, NULL) -> 0");
        Fail("ECTL_GETSTRING needs an EditorGetString");
        return 0;
    }
    std::string call = "EditorControl(ECTL_GETSTRING, StringNumber " + Number(param->StringNumber) + ")";
    Editor *editor = editors_.Current();
    if (editor == nullptr) {
        Line(call + " -> 0 (no editor)");
        return 0;
    }
    int number = param->StringNumber == -1 ? editor->curLine : param->StringNumber;
    if (number < 0 || number >= editor->TotalLines()) {
        Line(call + " -> 0 (the editor has " + Number(editor->TotalLines()) + " lines)");
        return 0;
    }
    const EditorLine &line = editor->lines[static_cast<std::size_t>(number)];
    auto selection = editor->selection.find(number);
    param->StringText = line.TextPointer();
    param->StringEOL = line.EolPointer();
    param->StringLength = static_cast<int>(line.Text().size());
    param->SelStart = selection != editor->selection.end() ? selection->second.start : -1;
    param->SelEnd = selection != editor->selection.end() ? selection->second.end : -1;
    Line(call + " -> 1");
    Detail("line " + Number(number) + ": StringText " + transcript_.Text(line.Text()) + ", StringEOL " +
           transcript_.Text(line.Eol()) + ", StringLength " + Number(param->StringLength) + ", SelStart " +
           Number(param->SelStart) + ", SelEnd " + Number(param->SelEnd));
    return 1;
}

int Host::GetInfo(EditorInfo *param) {
    if (param == nullptr) {
        Line("EditorControl(ECTL_GETINFO, NULL) -> 0");
        Fail("ECTL_GETINFO needs an EditorInfo");
        return 0;
    }
    Editor *editor = editors_.Current();
    if (editor == nullptr) {
        Line("EditorControl(ECTL_GETINFO) -> 0 (no editor)");
        return 0;
    }
    EditorInfo info{};
    info.EditorID = editor->id;
    info.FileName = editor->fileName.c_str();
    info.WindowSizeX = 80;
    info.WindowSizeY = 25;
    info.TotalLines = editor->TotalLines();
    info.CurLine = editor->curLine;
    info.CurPos = editor->curPos;
    info.CurTabPos = editor->CurTabPos();
    info.TopScreenLine = editor->topScreenLine;
    info.LeftPos = editor->leftPos;
    info.Overtype = editor->overtype;
    info.BlockType = editor->selection.empty() ? 0 : 1;  // none, or a stream block
    info.BlockStartLine = editor->selection.empty() ? 0 : editor->selection.begin()->first;
    info.AnsiMode = 0;
    info.TableNum = -1;
    info.Options = 0;
    info.TabSize = Editor::kTabSize;
    info.BookMarkCount = 10;
    info.CurState = (editor->modified ? ECSTATE_MODIFIED : 0) | (editor->IsSaved() ? ECSTATE_SAVED : 0);
    *param = info;
    Line("EditorControl(ECTL_GETINFO) -> 1");
    Detail("EditorID " + Number(info.EditorID) + ", FileName " + transcript_.Text(info.FileName) + ", TotalLines " +
           Number(info.TotalLines) + ", CurLine " + Number(info.CurLine) + ", CurPos " + Number(info.CurPos) +
           ", CurState " + StateText(info.CurState));
    return 1;
}

int Host::SetPosition(const EditorSetPosition *param) {
    if (param == nullptr) {
        Line("EditorControl(ECTL_SETPOSITION, NULL) -> 0");
        Fail("ECTL_SETPOSITION needs an EditorSetPosition");
        return 0;
    }
    const EditorSetPosition &to = *param;
    std::string call = "EditorControl(ECTL_SETPOSITION, CurLine " + Number(to.CurLine) + ", CurPos " +
                       Number(to.CurPos) + ", CurTabPos " + Number(to.CurTabPos) + ", TopScreenLine " +
                       Number(to.TopScreenLine) + ", LeftPos " + Number(to.LeftPos) + ", Overtype " +
                       Number(to.Overtype) + ")";
    Editor *editor = editors_.Current();
    if (editor == nullptr) {
        Line(call + " -> 0 (no editor)");
        return 0;
    }
    // Fields of -1 keep what the editor has.
    int line = to.CurLine != -1 ? to.CurLine : editor->curLine;
    editor->MoveCursor(line, editor->curPos);
    if (to.CurPos != -1)
        editor->MoveCursor(editor->curLine, to.CurPos);
    else if (to.CurTabPos != -1)
        editor->MoveCursor(editor->curLine, PosForTabPos(*editor, to.CurTabPos));
    if (to.TopScreenLine != -1) editor->topScreenLine = std::max(0, to.TopScreenLine);
    if (to.LeftPos != -1) editor->leftPos = std::max(0, to.LeftPos);
    if (to.Overtype != -1) editor->overtype = to.Overtype != 0 ? 1 : 0;
    Line(call + " -> 1");
    Detail("editor " + Number(editor->id) + ": CurLine " + Number(editor->curLine) + ", CurPos " +
           Number(editor->curPos) + ", TopScreenLine " + Number(editor->topScreenLine) + ", LeftPos " +
           Number(editor->leftPos));
    return 1;
}

int Host::SaveFile(const EditorSaveFile *param) {
    std::string name = param != nullptr ? BoundedText(param->FileName, sizeof param->FileName) : std::string();
    const char *eol = param != nullptr ? param->FileEOL : nullptr;
    Line("EditorControl(ECTL_SAVEFILE, " +
         (param == nullptr ? std::string("NULL")
                           : "FileName " + transcript_.Text(name) + ", FileEOL " +
                                 (eol != nullptr ? transcript_.Text(eol) : std::string("NULL"))) +
         ")");
    if (param != nullptr && std::memchr(param->FileName, '\0', sizeof param->FileName) == nullptr)
        Fail("ECTL_SAVEFILE: FileName is not terminated within its 260 characters");
    Editor *editor = editors_.Current();
    bool written = false;
    if (editor != nullptr) {
        Transcript::Nest nest(transcript_);
        written = WriteAndReport(*editor, name.empty() ? editor->fileName : FullPath(name), eol);
    } else {
        Detail("no editor");
    }
    Line(std::string("EditorControl -> ") + (written ? "1" : "0"));
    return written ? 1 : 0;
}

int Host::Quit() {
    Editor *editor = editors_.Current();
    if (editor == nullptr) {
        Line("EditorControl(ECTL_QUIT) -> 0 (no editor)");
        return 0;
    }
    editor->quitRequested = true;
    Line("EditorControl(ECTL_QUIT) -> 1");
    Detail("editor " + Number(editor->id) + " closes when the plug-in returns");
    return 1;
}

}  // namespace farhost
