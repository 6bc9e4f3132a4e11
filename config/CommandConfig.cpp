#include "config/CommandConfig.h"

#include <cstddef>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "config/Dirs.h"
#include "platform/Platform.h"

namespace {

// Directive names and values are compared after mapping the ASCII letters only: other bytes of
// the host's code page stay as they are.
std::string UpperAscii(std::string text) {
    for (char &c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

bool IsDirectiveName(const std::string &name) { return !name.empty() && name[0] == '#'; }

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

}  // namespace

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

namespace {

// Sets the field that `directive` (upper-cased) names; names that match none change nothing.
void ApplyDirective(TCommandOptions &target, const std::string &directive, const std::string &value) {
    if (directive == "#SAVE") target.Save = IsTrueValue(value);
    else if (directive == "#TOMENU") target.ToMenu = IsTrueValue(value);
    else if (directive == "#REGEXP") target.RegExp = value;
    else if (directive == "#LINEMATCH") target.LineMatch = ParseConfigInteger(value);
    else if (directive == "#COLUMNMATCH") target.ColumnMatch = ParseConfigInteger(value);
    else if (directive == "#FILEMATCH") target.FileMatch = ParseConfigInteger(value);
    else if (directive == "#CDFILEDIR") target.CdFileDir = IsTrueValue(value);
    else if (directive == "#AUTOJUMP") target.AutoJump = IsTrueValue(value);
    else if (directive == "#AUTOEXIT") target.AutoExit = IsTrueValue(value);
    else if (directive == "#ASK") target.Ask = value;
}

// Loads and parses the file at `path` when one exists there; an empty list otherwise.
std::unique_ptr<TStringList> ReadCommandFile(TCommandOptions &base, const std::string &path) {
    auto list = std::make_unique<TStringList>();
    platform::Platform &system = platform::Current();
    if (!system.FileExists(path)) return list;
    std::string bytes;
    if (!system.ReadWholeFile(path, bytes)) throw std::runtime_error("Cannot open file " + path);
    list->LoadFromBytes(bytes);
    ParseCommandList(base, *list);
    return list;
}

}  // namespace

bool IsTrueValue(const std::string &value) { return UpperAscii(value) == "TRUE"; }

std::int32_t ParseConfigInteger(const std::string &text) {
    std::optional<std::int32_t> value = TryParseInteger32(text, SignedHex::Allowed);
    if (!value) throw std::runtime_error("'" + text + "' is not a valid integer value");
    return *value;
}

void ParseCommandList(TCommandOptions &base, TStringList &list) {
    // The commands are gathered into a new list rather than deleting each directive in place:
    // deleting from the middle moves every later entry, which made a file of many thousands of
    // lines take minutes to read.
    TStringList commands;
    TCommandOptions *target = &base;
    for (std::size_t index = 0; index < list.Count(); ++index) {
        std::string name = UpperAscii(list.Name(index));
        if (!IsDirectiveName(name)) {
            // Each command starts from the base as it stands now, not from the command above.
            commands.Append(list.Text(index), base.Clone());
            target = commands.Object(commands.Count() - 1);
            continue;
        }
        ApplyDirective(*target, name, list.Value(index));
    }
    list = std::move(commands);
}

CommandLists ReadConfiguration(TCommandOptions &base, const std::string &editorFileName) {
    CommandLists lists;
    lists.common = ReadCommandFile(base, TypesFile("AllFiles.ini"));

    std::string extension = FileExtension(editorFileName);
    std::string fileName = (extension.empty() ? extension : extension.substr(1)) + ".ini";
    std::string candidate = JoinPath(PathDirOrCurrent(editorFileName), fileName);
    if (!platform::Current().FileExists(candidate)) candidate = TypesFile(fileName);
    lists.extension = ReadCommandFile(base, candidate);
    return lists;
}
