#include "config/TextRules.h"

#include <optional>
#include <stdexcept>
#include <string_view>

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string UpperAscii(std::string text) {
    for (char &c : text) c = AsciiUpper(c);
    return text;
}

namespace {

std::optional<unsigned> DigitValue(char c, unsigned base) {
    unsigned value;
    if (c >= '0' && c <= '9') value = static_cast<unsigned>(c - '0');
    else if (c >= 'a' && c <= 'f') value = static_cast<unsigned>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F') value = static_cast<unsigned>(c - 'A' + 10);
    else return std::nullopt;
    if (value >= base) return std::nullopt;
    return value;
}

// The digits of `digits` in `base` as a magnitude no larger than `limit`; nullopt when there are
// none, when anything else follows or when the value exceeds the limit.
std::optional<std::uint32_t> ParseMagnitude(std::string_view digits, unsigned base, std::uint64_t limit) {
    if (digits.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : digits) {
        std::optional<unsigned> digit = DigitValue(c, base);
        if (!digit) return std::nullopt;
        value = value * base + *digit;
        if (value > limit) return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

std::optional<std::int32_t> TryParseInteger32(std::string_view text, SignedHex signedHex) {
    std::size_t pos = text.find_first_not_of(' ');
    if (pos == std::string_view::npos) return std::nullopt;
    text.remove_prefix(pos);

    const bool hasSign = text.front() == '+' || text.front() == '-';
    const bool negative = text.front() == '-';
    if (hasSign) text.remove_prefix(1);

    std::size_t hexPrefix = 0;
    if (text.starts_with('$') || text.starts_with('x') || text.starts_with('X')) hexPrefix = 1;
    else if (text.starts_with("0x") || text.starts_with("0X")) hexPrefix = 2;

    if (hexPrefix > 0) {
        if (hasSign && signedHex == SignedHex::Refused) return std::nullopt;
        std::optional<std::uint32_t> bits = ParseMagnitude(text.substr(hexPrefix), 16, 0xFFFFFFFFu);
        if (!bits) return std::nullopt;
        // Two's complement: all 32 bits are the number, a sign negates it modulo 2^32.
        std::uint32_t value = negative ? 0u - *bits : *bits;
        return static_cast<std::int32_t>(value);
    }

    std::uint64_t limit = negative ? 2147483648u : 2147483647u;
    std::optional<std::uint32_t> magnitude = ParseMagnitude(text, 10, limit);
    if (!magnitude) return std::nullopt;
    std::uint32_t value = negative ? 0u - *magnitude : *magnitude;
    return static_cast<std::int32_t>(value);
}

}  // namespace

std::int32_t ParseInteger32(const std::string &text, SignedHex signedHex) {
    std::optional<std::int32_t> value = TryParseInteger32(text, signedHex);
    if (!value) throw std::runtime_error("'" + text + "' is not a valid integer value");
    return *value;
}
