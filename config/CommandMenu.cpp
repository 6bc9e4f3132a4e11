#include "config/CommandMenu.h"

#include <algorithm>
#include <cstring>

#include "plugin/FARUtils.h"
#include "plugin/KilnrunMsg.h"

namespace {

constexpr const char *kSeparatorText = "---";

// Copies at most the 127 characters that the record can show and terminates them.
void SetItemText(FarMenuItem &item, std::string_view text) {
    std::size_t length = std::min(text.size(), sizeof(item.Text) - 1);
    std::memcpy(item.Text, text.data(), length);
    item.Text[length] = '\0';
}

// Value-initialised records: every field zero, as the host expects of what is not filled in.
// The host counts items in an int: entries past the most it can show get no record.
std::vector<FarMenuItem> ZeroFilledItems(std::size_t count) {
    return std::vector<FarMenuItem>(std::min<std::size_t>(count, kMostMenuItems));
}

}  // namespace

std::unique_ptr<TStringList> MergeCommandMenu(std::unique_ptr<TStringList> extension,
                                              std::unique_ptr<TStringList> common) {
    if (!extension) extension = std::make_unique<TStringList>();
    bool anyCommand = !extension->Empty() || (common && !common->Empty());
    extension->Insert(0, std::string(far::GetMsg(MsgShowOutput)) + "=1");
    if (anyCommand) extension->Insert(1, kSeparatorText);
    if (common) extension->AppendFrom(*common);
    return extension;
}

std::vector<FarMenuItem> BuildCommandMenuItems(const TStringList &list) {
    std::vector<FarMenuItem> items = ZeroFilledItems(list.Count());
    for (std::size_t i = 0; i < items.size(); ++i) {
        SetItemText(items[i], list.Name(i));
        if (list.Text(i) == kSeparatorText) items[i].Separator = -1;
    }
    return items;
}

std::vector<FarMenuItem> BuildLineMenuItems(const TStringList &list) {
    std::vector<FarMenuItem> items = ZeroFilledItems(list.Count());
    for (std::size_t i = 0; i < items.size(); ++i) SetItemText(items[i], list.Text(i));
    return items;
}

int ShowMenu(const std::string &title, const std::vector<FarMenuItem> &items) {
    int count = static_cast<int>(std::min<std::size_t>(items.size(), kMostMenuItems));
    return far::Menu(-1, -1, title.c_str(), items.data(), count);
}

int ShowCommandMenu(const TStringList &merged) {
    std::vector<FarMenuItem> items = BuildCommandMenuItems(merged);
    int chosen = ShowMenu(far::GetMsg(MsgTitle), items);
    // An answer outside the list would make the caller read past it; take it as a cancel.
    if (chosen < 0 || static_cast<std::size_t>(chosen) >= merged.Count()) return -1;
    return chosen;
}

std::string CommandTemplate(const TStringList &merged, std::size_t index) {
    if (index >= merged.Count()) return std::string();
    return merged.ValueByName(merged.Name(index));
}
