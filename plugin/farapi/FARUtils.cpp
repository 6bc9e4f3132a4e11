#include "plugin/farapi/FARUtils.h"

#include <algorithm>
#include <cstring>

#include "plugin/farapi/KilnrunMsg.h"

namespace far {
namespace {

PluginStartupInfo startupInfo{};

}  // namespace

void SetStartupInfo(const PluginStartupInfo *info) {
    startupInfo = PluginStartupInfo{};
    if (info == nullptr) return;
    std::size_t size = sizeof(PluginStartupInfo);
    if (info->StructSize > 0) size = std::min(size, static_cast<std::size_t>(info->StructSize));
    std::memcpy(&startupInfo, info, std::min(size, kStartupInfoKeptSize));
    startupInfo.ModuleName[NM - 1] = '\0';
}

void ResetStartupInfo() { startupInfo = PluginStartupInfo{}; }

const PluginStartupInfo &Info() { return startupInfo; }

const char *GetMsg(int id) {
    if (startupInfo.GetMsg == nullptr) return "";
    const char *text = startupInfo.GetMsg(startupInfo.ModuleNumber, id);
    return text != nullptr ? text : "";
}

std::string ModuleName() { return std::string(startupInfo.ModuleName); }

int Menu(int x, int y, const char *title, const FarMenuItem *items, int count) {
    if (startupInfo.Menu == nullptr) return -1;
    return startupInfo.Menu(startupInfo.ModuleNumber, x, y, 0, FMENU_AUTOHIGHLIGHT, title, nullptr,
                            kHelpTopic, nullptr, nullptr, items, count);
}

int Dialog(int x1, int y1, int x2, int y2, FarDialogItem *items, int count) {
    if (startupInfo.Dialog == nullptr) return -1;
    return startupInfo.Dialog(startupInfo.ModuleNumber, x1, y1, x2, y2, nullptr, items, count);
}

void ShowWarning(const char *title, const std::string &text, const char *button) {
    if (startupInfo.Message == nullptr) return;
    const char *items[] = {title, text.c_str(), button};
    startupInfo.Message(startupInfo.ModuleNumber, FMSG_WARNING, kHelpTopic, items, 3, 1);
}

void ShowError(const std::string &text) { ShowWarning(GetMsg(MsgError), text, GetMsg(MsgOk)); }

int EditorControl(int command, void *param) {
    if (startupInfo.EditorControl == nullptr) return 0;
    return startupInfo.EditorControl(command, param);
}

int Control(int command, void *param) {
    if (startupInfo.Control == nullptr) return 0;
    return startupInfo.Control(INVALID_HANDLE_VALUE, command, param);
}

HANDLE SaveScreen(int x1, int y1, int x2, int y2) {
    if (startupInfo.SaveScreen == nullptr) return nullptr;
    return startupInfo.SaveScreen(x1, y1, x2, y2);
}

void RestoreScreen(HANDLE screen) {
    if (startupInfo.RestoreScreen != nullptr) startupInfo.RestoreScreen(screen);
}

void Text(int x, int y, int color, const char *text) {
    if (startupInfo.Text != nullptr) startupInfo.Text(x, y, color, text);
}

int Editor(const char *fileName, const char *title, int x1, int y1, int x2, int y2, DWORD flags,
           int startLine, int startChar) {
    if (startupInfo.Editor == nullptr) return 0;
    return startupInfo.Editor(fileName, title, x1, y1, x2, y2, flags, startLine, startChar);
}

}  // namespace far
