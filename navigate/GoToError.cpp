#include "navigate/GoToError.h"

#include <string>

#include "config/Dirs.h"
#include "config/TCommandOptions.h"
#include "config/TextRules.h"
#include "navigate/OutputStore.h"
#include "navigate/ParseErrorLine.h"
#include "platform/Platform.h"
#include "plugin/farapi/FARIntf.h"
#include "plugin/farapi/FARUtils.h"
#include "plugin/farapi/HostMenu.h"
#include "plugin/farapi/KilnrunMsg.h"

namespace {

// The text of line `index` (0-based) of the current editor; empty when the editor has none.
std::string EditorLineText(std::int32_t index) {
    EditorGetString request{};
    request.StringNumber = index;
    if (!far::EditorControl(ECTL_GETSTRING, &request) || request.StringText == nullptr || request.StringLength <= 0)
        return std::string();
    return std::string(request.StringText, static_cast<std::size_t>(request.StringLength));
}

// The column to move to when the output gave none: the cursor's own on that line, else 1.
std::int32_t KeptColumn(std::int32_t line) {
    EditorInfo info{};
    far::EditorControl(ECTL_GETINFO, &info);
    return info.CurLine == line - 1 ? info.CurPos + 1 : 1;
}

void MoveInCurrentEditor(const std::string &outputLine, std::int32_t line, std::int32_t column) {
    if (column == -1)
        column = FirstNonBlankColumn(EditorLineText(line - 1));
    else if (column == 0)
        column = KeptColumn(line);
    else if (column < 0)
        column = 1;  // no sensible column: start of the line

    // The target stands on the tenth screen row and, on long lines, in the fortieth column.
    EditorSetPosition position{};
    position.CurLine = line - 1;
    position.CurPos = column - 1;
    position.CurTabPos = -1;
    position.TopScreenLine = line < 10 ? 0 : line - 10;
    position.LeftPos = column < 75 ? 0 : column - 40;
    position.Overtype = -1;
    far::EditorControl(ECTL_SETPOSITION, &position);

    TheConsoleTitleSaver().SaveConsoleTitle();
    platform::Current().WriteConsoleTitle(outputLine);
}

// A copy of stored output line `index`; empty when there is no such line (a cancelled menu, or
// a store released meanwhile).
std::string StoredLine(int index) {
    const TStringList *lines = TheOutputStore().Lines();
    if (lines == nullptr || index < 0 || static_cast<std::size_t>(index) >= lines->Count()) return std::string();
    return std::string(lines->Text(static_cast<std::size_t>(index)));
}

}  // namespace

std::int32_t FirstNonBlankColumn(const std::string &text) {
    const std::int32_t length = static_cast<std::int32_t>(text.size());
    std::int32_t column = 1;
    while (column < length && (text[column - 1] == ' ' || text[column - 1] == '\t')) ++column;
    return column;
}

bool IsCurrentFile(const std::string &fileName) {
    EditorInfo info{};
    far::EditorControl(ECTL_GETINFO, &info);
    const std::string tracked = TheEditorFileTable().EditorFile(info.EditorID);
    if (tracked.size() < fileName.size()) return false;
    const std::size_t offset = tracked.size() - fileName.size();
    for (std::size_t i = 0; i < fileName.size(); ++i)
        if (AsciiUpper(tracked[offset + i]) != AsciiUpper(fileName[i])) return false;
    return true;
}

void OpenEditorAt(const std::string &fileName, const std::string &title, std::int32_t line,
                  std::int32_t column) {
    far::Editor(fileName.c_str(), title.c_str(), 0, 0, -1, -1, EF_NONMODAL, line, column <= 0 ? 1 : column);
}

void JumpToError(const std::string &fileName, const std::string &outputLine, std::int32_t line,
                 std::int32_t column) {
    if (fileName.empty()) {
        MoveInCurrentEditor(outputLine, line, column);
        return;
    }
    // Taken from the folder the command ran in, not from wherever the host stands now.
    const std::string target = ResolveInFolder(TheOutputStore().RunFolder(), fileName);
    if (IsCurrentFile(target))
        MoveInCurrentEditor(outputLine, line, column);
    else
        OpenEditorAt(target, outputLine, line, column);
}

void GoToError(bool manual, bool suppressAutoExit) {
    OutputStore &store = TheOutputStore();
    if (store.Lines() == nullptr) {
        far::ShowWarning(far::GetMsg(MsgError), far::GetMsg(MsgNoOutput), far::GetMsg(MsgOk));
        return;
    }
    // The host may report editor events inside any call, and the close of the editor that ran
    // the command releases the store. So what is used across a host call is a copy (the options,
    // the menu's title, the output line of a jump), and the list is read only between host calls.
    const TCommandOptions options = store.Options() != nullptr ? *store.Options() : TCommandOptions{};

    if (options.AutoJump && !manual) {
        const TStringList &lines = *store.Lines();
        for (std::size_t i = 0; i < lines.Count(); ++i) {
            const std::string outputLine(lines[i]);
            ErrorPosition position = ParseErrorLine(outputLine, options);
            if (position.line > 0) {
                JumpToError(position.fileName, outputLine, position.line, position.column);
                return;
            }
        }
        if (options.AutoExit && !suppressAutoExit) far::EditorControl(ECTL_QUIT, nullptr);
        return;
    }

    const std::string title = store.CommandLine();
    const int chosen = ShowMenu(title, BuildLineMenuItems(*store.Lines()));
    const std::string outputLine = StoredLine(chosen);
    ErrorPosition position = ParseErrorLine(outputLine, options);
    if (position.line > 0) JumpToError(position.fileName, outputLine, position.line, position.column);
}
