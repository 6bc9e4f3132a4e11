// ExpandTemplate with arbitrary templates and arguments.
//
// Input: the template on the first line, then up to nine arguments, one per line (missing ones
// are empty). Properties: it only ever fails with one of its two messages; text without
// directives comes out as it went in; a template whose every "%" is doubled gives back the text.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "exec/Template.h"
#include "fuzz/FuzzCheck.h"

namespace {

// A width or precision in the millions makes a padded text of that size; the point here is the
// format language, not the allocator, so such numbers are left out.
bool HasHugeNumber(std::string_view templ) {
    std::size_t digits = 0;
    for (char c : templ) {
        digits = (c >= '0' && c <= '9') ? digits + 1 : 0;
        if (digits > 5) return true;
    }
    return false;
}

std::string DoublePercents(std::string_view text) {
    std::string doubled;
    for (char c : text) {
        doubled += c;
        if (c == '%') doubled += '%';
    }
    return doubled;
}

bool StartsWith(const std::string &text, std::string_view prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char *>(data), size);
    std::size_t end = input.find('\n');
    const std::string templ(input.substr(0, end));
    TemplateArguments args;
    for (std::string &arg : args) {
        if (end == std::string_view::npos) break;
        const std::size_t start = end + 1;
        end = input.find('\n', start);
        arg = std::string(input.substr(start, end == std::string_view::npos ? end : end - start));
    }
    if (HasHugeNumber(templ)) return 0;

    try {
        const std::string result = ExpandTemplate(templ, args);
        if (templ.find('%') == std::string::npos) FUZZ_CHECK(result == templ);
    } catch (const std::runtime_error &error) {
        const std::string message = error.what();
        FUZZ_CHECK(StartsWith(message, "Format '") || StartsWith(message, "No argument for format '"));
        FUZZ_CHECK(templ.find('%') != std::string::npos);
    }

    FUZZ_CHECK(ExpandTemplate(DoublePercents(templ), args) == templ);
    return 0;
}
