#include "support/Failure.h"

#include <stdexcept>

namespace support {

std::string FailureOf(const std::function<void()> &action) {
    try {
        action();
    } catch (const std::runtime_error &failure) {
        return failure.what();
    }
    return "(nothing thrown)";
}

}  // namespace support
