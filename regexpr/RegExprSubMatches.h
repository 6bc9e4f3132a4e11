// The bounds of a match and of its groups, as the matcher fills them and the object reports them.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

#include "regexpr/RegExprProgram.h"

namespace regexpr {

/// The bounds of the whole match (slot 0) and of groups 1 to 14, as positions in the subject: a
/// group's end is the position just after its last character; -1 when unset.
struct TSubMatches {
    std::array<std::int32_t, SubMatchSlots> Start;
    std::array<std::int32_t, SubMatchSlots> End;

    void Clear() {
        // Every byte 0xFF: each bound -1. A fixed-size block, set in a few wide stores.
        std::memset(Start.data(), 0xFF, sizeof Start);
        std::memset(End.data(), 0xFF, sizeof End);
    }
};

}  // namespace regexpr
