// The host's menu: the records it shows and the call that shows them.
#pragma once

#include <concepts>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/farapi/FARIntf.h"

/// The most items a host menu holds: it counts them in an int. Longer lists show their first
/// entries only.
constexpr std::size_t kMostMenuItems = 0x7FFFFFFF;

/// `count` value-initialised records (every field zero, as the host expects of what is not filled
/// in), but never more than `kMostMenuItems`.
std::vector<FarMenuItem> ZeroFilledMenuItems(std::size_t count);

/// Copies at most the 127 characters that the record can show and terminates them.
void SetMenuItemText(FarMenuItem &item, std::string_view text);

/// A list of text lines, numbered from 0: the output of a run (a TStringList) is one.
template <typename List>
concept LineList = requires(const List &list, std::size_t index) {
    { list.Count() } -> std::convertible_to<std::size_t>;
    { list.Text(index) } -> std::convertible_to<std::string_view>;
};

/// One zero-filled record per line holding the whole line (cut to 127 characters); no line is
/// ever a separator. Used for the menu of output lines.
template <LineList List>
std::vector<FarMenuItem> BuildLineMenuItems(const List &lines) {
    std::vector<FarMenuItem> items = ZeroFilledMenuItems(lines.Count());
    for (std::size_t i = 0; i < items.size(); ++i) SetMenuItemText(items[i], lines.Text(i));
    return items;
}

/// Shows `items` as a centred host menu titled `title`; the host's result: the chosen index, -1
/// when the menu was cancelled.
int ShowMenu(const std::string &title, const std::vector<FarMenuItem> &items);
