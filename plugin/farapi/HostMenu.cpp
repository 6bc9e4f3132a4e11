#include "plugin/farapi/HostMenu.h"

#include <algorithm>
#include <cstring>

#include "plugin/farapi/FARUtils.h"

std::vector<FarMenuItem> ZeroFilledMenuItems(std::size_t count) {
    return std::vector<FarMenuItem>(std::min(count, kMostMenuItems));
}

void SetMenuItemText(FarMenuItem &item, std::string_view text) {
    std::size_t length = std::min(text.size(), sizeof(item.Text) - 1);
    std::memcpy(item.Text, text.data(), length);
    item.Text[length] = '\0';
}

int ShowMenu(const std::string &title, const std::vector<FarMenuItem> &items) {
    int count = static_cast<int>(std::min(items.size(), kMostMenuItems));
    return far::Menu(-1, -1, title.c_str(), items.data(), count);
}
