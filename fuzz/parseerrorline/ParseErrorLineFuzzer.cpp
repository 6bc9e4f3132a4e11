// ParseErrorLine with arbitrary options and output lines.
//
// Input: "LINEMATCH COLUMNMATCH FILEMATCH" on the first line, the expression on the second, the
// output line after it. Properties: a call ends with a result, the engine's own error or the
// integer message, and nothing else; the same call twice gives the same answer (nothing is kept
// between calls); the result only uses the groups the options name, and a file name is text of
// the output line.
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "fuzz/FuzzCheck.h"
#include "navigate/ParseErrorLine.h"
#include "regexpr/RegExpr.h"

namespace {

std::string_view NextLine(std::string_view &input) {
    const std::size_t end = input.find('\n');
    std::string_view line = input.substr(0, end);
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    return line;
}

std::int32_t NextNumber(std::string_view &text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    std::int32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc()) value = 0;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    if (!text.empty() && error != std::errc()) text.remove_prefix(1);
    return value;
}

/// What one call gave: a result, or the text of the error it ended with.
struct Outcome {
    std::optional<ErrorPosition> position;
    std::string error;
    std::int32_t code = 0;

    bool operator==(const Outcome &other) const {
        if (position.has_value() != other.position.has_value() || error != other.error || code != other.code)
            return false;
        return !position || (position->line == other.position->line && position->column == other.position->column &&
                             position->fileName == other.position->fileName);
    }
};

Outcome Call(const std::string &line, const TCommandOptions &options) {
    Outcome outcome;
    try {
        outcome.position = ParseErrorLine(line, options);
    } catch (const regexpr::ERegExpr &error) {
        FUZZ_CHECK(error.Code != 0);
        FUZZ_CHECK(*error.what() != '\0');
        outcome.error = error.what();
        outcome.code = error.Code;
    } catch (const std::runtime_error &error) {
        outcome.error = error.what();
        FUZZ_CHECK(outcome.error.find("' is not a valid integer value") != std::string::npos);
    }
    return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char *>(data), size);
    std::string_view numbers = NextLine(input);
    TCommandOptions options;
    options.LineMatch = NextNumber(numbers);
    options.ColumnMatch = NextNumber(numbers);
    options.FileMatch = NextNumber(numbers);
    options.RegExp = std::string(NextLine(input));
    const std::string line(input);

    const Outcome first = Call(line, options);
    // A run that used up the engine's step or stack bound is not repeated: under the fuzzer's
    // instrumentation it takes tens of seconds.
    const bool boundReached = first.code == 1016 || first.code == 1017;
    if (!boundReached) FUZZ_CHECK(Call(line, options) == first);
    if (!first.position) return 0;

    const ErrorPosition &found = *first.position;
    if (found.line != 0) FUZZ_CHECK(options.LineMatch > 0);
    if (options.ColumnMatch < 1) FUZZ_CHECK(found.column == options.ColumnMatch || found.column == 0);
    if (!found.fileName.empty()) {
        FUZZ_CHECK(options.FileMatch > 0);
        // The engine sees the line up to its first NUL.
        FUZZ_CHECK(std::string_view(line.c_str()).find(found.fileName) != std::string_view::npos);
    }
    return 0;
}
