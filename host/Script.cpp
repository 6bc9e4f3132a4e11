#include "host/Script.h"

namespace farhost {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

}  // namespace

bool SplitWords(std::string_view line, std::vector<std::string> &words, std::string &error) {
    words.clear();
    std::size_t i = 0;
    while (i < line.size()) {
        if (IsBlank(line[i])) {
            ++i;
            continue;
        }
        if (line[i] == '#') break;  // a comment runs to the end of the line
        std::string word;
        while (i < line.size() && !IsBlank(line[i])) {
            if (line[i] != '"') {
                word += line[i++];
                continue;
            }
            ++i;  // the opening quote
            for (;;) {
                if (i >= line.size()) {
                    error = "a quoted text has no closing quote";
                    return false;
                }
                char c = line[i++];
                if (c == '"') break;
                if (c != '\\') {
                    word += c;
                    continue;
                }
                if (i >= line.size()) {
                    error = "a backslash ends the line";
                    return false;
                }
                char escaped = line[i++];
                switch (escaped) {
                case '"': word += '"'; break;
                case '\\': word += '\\'; break;
                case 'n': word += '\n'; break;
                case 'r': word += '\r'; break;
                case 't': word += '\t'; break;
                case 'x': {
                    int high = i < line.size() ? HexDigit(line[i]) : -1;
                    int low = i + 1 < line.size() ? HexDigit(line[i + 1]) : -1;
                    if (high < 0 || low < 0) {
                        error = "\\x needs two hexadecimal digits";
                        return false;
                    }
                    word += static_cast<char>(high * 16 + low);
                    i += 2;
                    break;
                }
                default:
                    error = std::string("unknown escape \\") + escaped;
                    return false;
                }
            }
        }
        words.push_back(std::move(word));
    }
    return true;
}

std::optional<Step> ParseStep(std::string_view line, int number, std::string &error) {
    std::vector<std::string> words;
    if (!SplitWords(line, words, error)) return std::nullopt;
    if (words.empty()) return std::nullopt;
    Step step;
    step.line = number;
    step.verb = words.front();
    step.args.assign(words.begin() + 1, words.end());
    std::size_t end = line.find_last_not_of(" \t\r");
    std::size_t start = line.find_first_not_of(" \t");
    step.text = std::string(line.substr(start, end - start + 1));
    return step;
}

bool ParseScript(std::string_view text, std::vector<Step> &steps, std::string &error) {
    int number = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        ++number;
        std::string lineError;
        std::optional<Step> step = ParseStep(text.substr(start, end - start), number, lineError);
        if (!lineError.empty()) {
            error = "line " + std::to_string(number) + ": " + lineError;
            return false;
        }
        if (step) steps.push_back(std::move(*step));
        if (end == text.size()) break;
        start = end + 1;
    }
    return true;
}

}  // namespace farhost
