// Helpers of the shipped-configuration tests: the two folders of command files read through the
// real configuration parser, and the two tool-output corpora with their tables of expected positions.
#pragma once

#include <string>
#include <vector>

#include "config/TCommandOptions.h"

namespace shipped {

/// The two shipped folders: `dist/Types` for Windows (CR LF files) and `examples/Types` for Linux
/// (LF files).
enum class ConfigSet { Windows, Linux };

const char *SetName(ConfigSet set);
std::string SetFolder(ConfigSet set);

/// The bytes of a file; throws std::runtime_error when it cannot be read.
std::string ReadBytes(const std::string &path);

/// The names of the ".ini" files of a folder, sorted.
std::vector<std::string> IniFileNames(ConfigSet set);

struct Command {
    std::string title;
    std::string templ;
    TCommandOptions options;
};

/// One command file after parsing, the way the plug-in reads it: "AllFiles.ini" first on a fresh
/// base option set, then (for any other file) that file on the same base.
struct ConfigFile {
    ConfigSet set = ConfigSet::Linux;
    std::string name;
    std::string bytes;
    TCommandOptions baseAfterParsing;
    std::vector<Command> commands;

    /// The only command with that title, or nullptr when there is none.
    const Command *Find(const std::string &title) const;
};

ConfigFile LoadConfig(ConfigSet set, const std::string &name);

/// One row of expected.tsv: an output line that names a source position.
struct ExpectedRow {
    std::string tool;
    std::string outputFile;  // relative to the corpus folder, e.g. "gcc/errors.txt"
    int lineIndex = 0;       // 0-based, lines split on LF
    std::string file;
    int line = 0;
    std::string column;  // as printed; empty when the line prints none
    std::string kind;

    /// The printed column as the number a position yields: "04" is 4, none is 0.
    int ColumnNumber() const;
};

const std::vector<ExpectedRow> &ExpectedRows();
/// The row for that output line, or nullptr when the line names no position.
const ExpectedRow *FindExpected(const std::string &outputFile, int lineIndex);

/// The output files of every corpus case (the output_file column of cases.tsv), from both
/// corpora: the shared one and the repository's `tests/tool-output`. A tool may have cases in
/// both, but each case is in one, so "tool/case.txt" names one output.
const std::vector<std::string> &CorpusOutputs();

/// The full path of a corpus output file.
std::string CorpusPath(const std::string &outputFile);

/// The lines of a corpus output file, split on LF like expected.tsv counts them.
std::vector<std::string> OutputLines(const std::string &outputFile);

}  // namespace shipped
