// A small editor plug-in module that exercises farhost: each item of its menu calls one of the
// host's services, and reports what it got back in a message box, so that a scenario's
// transcript shows both the call and what the module saw.
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "plugin/farapi/FARIntf.h"

#if defined(_WIN32)
#define FAKE_EXPORT extern "C" __declspec(dllexport)
#else
#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

PluginStartupInfo g_info;
const char *g_menuStrings[1];
std::map<int, std::string> g_editorFiles;  // what the events told about each editor

const char *Msg(int number) {
    const char *text = g_info.GetMsg(g_info.ModuleNumber, number);
    return text != nullptr ? text : "(no message)";
}

void Show(const std::vector<std::string> &lines) {
    std::vector<const char *> items;
    items.push_back(Msg(2));
    for (const std::string &line : lines) items.push_back(line.c_str());
    items.push_back(Msg(0));
    g_info.Message(g_info.ModuleNumber, 0, nullptr, items.data(), static_cast<int>(items.size()), 1);
}

std::string Number(long long value) { return std::to_string(value); }

bool CurrentInfo(EditorInfo &info) {
    std::memset(&info, 0, sizeof info);
    return g_info.EditorControl(ECTL_GETINFO, &info) != 0;
}

std::string FolderOf(const std::string &path) {
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void ShowInfo() {
    EditorInfo info;
    if (!CurrentInfo(info)) return Show({"no editor"});
    Show({"EditorID " + Number(info.EditorID), std::string("FileName ") + info.FileName,
          "TotalLines " + Number(info.TotalLines) + ", CurLine " + Number(info.CurLine) + ", CurPos " +
              Number(info.CurPos) + ", CurTabPos " + Number(info.CurTabPos),
          "BlockType " + Number(info.BlockType) + ", BlockStartLine " + Number(info.BlockStartLine) +
              ", TabSize " + Number(info.TabSize) + ", CurState " + Number(info.CurState)});
}

void ShowLine(int number) {
    EditorGetString line{};
    line.StringNumber = number;
    if (g_info.EditorControl(ECTL_GETSTRING, &line) == 0) return Show({"no line " + Number(number)});
    Show({"text [" + std::string(line.StringText, static_cast<std::size_t>(line.StringLength)) + "]",
          "length " + Number(line.StringLength) + ", eol " + Number(static_cast<long long>(std::strlen(line.StringEOL))) +
              ", SelStart " + Number(line.SelStart) + ", SelEnd " + Number(line.SelEnd)});
}

void Jump() {
    EditorSetPosition position{1, 2, -1, 0, -1, -1};
    g_info.EditorControl(ECTL_SETPOSITION, &position);
}

void OpenOther() {
    EditorInfo info;
    if (!CurrentInfo(info)) return;
    std::string other = FolderOf(info.FileName) + "other.txt";
    g_info.Editor(other.c_str(), "other.txt:2:4", 0, 0, -1, -1, EF_NONMODAL, 2, 4);
    ShowInfo();
}

void Save(const char *eol, const char *name) {
    EditorSaveFile save{};
    std::snprintf(save.FileName, sizeof save.FileName, "%s", name);
    save.FileEOL = const_cast<char *>(eol);
    int result = g_info.EditorControl(ECTL_SAVEFILE, &save);
    Show({"saved " + Number(result)});
}

void Ask() {
    FarDialogItem items[6];
    std::memset(items, 0, sizeof items);
    items[0] = {DI_DOUBLEBOX, 3, 1, 46, 6, 0, {0}, 0, 0, {}};
    items[1] = {DI_TEXT, 5, 2, 0, 0, 0, {0}, 0, 0, {}};
    items[2] = {DI_EDIT, 5, 3, 44, 0, 1, {0}, DIF_HISTORY, 0, {}};
    items[2].Param.History = "fake_ask";
    items[3] = {DI_TEXT, 0, 4, 0, 0, 0, {0}, DIF_SEPARATOR, 0, {}};
    items[4] = {DI_BUTTON, 0, 5, 0, 0, 0, {0}, DIF_CENTERGROUP, 1, {}};
    items[5] = {DI_BUTTON, 0, 5, 0, 0, 0, {0}, DIF_CENTERGROUP, 0, {}};
    std::snprintf(items[0].Data, sizeof items[0].Data, "%s", Msg(2));
    std::snprintf(items[1].Data, sizeof items[1].Data, "Parameter:");
    std::snprintf(items[4].Data, sizeof items[4].Data, "%s", Msg(0));
    std::snprintf(items[5].Data, sizeof items[5].Data, "%s", Msg(1));
    int closed = g_info.Dialog(g_info.ModuleNumber, -1, -1, 50, 8, nullptr, items, 6);
    Show({"closed " + Number(closed), "text [" + std::string(items[2].Data) + "]"});
}

void Console() {
    HANDLE screen = g_info.SaveScreen(0, 0, -1, -1);
    for (int row = 0; row < 25; ++row) g_info.Text(0, row, 8, std::string(80, ' ').c_str());
    g_info.Text(0, 0, 7, "fake run");
    g_info.Text(0, 0, 0, nullptr);
    g_info.Control(INVALID_HANDLE_VALUE, FCTL_SETUSERSCREEN, nullptr);
    g_info.RestoreScreen(nullptr);
    g_info.RestoreScreen(screen);
}

void ShowEditors() {
    std::vector<std::string> lines;
    for (const auto &[id, name] : g_editorFiles) lines.push_back(Number(id) + " " + name);
    if (lines.empty()) lines.push_back("none");
    Show(lines);
}

void Unknown() {
    g_info.EditorControl(99, nullptr);
    g_info.Control(INVALID_HANDLE_VALUE, 99, nullptr);
    const char *missing = g_info.GetMsg(g_info.ModuleNumber, 99);
    Show({std::string("message 99 is ") + (missing != nullptr ? missing : "NULL")});
}

struct Action {
    const char *name;
    void (*run)();
};

const Action kActions[] = {
    {"info", ShowInfo},
    {"line", [] { ShowLine(-1); }},
    {"first line", [] { ShowLine(0); }},
    {"jump", Jump},
    {"open other", OpenOther},
    {"save", [] { Save(nullptr, ""); }},
    {"save crlf", [] { Save("\r\n", ""); }},
    {"save as copy", [] { Save(nullptr, "copy.txt"); }},
    {"quit", [] { g_info.EditorControl(ECTL_QUIT, nullptr); }},
    {"ask", Ask},
    {"console", Console},
    {"editors", ShowEditors},
    {"unknown", Unknown},
    {"leave a screen", [] { g_info.SaveScreen(0, 0, -1, -1); }},
    {"wrong number", [] { g_info.GetMsg(g_info.ModuleNumber + 1, 0); }},
};
constexpr int kFirstAction = 2;  // after the title line and a separator

void RunMenu() {
    std::vector<FarMenuItem> items(kFirstAction + std::size(kActions));
    std::memset(items.data(), 0, items.size() * sizeof(FarMenuItem));
    std::snprintf(items[0].Text, sizeof items[0].Text, "%s", "Fake actions");
    items[0].Selected = 1;
    items[1].Separator = -1;
    for (std::size_t i = 0; i < std::size(kActions); ++i)
        std::snprintf(items[kFirstAction + i].Text, sizeof items[0].Text, "%s", kActions[i].name);
    int chosen = g_info.Menu(g_info.ModuleNumber, -1, -1, 0, FMENU_AUTOHIGHLIGHT, Msg(2), nullptr, "Contents",
                             nullptr, nullptr, items.data(), static_cast<int>(items.size()));
    if (chosen >= kFirstAction && chosen < static_cast<int>(items.size())) kActions[chosen - kFirstAction].run();
}

}  // namespace

FAKE_EXPORT void FARAPI SetStartupInfo(const PluginStartupInfo *info) { std::memcpy(&g_info, info, sizeof g_info); }

FAKE_EXPORT int FARAPI GetMinFarVersion() { return MAKEFARVERSION(1, 70, 1282); }

FAKE_EXPORT void FARAPI GetPluginInfo(PluginInfo *info) {
    g_menuStrings[0] = Msg(2);
    info->StructSize = 40;  // the 32-bit size, as the real module reports it on every build
    info->Flags = PF_EDITOR | PF_DISABLEPANELS;
    info->DiskMenuStringsNumber = 0;
    info->PluginMenuStrings = g_menuStrings;
    info->PluginMenuStringsNumber = 1;
    info->PluginConfigStringsNumber = 0;
    info->CommandPrefix = nullptr;
}

FAKE_EXPORT HANDLE FARAPI OpenPlugin(int, INT_PTR) {
    RunMenu();
    return INVALID_HANDLE_VALUE;
}

FAKE_EXPORT int FARAPI ProcessEditorEvent(int event, void *param) {
    if (event == EE_READ || event == EE_SAVE) {
        EditorInfo info;
        if (CurrentInfo(info)) g_editorFiles[info.EditorID] = info.FileName;
    } else if (event == EE_CLOSE && param != nullptr) {
        g_editorFiles.erase(*static_cast<const int *>(param));
    }
    return 0;
}

FAKE_EXPORT int FARAPI ProcessEditorInput(const INPUT_RECORD *record) {
    return record->EventType == KEY_EVENT && record->Event.KeyEvent.bKeyDown && record->Event.KeyEvent.uChar.AsciiChar == 'x';
}
