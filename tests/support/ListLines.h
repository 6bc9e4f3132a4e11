// A list's entries as plain strings, for comparing a whole list in one assertion.
#pragma once

#include <string>
#include <vector>

#include "config/TStringList.h"

namespace support {

/// The texts of `list`'s entries, in order. Defined here so that the library itself needs none
/// of the module's code: only a test that links the list uses it.
inline std::vector<std::string> LinesOf(const TStringList &list) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < list.Count(); ++i) lines.emplace_back(list.Text(i));
    return lines;
}

}  // namespace support
