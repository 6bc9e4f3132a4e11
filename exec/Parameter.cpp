#include "exec/Parameter.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "plugin/farapi/FARUtils.h"
#include "plugin/farapi/KilnrunMsg.h"

namespace {

constexpr const char *kHistoryName = "kilnrun_ask";
constexpr std::size_t kPromptLength = 40;
constexpr int kOkButton = 4;
constexpr int kEditField = 2;

/// The length of `text` up to its first NUL, at most `room`.
std::size_t BoundedLength(const char *text, std::size_t room) {
    const void *nul = std::memchr(text, '\0', room);
    return nul == nullptr ? room : static_cast<std::size_t>(static_cast<const char *>(nul) - text);
}

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

bool IsBlankText(const std::string &text) {
    return std::all_of(text.begin(), text.end(), IsBlankOrControl);
}

/// Copies `text` into a dialog item's text field, cut to the field and terminated.
void SetItemText(FarDialogItem &item, const char *text) {
    const std::size_t room = sizeof item.Data - 1;
    const std::size_t length = text == nullptr ? 0 : std::min(std::strlen(text), room);
    if (length > 0) std::memcpy(item.Data, text, length);
    item.Data[length] = '\0';
}

FarDialogItem MakeItem(int type, int x1, int y1, int x2, int y2, DWORD flags, const char *text) {
    FarDialogItem item{};
    item.Type = type;
    item.X1 = x1;
    item.Y1 = y1;
    item.X2 = x2;
    item.Y2 = y2;
    item.Flags = flags;
    SetItemText(item, text);
    return item;
}

std::vector<FarDialogItem> MakeDialogItems(const std::string &prompt) {
    std::vector<FarDialogItem> items;
    items.reserve(6);
    items.push_back(MakeItem(DI_DOUBLEBOX, 3, 1, 46, 6, 0, ""));
    items.push_back(MakeItem(DI_TEXT, 5, 2, 0, 0, 0, prompt.c_str()));
    FarDialogItem edit = MakeItem(DI_EDIT, 5, 3, 44, 0, DIF_HISTORY, "");
    edit.Focus = 1;
    edit.Param.History = kHistoryName;
    items.push_back(edit);
    items.push_back(MakeItem(DI_TEXT, 0, 4, 0, 0, DIF_SEPARATOR, ""));
    FarDialogItem ok = MakeItem(DI_BUTTON, 0, 5, 0, 0, DIF_CENTERGROUP, far::GetMsg(MsgOk));
    ok.DefaultButton = 1;
    items.push_back(ok);
    items.push_back(MakeItem(DI_BUTTON, 0, 5, 0, 0, DIF_CENTERGROUP, far::GetMsg(MsgCancel)));
    return items;
}

}  // namespace

bool AskParameter(const std::string &ask, std::string &parameter) {
    parameter.clear();
    if (IsBlankText(ask)) return true;
    std::vector<FarDialogItem> items = MakeDialogItems(ask.substr(0, kPromptLength));
    int result = far::Dialog(-1, -1, 50, 8, items.data(), static_cast<int>(items.size()));
    if (result != kOkButton) return false;
    const FarDialogItem &edit = items[kEditField];
    // The host may have filled the field to its end: never read past it.
    parameter.assign(edit.Data, BoundedLength(edit.Data, sizeof edit.Data - 1));
    return true;
}
