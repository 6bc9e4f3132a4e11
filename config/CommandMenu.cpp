#include "config/CommandMenu.h"

#include "plugin/farapi/FARUtils.h"
#include "plugin/farapi/KilnrunMsg.h"

namespace {

constexpr const char *kSeparatorText = "---";

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
    std::vector<FarMenuItem> items = ZeroFilledMenuItems(list.Count());
    for (std::size_t i = 0; i < items.size(); ++i) {
        SetMenuItemText(items[i], list.Name(i));
        if (list.Text(i) == kSeparatorText) items[i].Separator = -1;
    }
    return items;
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
