#include "host/LanguageFile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace farhost {

namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

std::string_view NextLine(std::string_view text, std::size_t &pos) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

}  // namespace

std::optional<LanguageFile> LanguageFile::Parse(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::size_t pos = 0;
    std::string_view first = NextLine(text, pos);
    constexpr std::string_view kTag = ".Language=";
    if (first.size() < kTag.size() || !EqualsIgnoringCase(first.substr(0, kTag.size()), kTag)) return std::nullopt;

    LanguageFile file;
    std::string_view names = first.substr(kTag.size());
    file.language_ = std::string(names.substr(0, names.find(',')));
    while (pos < text.size()) {
        std::string_view line = NextLine(text, pos);
        std::size_t open = line.find_first_not_of(" \t");
        if (open == std::string_view::npos || line[open] != '"') continue;  // not a message
        std::size_t close = line.rfind('"');
        std::size_t end = close > open ? close : line.size();
        file.messages_.emplace_back(line.substr(open + 1, end - open - 1));
    }
    return file;
}

const char *LanguageFile::Message(int number) const {
    if (number < 0 || static_cast<std::size_t>(number) >= messages_.size()) return nullptr;
    return messages_[static_cast<std::size_t>(number)].c_str();
}

std::optional<LanguageFile> FindLanguageFile(const std::string &folder, const std::string &language,
                                             std::string &chosenPath) {
    namespace fs = std::filesystem;
    std::vector<fs::path> candidates;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (EqualsIgnoringCase(it->path().extension().string(), ".lng")) candidates.push_back(it->path());
    }
    std::sort(candidates.begin(), candidates.end());
    for (const fs::path &candidate : candidates) {
        std::ifstream in(candidate, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        std::optional<LanguageFile> file = LanguageFile::Parse(text.str());
        if (file && EqualsIgnoringCase(file->Language(), language)) {
            chosenPath = candidate.string();
            return file;
        }
    }
    return std::nullopt;
}

}  // namespace farhost
