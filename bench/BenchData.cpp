#include "bench/BenchData.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <tuple>

#include "config/CommandConfig.h"
#include "config/TStringList.h"
#include "exec/ConsoleApp.h"
#include "regexpr/RegExpr.h"

namespace fs = std::filesystem;

namespace bench {
namespace {

std::string ReadBytes(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<fs::path> SortedFiles(const fs::path &dir, const std::string &extension, bool recurseOnce) {
    std::vector<fs::path> files;
    std::error_code error;
    if (!fs::is_directory(dir, error)) return files;
    for (const fs::directory_entry &entry : fs::directory_iterator(dir)) {
        if (recurseOnce && entry.is_directory()) {
            for (const fs::directory_entry &inner : fs::directory_iterator(entry.path()))
                if (inner.is_regular_file() && inner.path().extension() == extension) files.push_back(inner.path());
        } else if (!recurseOnce && entry.is_regular_file() && entry.path().extension() == extension) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

auto Key(const TCommandOptions &o) { return std::tie(o.RegExp, o.LineMatch, o.ColumnMatch, o.FileMatch); }

}  // namespace

std::vector<std::string> ToolOutputDirs() {
    if (const char *dir = std::getenv("KILNRUN_TOOL_OUTPUT_DIR"); dir != nullptr && *dir != '\0') return {dir};
    return {KILNRUN_TOOL_OUTPUT_DIR, std::string(KILNRUN_SOURCE_DIR) + "/tests/tool-output"};
}

std::string SourceDir() { return KILNRUN_SOURCE_DIR; }

std::vector<std::string> CorpusLines(const std::vector<std::string> &toolOutputDirs) {
    std::vector<std::string> lines;
    std::vector<fs::path> files;
    for (const std::string &dir : toolOutputDirs) {
        const std::vector<fs::path> found = SortedFiles(dir, ".txt", true);
        files.insert(files.end(), found.begin(), found.end());
    }
    for (const fs::path &file : files) {
        TStringList output;
        LineAssembler assembler(output);
        assembler.Feed(ReadBytes(file));
        assembler.Finish();
        for (std::size_t i = 0; i < output.Count(); ++i) lines.emplace_back(output[i]);
    }
    if (lines.empty()) throw std::runtime_error("no tool output found under " + toolOutputDirs.front());
    return lines;
}

std::vector<NamedOptions> ShippedOptions(const std::vector<std::string> &typesDirs) {
    std::vector<NamedOptions> result{{"default", TCommandOptions{}}};
    std::set<std::tuple<std::string, std::int32_t, std::int32_t, std::int32_t>> seen{Key(result[0].options)};
    for (std::size_t d = 0; d < typesDirs.size(); ++d) {
        const std::string &dir = typesDirs[d];
        // Rows of the first folder are named after their file, the others' carry a prefix.
        const std::string prefix = d == 0 ? "" : fs::path(dir).parent_path().filename().string() + "/";
        for (const fs::path &file : SortedFiles(dir, ".ini", false)) {
            TCommandOptions base;
            TStringList list;
            list.LoadFromBytes(ReadBytes(file));
            try {
                ParseCommandList(base, list);
            } catch (const std::exception &) {
                continue;  // a broken file is the tests' business, not the benchmark's
            }
            int n = 0;
            for (std::size_t i = 0; i < list.Count(); ++i) {
                const TCommandOptions *options = list.Object(i);
                if (options == nullptr || !seen.insert(Key(*options)).second) continue;
                std::string name = prefix + file.stem().string();
                if (n++ > 0) name += "#" + std::to_string(n);
                result.push_back({name, *options});
            }
        }
    }
    if (result.size() == 1) {
        auto add = [&](std::string name, std::string expression, int line, int column, int fileGroup) {
            TCommandOptions options;
            options.RegExp = std::move(expression);
            options.LineMatch = line;
            options.ColumnMatch = column;
            options.FileMatch = fileGroup;
            result.push_back({std::move(name), options});
        };
        add("gnu", "^(.+?):(\\d+):(\\d+):", 2, 3, 1);
        add("msvc", "^(.+?)\\((\\d+)(,(\\d+))?\\)", 2, 4, 1);
        add("python", "File \"(.+?)\", line (\\d+)", 2, 0, 1);
    }
    return result;
}

std::string SyntheticOutput(std::size_t size) {
    const std::string compilerLine = "src/parser/expression.c:1234:56: warning: unused variable 'x' [-Wunused-variable]\r\n";
    std::string progress;
    for (int percent = 0; percent <= 100; percent += 10) progress += "Building objects " + std::to_string(percent) + "%\r";
    progress += "\r\n";
    const std::string longLine = std::string(700, 'L') + "\r\n";
    std::string output;
    output.reserve(size + 4096);
    while (output.size() < size) {
        for (int i = 0; i < 20; ++i) output += compilerLine;
        output += progress;
        output += longLine;
    }
    return output;
}

bool CompileFresh(const std::string &expression) {
    regexpr::TRegExpr compiled;
    compiled.SetExpression(expression);
    try {
        compiled.CompileExpression();
        return true;
    } catch (const regexpr::ERegExpr &) {
        return false;
    }
}

}  // namespace bench
