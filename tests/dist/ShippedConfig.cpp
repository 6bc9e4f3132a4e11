#include "dist/ShippedConfig.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <utility>

#include "config/CommandConfig.h"
#include "config/TStringList.h"

namespace shipped {

namespace {

std::vector<std::string> Split(const std::string &text, char separator) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    for (;;) {
        const std::string::size_type end = text.find(separator, start);
        if (end == std::string::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

/// The two corpus folders: the shared one and the repository's own. A tool may have cases in both.
const std::vector<std::string> &CorpusRoots() {
    static const std::vector<std::string> roots = {KILNRUN_TOOL_OUTPUT_DIR, KILNRUN_REPO_TOOL_OUTPUT_DIR};
    return roots;
}

/// The rows of a tab-separated corpus table, without its header line; every row has as many
/// fields as the header.
std::vector<std::vector<std::string>> ReadTable(const std::string &name) {
    std::vector<std::string> lines = Split(ReadBytes(name), '\n');
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    if (lines.empty()) throw std::runtime_error(name + " is empty");
    const std::size_t fields = Split(lines.front(), '\t').size();
    std::vector<std::vector<std::string>> rows;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        rows.push_back(Split(lines[i], '\t'));
        if (rows.back().size() != fields) throw std::runtime_error(name + ": malformed row " + lines[i]);
    }
    return rows;
}

int Decimal(const std::string &text) {
    std::size_t used = 0;
    const int value = std::stoi(text, &used, 10);
    if (used != text.size()) throw std::runtime_error("not a number: " + text);
    return value;
}

}  // namespace

const char *SetName(ConfigSet set) { return set == ConfigSet::Windows ? "dist/Types" : "examples/Types"; }

std::string SetFolder(ConfigSet set) { return std::string(KILNRUN_SOURCE_DIR) + "/" + SetName(set); }

std::string ReadBytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> IniFileNames(ConfigSet set) {
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(SetFolder(set))) {
        if (entry.is_regular_file() && entry.path().extension() == ".ini")
            names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

const Command *ConfigFile::Find(const std::string &title) const {
    const Command *found = nullptr;
    for (const Command &command : commands) {
        if (command.title != title) continue;
        if (found != nullptr) return nullptr;  // ambiguous: the tests insist on unique titles
        found = &command;
    }
    return found;
}

ConfigFile LoadConfig(ConfigSet set, const std::string &name) {
    ConfigFile config;
    config.set = set;
    config.name = name;
    config.bytes = ReadBytes(SetFolder(set) + "/" + name);

    // The common file is always parsed first; its leading directives would reach every command
    // of the per-extension file through the base.
    TCommandOptions base;
    if (name != "AllFiles.ini") {
        TStringList common;
        common.LoadFromBytes(ReadBytes(SetFolder(set) + "/AllFiles.ini"));
        ParseCommandList(base, common);
    }
    TStringList list;
    list.LoadFromBytes(config.bytes);
    ParseCommandList(base, list);

    for (std::size_t i = 0; i < list.Count(); ++i) {
        const TCommandOptions *options = list.Object(i);
        if (options == nullptr) throw std::runtime_error(name + ": command without options");
        config.commands.push_back(Command{list.Name(i), list.Value(i), *options});
    }
    config.baseAfterParsing = base;
    return config;
}

int ExpectedRow::ColumnNumber() const { return column.empty() ? 0 : Decimal(column); }

const std::vector<ExpectedRow> &ExpectedRows() {
    static const std::vector<ExpectedRow> rows = [] {
        std::vector<ExpectedRow> result;
        for (const std::string &root : CorpusRoots()) {
            for (const std::vector<std::string> &fields : ReadTable(root + "/expected.tsv")) {
                result.push_back(ExpectedRow{fields[0], fields[1], Decimal(fields[2]), fields[3],
                                             Decimal(fields[4]), fields[5], fields[6]});
            }
        }
        return result;
    }();
    return rows;
}

const ExpectedRow *FindExpected(const std::string &outputFile, int lineIndex) {
    static const std::map<std::pair<std::string, int>, const ExpectedRow *> index = [] {
        std::map<std::pair<std::string, int>, const ExpectedRow *> result;
        for (const ExpectedRow &row : ExpectedRows()) result[{row.outputFile, row.lineIndex}] = &row;
        return result;
    }();
    const auto found = index.find({outputFile, lineIndex});
    return found == index.end() ? nullptr : found->second;
}

namespace {

/// Every output file of both corpora with the folder that holds it, in table order. An output
/// listed by both corpora is an error: a name must say which output it is.
const std::vector<std::pair<std::string, std::string>> &OutputsWithRoots() {
    static const std::vector<std::pair<std::string, std::string>> outputs = [] {
        std::vector<std::pair<std::string, std::string>> result;
        for (const std::string &root : CorpusRoots()) {
            for (const std::vector<std::string> &fields : ReadTable(root + "/cases.tsv")) {
                for (const auto &known : result) {
                    if (known.first == fields[2]) throw std::runtime_error("listed by both corpora: " + fields[2]);
                }
                result.emplace_back(fields[2], root);
            }
        }
        return result;
    }();
    return outputs;
}

}  // namespace

const std::vector<std::string> &CorpusOutputs() {
    static const std::vector<std::string> outputs = [] {
        std::vector<std::string> result;
        for (const auto &output : OutputsWithRoots()) result.push_back(output.first);
        return result;
    }();
    return outputs;
}

std::string CorpusPath(const std::string &outputFile) {
    for (const auto &output : OutputsWithRoots()) {
        if (output.first == outputFile) return output.second + "/" + outputFile;
    }
    throw std::runtime_error("no corpus lists " + outputFile);
}

std::vector<std::string> OutputLines(const std::string &outputFile) {
    return Split(ReadBytes(CorpusPath(outputFile)), '\n');
}

}  // namespace shipped
