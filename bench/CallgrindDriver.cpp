// A driver for instruction counts under callgrind: runs ParseErrorLine (or the compilation alone)
// of one shipped expression over every corpus line, with collection switched on only around that
// loop, and prints the line count so that the total divides into instructions per line.
//
//   valgrind --tool=callgrind --instr-atstart=no build/bench/bench/kilnrun_callgrind asm parse
#include <valgrind/callgrind.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "bench/BenchData.h"
#include "navigate/ParseErrorLine.h"

namespace {

int RunParse(const std::vector<std::string> &lines, const TCommandOptions &options) {
    int found = 0;
    CALLGRIND_START_INSTRUMENTATION;
    for (const std::string &line : lines) {
        try {
            if (ParseErrorLine(line, options).line > 0) ++found;
        } catch (const std::exception &) {
        }
    }
    CALLGRIND_STOP_INSTRUMENTATION;
    return found;
}

int RunCompile(const std::vector<std::string> &lines, const TCommandOptions &options) {
    int compiled = 0;
    CALLGRIND_START_INSTRUMENTATION;
    for (std::size_t i = 0; i < lines.size(); ++i) compiled += bench::CompileFresh(options.RegExp);
    CALLGRIND_STOP_INSTRUMENTATION;
    return compiled;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 3 || (std::strcmp(argv[2], "parse") != 0 && std::strcmp(argv[2], "compile") != 0)) {
        std::fprintf(stderr, "usage: %s <expression name> parse|compile\n", argv[0]);
        return 2;
    }
    const std::string source = bench::SourceDir();
    const std::vector<bench::NamedOptions> expressions =
        bench::ShippedOptions({source + "/dist/Types", source + "/examples/Types"});
    const std::vector<std::string> lines = bench::CorpusLines(bench::ToolOutputDirs());
    for (const bench::NamedOptions &e : expressions) {
        if (e.name != argv[1]) continue;
        const bool parse = std::strcmp(argv[2], "parse") == 0;
        const int counted = parse ? RunParse(lines, e.options) : RunCompile(lines, e.options);
        std::printf("lines %zu %s %d\n", lines.size(), parse ? "found" : "compiled", counted);
        return 0;
    }
    std::fprintf(stderr, "no expression named %s\n", argv[1]);
    return 1;
}
