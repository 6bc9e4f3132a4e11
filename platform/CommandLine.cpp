#include "platform/CommandLine.h"

#include <cstddef>

namespace platform {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

/// Reads the program name starting at `pos`; returns the position after it.
std::size_t ReadProgramName(const std::string &line, std::size_t pos, std::string &name) {
    bool inQuotes = false;
    while (pos < line.size() && (inQuotes || !IsBlank(line[pos]))) {
        if (line[pos] == '"') {
            inQuotes = !inQuotes;
        } else {
            name += line[pos];
        }
        ++pos;
    }
    return pos;
}

/// Reads one argument starting at `pos` (not a blank); returns the position after it.
std::size_t ReadArgument(const std::string &line, std::size_t pos, std::string &word) {
    bool inQuotes = false;
    while (pos < line.size()) {
        std::size_t backslashes = 0;
        while (pos < line.size() && line[pos] == '\\') {
            ++backslashes;
            ++pos;
        }
        if (pos < line.size() && line[pos] == '"') {
            word.append(backslashes / 2, '\\');
            if (backslashes % 2 == 1) {
                word += '"';
            } else if (inQuotes && pos + 1 < line.size() && line[pos + 1] == '"') {
                word += '"';
                ++pos;
            } else {
                inQuotes = !inQuotes;
            }
            ++pos;
            continue;
        }
        word.append(backslashes, '\\');
        if (pos >= line.size() || (!inQuotes && IsBlank(line[pos]))) break;
        word += line[pos];
        ++pos;
    }
    return pos;
}

std::size_t SkipBlanks(const std::string &line, std::size_t pos) {
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    return pos;
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string &commandLine) {
    std::vector<std::string> words;
    std::size_t pos = SkipBlanks(commandLine, 0);
    if (pos >= commandLine.size()) return words;

    std::string program;
    pos = ReadProgramName(commandLine, pos, program);
    words.push_back(std::move(program));

    for (pos = SkipBlanks(commandLine, pos); pos < commandLine.size();
         pos = SkipBlanks(commandLine, pos)) {
        std::string word;
        pos = ReadArgument(commandLine, pos, word);
        words.push_back(std::move(word));
    }
    return words;
}

}  // namespace platform
