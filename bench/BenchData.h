// What the benchmarks run on: the lines of the real tool-output corpus, as a captured run enters
// them, and the expressions a user gets (the default one and every shipped "#REGEXP").
#pragma once

#include <string>
#include <vector>

#include "config/TCommandOptions.h"

namespace bench {

/// One set of error-line options the system would apply, with a short name for the table.
struct NamedOptions {
    std::string name;
    TCommandOptions options;
};

/// Every output line of the corpora under `toolOutputDirs` (folders of <tool>/<case>.txt files),
/// each file's bytes passed through the system's own line assembly. Throws when none are found.
std::vector<std::string> CorpusLines(const std::vector<std::string> &toolOutputDirs);

/// The default options first, then each distinct expression (with its group numbers) of the
/// configuration files under `typesDirs`. When those folders hold none yet, three expressions of
/// the kind they ship stand in, so that the table always has rows for real-world expressions.
std::vector<NamedOptions> ShippedOptions(const std::vector<std::string> &typesDirs);

/// The corpus folders: $KILNRUN_TOOL_OUTPUT_DIR when set (one folder), else the shared corpus and
/// the repository's own, which holds the output of every tool the shipped files know.
std::vector<std::string> ToolOutputDirs();
/// The repository root this build was made from.
std::string SourceDir();

/// Compiles `expression` in a fresh object, as every call of the system does before it matches;
/// false when the expression does not compile.
bool CompileFresh(const std::string &expression);

/// A large captured output made of realistic pieces: compiler lines ending in CR LF, progress
/// counters rewritten with lone CRs, and lines longer than a piece. At least `size` bytes.
std::string SyntheticOutput(std::size_t size);

}  // namespace bench
