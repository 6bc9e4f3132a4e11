// The command menu: merging the two command lists, its host menu records, the chosen template.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "config/TStringList.h"
#include "plugin/farapi/HostMenu.h"

/// The merged menu list: the "show output" entry, a "---" separator when any command was read,
/// the per-extension commands, then the common ones. Every option set moves into the merged list
/// with its entry; the common list is released empty. A null list counts as an empty one.
std::unique_ptr<TStringList> MergeCommandMenu(std::unique_ptr<TStringList> extension,
                                              std::unique_ptr<TStringList> common);

/// One zero-filled record per entry: the entry's name as text (cut to 127 characters), and a
/// separator for an entry whose whole text is "---".
std::vector<FarMenuItem> BuildCommandMenuItems(const TStringList &list);

/// Shows the merged list as the command menu; the chosen index, -1 when cancelled (also when the
/// host answers with an index outside the list).
int ShowCommandMenu(const TStringList &merged);

/// The template of the command at `index`: the value of the first entry holding "=" whose name
/// equals that command's name without regard to case; empty when none does (or the index is
/// outside the list).
std::string CommandTemplate(const TStringList &merged, std::size_t index);
