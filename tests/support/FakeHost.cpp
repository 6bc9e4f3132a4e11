#include "support/FakeHost.h"

#include <cstring>
#include <stdexcept>

namespace testing_host {
namespace {

FakeHost *live = nullptr;
constexpr INT_PTR kModuleNumber = 4242;
char fileNameBuffer[1024];

int FARAPI Menu(INT_PTR number, int x, int y, int, DWORD, const char *title, const char *,
                const char *help, const int *, int *, const FarMenuItem *items, int count) {
    FakeHost &host = *live;
    RecordedMenu menu;
    menu.title = title != nullptr ? title : "";
    menu.items.assign(items, items + count);
    host.menus.push_back(menu);
    host.calls.push_back("Menu " + std::to_string(x) + "," + std::to_string(y) + " " + menu.title +
                         " help=" + (help ? help : "") + (number == kModuleNumber ? "" : " BAD-NUMBER"));
    if (host.menuAnswers.empty()) return -1;
    int answer = host.menuAnswers.front();
    host.menuAnswers.pop_front();
    return answer;
}

int FARAPI Dialog(INT_PTR, int x1, int y1, int x2, int y2, const char *, FarDialogItem *items, int count) {
    FakeHost &host = *live;
    host.lastDialog.assign(items, items + count);
    host.calls.push_back("Dialog " + std::to_string(x1) + "," + std::to_string(y1) + "," +
                         std::to_string(x2) + "," + std::to_string(y2));
    if (host.dialogAnswers.empty() || host.dialogAnswers.front() == "\x1b") {
        if (!host.dialogAnswers.empty()) host.dialogAnswers.pop_front();
        return -1;
    }
    std::string text = host.dialogAnswers.front();
    host.dialogAnswers.pop_front();
    if (count > 2) {
        std::strncpy(items[2].Data, text.c_str(), sizeof(items[2].Data) - 1);
        items[2].Data[sizeof(items[2].Data) - 1] = '\0';
    }
    return 4;
}

int FARAPI Message(INT_PTR, DWORD flags, const char *help, const char *const *items, int count, int buttons) {
    FakeHost &host = *live;
    RecordedMessage box;
    box.flags = flags;
    box.helpTopic = help != nullptr ? help : "";
    for (int i = 0; i < count; ++i) box.items.push_back(items[i] != nullptr ? items[i] : "(null)");
    box.buttons = buttons;
    host.boxes.push_back(box);
    host.calls.push_back("Message " + (box.items.size() > 1 ? box.items[1] : std::string()));
    return 0;
}

const char *FARAPI GetMsg(INT_PTR, int id) {
    FakeHost &host = *live;
    if (id < 0 || static_cast<std::size_t>(id) >= host.messages.size()) return nullptr;
    return host.messages[static_cast<std::size_t>(id)].c_str();
}

int FARAPI Control(HANDLE, int command, void *) {
    live->calls.push_back("Control " + std::to_string(command));
    return 1;
}

HANDLE FARAPI SaveScreen(int, int, int, int) {
    live->calls.push_back("SaveScreen");
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(77));
}

void FARAPI RestoreScreen(HANDLE screen) {
    live->calls.push_back(screen == nullptr ? "RestoreScreen null" : "RestoreScreen handle");
}

int FARAPI Editor(const char *file, const char *title, int, int, int, int, DWORD flags, int line, int column) {
    live->calls.push_back(std::string("Editor ") + (file ? file : "") + " title=" + (title ? title : "") +
                          " flags=" + std::to_string(flags) + " at " + std::to_string(line) + ":" +
                          std::to_string(column));
    return 1;
}

void FARAPI Text(int x, int y, int color, const char *text) {
    live->calls.push_back("Text " + std::to_string(x) + "," + std::to_string(y) + " color " +
                          std::to_string(color) + (text == nullptr ? " null" : " len " + std::to_string(std::strlen(text))));
}

int FARAPI EditorControl(int command, void *param) {
    FakeHost &host = *live;
    if (host.editors.empty()) return 0;
    FakeEditor &editor = host.Current();
    switch (command) {
        case ECTL_GETINFO: {
            auto *info = static_cast<EditorInfo *>(param);
            *info = EditorInfo{};
            info->EditorID = editor.id;
            std::strncpy(fileNameBuffer, editor.fileName.c_str(), sizeof(fileNameBuffer) - 1);
            info->FileName = fileNameBuffer;
            info->TotalLines = static_cast<int>(editor.lines.size());
            info->CurLine = editor.curLine;
            info->CurPos = editor.curPos;
            info->CurState = editor.state;
            return 1;
        }
        case ECTL_GETSTRING: {
            auto *request = static_cast<EditorGetString *>(param);
            int index = request->StringNumber < 0 ? editor.curLine : request->StringNumber;
            if (index < 0 || static_cast<std::size_t>(index) >= editor.lines.size()) return 0;
            const std::string &line = editor.lines[static_cast<std::size_t>(index)];
            request->StringText = line.c_str();
            request->StringEOL = "\n";
            request->StringLength = static_cast<int>(line.size());
            request->SelStart = index == editor.selLine ? editor.selStart : -1;
            request->SelEnd = index == editor.selLine ? editor.selEnd : -1;
            return 1;
        }
        case ECTL_SETPOSITION: {
            auto *position = static_cast<EditorSetPosition *>(param);
            host.positions.push_back(*position);
            host.calls.push_back("SetPosition " + std::to_string(position->CurLine) + ":" + std::to_string(position->CurPos));
            if (position->CurLine >= 0) editor.curLine = position->CurLine;
            if (position->CurPos >= 0) editor.curPos = position->CurPos;
            return 1;
        }
        case ECTL_SAVEFILE:
            host.calls.push_back("SaveFile");
            editor.state = ECSTATE_SAVED;
            return 1;
        case ECTL_QUIT:
            host.calls.push_back("Quit");
            return 1;
        default:
            host.calls.push_back("EditorControl " + std::to_string(command));
            return 0;
    }
}

}  // namespace

FakeHost::FakeHost() {
    if (live != nullptr) throw std::logic_error("one FakeHost at a time");
    live = this;
    info_.StructSize = sizeof(PluginStartupInfo);
    info_.ModuleNumber = kModuleNumber;
    info_.RootKey = "Software\\Far\\Plugins";
    info_.Menu = &Menu;
    info_.Dialog = &Dialog;
    info_.Message = &Message;
    info_.GetMsg = &GetMsg;
    info_.Control = &Control;
    info_.SaveScreen = &SaveScreen;
    info_.RestoreScreen = &RestoreScreen;
    info_.Editor = &Editor;
    info_.Text = &Text;
    info_.EditorControl = &EditorControl;
    SetModuleName("/nowhere/Kilnrun.so");
}

FakeHost::~FakeHost() { live = nullptr; }

void FakeHost::SetModuleName(const std::string &name) {
    std::strncpy(info_.ModuleName, name.c_str(), sizeof(info_.ModuleName) - 1);
    info_.ModuleName[sizeof(info_.ModuleName) - 1] = '\0';
}

FakeEditor &FakeHost::AddEditor(int id, const std::string &fileName, std::vector<std::string> lines) {
    FakeEditor editor;
    editor.id = id;
    editor.fileName = fileName;
    editor.lines = std::move(lines);
    editors.push_back(editor);
    current = editors.size() - 1;
    return editors.back();
}

FakeHost *FakeHost::Live() { return live; }

}  // namespace testing_host
