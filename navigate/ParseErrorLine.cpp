#include "navigate/ParseErrorLine.h"

#include <stdexcept>

#include "regexpr/RegExpr.h"

namespace {

[[noreturn]] void NotAnInteger(const std::string &text) {
    throw std::runtime_error("'" + text + "' is not a valid integer value");
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::int32_t PositionInteger(const std::string &text) {
    std::size_t pos = text.find_first_not_of(' ');
    if (pos == std::string::npos) NotAnInteger(text);

    std::size_t digits = pos;
    if (text[pos] == '$' || text[pos] == 'x' || text[pos] == 'X') {
        digits = pos + 1;
    } else if (text[pos] == '0' && pos + 1 < text.size() && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
        digits = pos + 2;
    }
    if (digits != pos) {
        if (digits == text.size()) NotAnInteger(text);
        std::uint32_t value = 0;
        int significant = 0;
        for (std::size_t i = digits; i < text.size(); ++i) {
            int digit = HexDigitValue(text[i]);
            if (digit < 0) NotAnInteger(text);
            if (value != 0 || digit != 0) ++significant;
            if (significant > 8) NotAnInteger(text);
            value = (value << 4) | static_cast<std::uint32_t>(digit);
        }
        return static_cast<std::int32_t>(value);
    }

    bool negative = false;
    if (text[pos] == '+' || text[pos] == '-') {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos == text.size()) NotAnInteger(text);
    std::int64_t value = 0;
    for (std::size_t i = pos; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') NotAnInteger(text);
        value = value * 10 + (text[i] - '0');
        if (value > 2147483648LL) NotAnInteger(text);
    }
    if (negative) value = -value;
    if (value > 2147483647LL) NotAnInteger(text);
    return static_cast<std::int32_t>(value);
}

ErrorPosition ParseErrorLine(const std::string &outputLine, const TCommandOptions &options) {
    ErrorPosition result;
    regexpr::TRegExpr expression;
    expression.SetExpression(options.RegExp);
    if (!expression.Exec(outputLine)) return result;

    const int highest = expression.SubMatchCount();
    if (options.LineMatch > 0 && highest >= options.LineMatch)
        result.line = PositionInteger(expression.Match(options.LineMatch));
    if (options.ColumnMatch < 1)
        result.column = options.ColumnMatch;
    else if (highest >= options.ColumnMatch)
        result.column = PositionInteger(expression.Match(options.ColumnMatch));
    if (options.FileMatch > 0 && highest >= options.FileMatch)
        result.fileName = expression.Match(options.FileMatch);
    return result;
}
