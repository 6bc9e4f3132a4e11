#include "exec/Template.h"

#include <climits>
#include <cstddef>
#include <optional>
#include <stdexcept>

#include "config/Dirs.h"
#include "exec/EditorText.h"

using platform::PathStyle;

TemplateArguments MakePathArguments(const std::string &fileName, PathStyle style) {
    TemplateArguments args;
    args[0] = fileName;
    args[1] = PathDir(fileName, style);
    args[2] = FileNamePart(fileName, style);
    const std::string extension = FileExtension(fileName, style);
    args[3] = args[2].substr(0, args[2].size() - extension.size());
    args[4] = extension.empty() ? std::string() : extension.substr(1);
    return args;
}

TemplateArguments MakeTemplateArguments(const std::string &fileName, const std::string &parameter,
                                        PathStyle style) {
    TemplateArguments args = MakePathArguments(fileName, style);
    args[5] = SelectionText();
    args[6] = WordUnderCursor();
    args[7] = SelectionOrWord();
    args[8] = parameter;
    return args;
}

namespace {

constexpr std::size_t kArgumentCount = std::tuple_size_v<TemplateArguments>;
constexpr std::size_t kShownDirectiveLength = 31;
/// The longest command line Windows starts: a wider field can only be a mistake, and padding to
/// it would take up to gigabytes of the host's memory.
constexpr int kMaxWidth = 32767;

/// A number field of a directive: absent, a decimal number, or "*".
struct NumberField {
    bool present = false;
    bool star = false;
    int value = 0;
};

/// One directive as written, before any argument is taken.
struct Directive {
    NumberField index;
    bool leftAligned = false;
    NumberField width;
    bool hasPrecision = false;
    NumberField precision;
    char type = 0;
    std::string text;  // from "%" through the type letter
};

/// Reads the directives of a template; knows nothing about the arguments.
class DirectiveReader {
public:
    DirectiveReader(const std::string &templ, std::size_t percent)
        : templ_(templ), start_(percent), pos_(percent + 1) {}

    /// The directive at the "%", or nullopt when the template ends inside it.
    std::optional<Directive> Read() {
        Directive d;
        NumberField first = ReadNumber();
        if (AtEnd()) return std::nullopt;
        if (first.present && Peek() == ':') {
            d.index = first;
            ++pos_;
            first = NumberField{};
        }
        if (first.present) {
            d.width = first;
        } else {
            if (AtEnd()) return std::nullopt;
            if (Peek() == '-') {
                d.leftAligned = true;
                ++pos_;
            }
            d.width = ReadNumber();
        }
        if (AtEnd()) return std::nullopt;
        if (Peek() == '.') {
            ++pos_;
            d.hasPrecision = true;
            d.precision = ReadNumber();
        }
        if (AtEnd()) return std::nullopt;
        d.type = templ_[pos_++];
        d.text = templ_.substr(start_, pos_ - start_);
        return d;
    }

    std::size_t End() const { return pos_; }

private:
    bool AtEnd() const { return pos_ >= templ_.size(); }
    char Peek() const { return templ_[pos_]; }

    NumberField ReadNumber() {
        NumberField field;
        if (AtEnd()) return field;
        if (Peek() == '*') {
            field.present = field.star = true;
            ++pos_;
            return field;
        }
        while (!AtEnd() && Peek() >= '0' && Peek() <= '9') {
            int digit = Peek() - '0';
            // Saturate instead of overflowing; such a number is refused or means "all" anyway.
            field.value = field.value > (INT_MAX - digit) / 10 ? INT_MAX : field.value * 10 + digit;
            field.present = true;
            ++pos_;
        }
        return field;
    }

    const std::string &templ_;
    std::size_t start_;
    std::size_t pos_;
};

std::string Shown(const std::string &directiveText) {
    return directiveText.substr(0, kShownDirectiveLength);
}

/// Applies directives to the arguments, keeping the position of the next argument.
class ArgumentCursor {
public:
    explicit ArgumentCursor(const TemplateArguments &args) : args_(args) {}

    std::string Format(const Directive &d) {
        if (d.index.present) next_ = static_cast<std::size_t>(NumberOf(d.index, d));
        int width = d.width.present ? NumberOf(d.width, d) : 0;
        std::optional<int> precision;
        if (d.hasPrecision) precision = d.precision.present ? NumberOf(d.precision, d) : 0;
        const std::string &argument = Take(d);
        if ((d.type != 's' && d.type != 'S') || width > kMaxWidth) {
            throw std::runtime_error("Format '" + Shown(d.text) +
                                     "' invalid or incompatible with argument");
        }
        std::string value = precision ? argument.substr(0, static_cast<std::size_t>(*precision))
                                      : argument;
        if (value.size() < static_cast<std::size_t>(width)) {
            std::string padding(static_cast<std::size_t>(width) - value.size(), ' ');
            value = d.leftAligned ? value + padding : padding + value;
        }
        return value;
    }

private:
    const std::string &Take(const Directive &d) {
        if (next_ >= kArgumentCount) {
            throw std::runtime_error("No argument for format '" + Shown(d.text) + "'");
        }
        return args_[next_++];
    }

    /// A written number, or a "*" that uses up the next argument as 0.
    int NumberOf(const NumberField &field, const Directive &d) {
        if (!field.star) return field.value;
        Take(d);
        return 0;
    }

    const TemplateArguments &args_;
    std::size_t next_ = 0;
};

}  // namespace

std::string ExpandTemplate(const std::string &templ, const TemplateArguments &args) {
    std::string result;
    result.reserve(templ.size());
    ArgumentCursor cursor(args);
    std::size_t pos = 0;
    while (pos < templ.size()) {
        std::size_t percent = templ.find('%', pos);
        if (percent == std::string::npos) {
            result.append(templ, pos, std::string::npos);
            break;
        }
        result.append(templ, pos, percent - pos);
        if (percent + 1 < templ.size() && templ[percent + 1] == '%') {
            result += '%';
            pos = percent + 2;
            continue;
        }
        DirectiveReader reader(templ, percent);
        std::optional<Directive> directive = reader.Read();
        if (!directive) break;  // cut off by the end of the template: dropped
        result += cursor.Format(*directive);
        pos = reader.End();
    }
    return result;
}
