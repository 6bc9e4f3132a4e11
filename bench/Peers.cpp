#include "bench/Peers.h"

#include <cstdint>

namespace bench {
namespace {

/// The error-line rules on a peer's result: `highest` is the highest group that took part and
/// `group(k)` its text, exactly as ParseErrorLine reads them from the engine.
template <typename GroupText>
ErrorPosition PositionFromGroups(int highest, const TCommandOptions &options, GroupText group) {
    ErrorPosition result;
    if (options.LineMatch > 0 && highest >= options.LineMatch) result.line = PositionInteger(group(options.LineMatch));
    if (options.ColumnMatch < 1)
        result.column = options.ColumnMatch;
    else if (highest >= options.ColumnMatch)
        result.column = PositionInteger(group(options.ColumnMatch));
    if (options.FileMatch > 0 && highest >= options.FileMatch) result.fileName = group(options.FileMatch);
    return result;
}

}  // namespace

PcreCode PcreCompile(const std::string &expression) {
    int error = 0;
    PCRE2_SIZE offset = 0;
    return PcreCode(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(expression.data()), expression.size(), PCRE2_DOTALL,
                                  &error, &offset, nullptr));
}

ErrorPosition PcreParseErrorLine(const std::string &line, const TCommandOptions &options) {
    PcreCode code = PcreCompile(options.RegExp);
    if (!code) return {};
    PcreMatchData data(pcre2_match_data_create_from_pattern(code.get(), nullptr));
    const int rc = pcre2_match(code.get(), reinterpret_cast<PCRE2_SPTR>(line.data()), line.size(), 0, 0, data.get(),
                               nullptr);
    if (rc <= 0) return {};
    const PCRE2_SIZE *ovector = pcre2_get_ovector_pointer(data.get());
    // rc is one more than the highest group that took part.
    return PositionFromGroups(rc - 1, options, [&](int k) {
        if (ovector[2 * k] == PCRE2_UNSET) return std::string();
        return line.substr(ovector[2 * k], ovector[2 * k + 1] - ovector[2 * k]);
    });
}

std::optional<std::regex> StdRegexCompile(const std::string &expression) {
    // ECMAScript has no "\e"; the escape character is "\x1b" there. Other escapes mean the same.
    std::string translated;
    for (std::size_t i = 0; i < expression.size(); ++i) {
        if (expression[i] == '\\' && i + 1 < expression.size()) {
            translated += expression[i + 1] == 'e' ? std::string("\\x1b") : expression.substr(i, 2);
            ++i;
        } else {
            translated += expression[i];
        }
    }
    try {
        return std::regex(translated, std::regex::ECMAScript);
    } catch (const std::regex_error &) {
        return std::nullopt;
    }
}

ErrorPosition StdRegexParseErrorLine(const std::string &line, const TCommandOptions &options) {
    std::optional<std::regex> expression = StdRegexCompile(options.RegExp);
    if (!expression) return {};
    std::smatch match;
    if (!std::regex_search(line, match, *expression)) return {};
    int highest = 0;
    for (std::size_t k = 1; k < match.size(); ++k)
        if (match[k].matched) highest = static_cast<int>(k);
    return PositionFromGroups(highest, options, [&](int k) { return match[static_cast<std::size_t>(k)].str(); });
}

}  // namespace bench
