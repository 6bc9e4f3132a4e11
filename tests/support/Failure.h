// What a call under test throws, as a value a test can compare.
#pragma once

#include <functional>
#include <string>

namespace support {

/// The message of the std::runtime_error that `action` throws; "(nothing thrown)" when it
/// returns. Other exceptions pass through and fail the test.
std::string FailureOf(const std::function<void()> &action);

/// The `Code` member of the `Error` that `action` throws; 0 when it returns. Other exceptions
/// pass through and fail the test.
template <class Error, class Action>
auto ErrorCodeOf(Action &&action) -> decltype(Error::Code) {
    try {
        action();
    } catch (const Error &error) {
        return error.Code;
    }
    return 0;
}

}  // namespace support
