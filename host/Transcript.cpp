#include "host/Transcript.h"

#include <algorithm>
#include <cstdio>

namespace farhost {

namespace {

bool IsPathNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.';
}

bool EndsPath(char c) { return c == ' ' || c == '\t' || c == '"' || c == '\'' || c == ',' || c == ')'; }

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        start = end + 1;
    }
    return lines;
}

}  // namespace

void PathMask::Add(std::string root, std::string placeholder) {
    while (root.size() > 1 && (root.back() == '/' || root.back() == '\\')) root.pop_back();
    if (root.empty()) return;
    roots_.push_back({std::move(root), std::move(placeholder)});
    std::stable_sort(roots_.begin(), roots_.end(),
                     [](const Root &a, const Root &b) { return a.path.size() > b.path.size(); });
}

std::string PathMask::Apply(std::string_view text) const {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const Root *hit = nullptr;
        for (const Root &root : roots_) {
            if (text.substr(i, root.path.size()) != root.path) continue;
            std::size_t after = i + root.path.size();
            // "/build/x" must not claim "/build/xy".
            if (after < text.size() && IsPathNameChar(text[after])) continue;
            hit = &root;
            break;
        }
        if (hit == nullptr) {
            out += text[i++];
            continue;
        }
        out += hit->placeholder;
        i += hit->path.size();
        for (; i < text.size() && !EndsPath(text[i]); ++i) out += text[i] == '\\' ? '/' : text[i];
    }
    return out;
}

std::string Quote(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (byte < 32 || byte == 127) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            out += hex;
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

void Transcript::Line(const std::string &text) { Write(depth_, text); }

void Transcript::Detail(const std::string &text) { Write(depth_ + 1, text); }

void Transcript::Write(int depth, const std::string &text) {
    std::string line(static_cast<std::size_t>(depth) * 2, ' ');
    line += text;
    if (echo_ != nullptr) *echo_ << line << '\n' << std::flush;
    lines_.push_back(std::move(line));
}

std::optional<std::string> CompareTranscript(const std::vector<std::string> &actual,
                                             std::string_view expected) {
    std::vector<std::string> wanted = SplitLines(expected);
    std::size_t common = std::min(actual.size(), wanted.size());
    std::size_t first = 0;
    while (first < common && actual[first] == wanted[first]) ++first;
    if (first == common && actual.size() == wanted.size()) return std::nullopt;

    std::string report = "transcript differs from the expected one at line " + std::to_string(first + 1) + "\n";
    std::size_t from = first >= 3 ? first - 3 : 0;
    for (std::size_t i = from; i < first; ++i) report += "    " + actual[i] + "\n";
    auto show = [&](const char *label, const std::vector<std::string> &lines) {
        report += label;
        if (first >= lines.size()) {
            report += "  (end of transcript)\n";
            return;
        }
        report += "\n";
        for (std::size_t i = first; i < std::min(lines.size(), first + 3); ++i) report += "  > " + lines[i] + "\n";
    };
    show("expected:", wanted);
    show("actual:", actual);
    return report;
}

}  // namespace farhost
