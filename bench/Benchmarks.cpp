// The benchmarks and the summary table. Names are "<group>/<engine>/<case>", so that the table
// can put each engine's rate for a case side by side.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/BenchData.h"
#include "bench/Peers.h"
#include "config/TStringList.h"
#include "exec/ConsoleApp.h"
#include "navigate/ParseErrorLine.h"
#include "platform/MemoryBlock.h"
#include "platform/Platform.h"
#include "regexpr/RegExpr.h"

namespace {

using bench::NamedOptions;

constexpr std::size_t kReadChunk = 257;  // what a captured run reads at a time

const std::vector<std::string> &Lines() {
    static const std::vector<std::string> lines = bench::CorpusLines(bench::ToolOutputDirs());
    return lines;
}

void CountLines(benchmark::State &state, std::int64_t found) {
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(Lines().size()));
    state.counters["found"] = static_cast<double>(found) / static_cast<double>(state.iterations());
}

// --- ParseErrorLine, compiled afresh for every line -------------------------------------------

template <typename Parse>
void ParseAllLines(benchmark::State &state, const TCommandOptions &options, Parse parse) {
    std::int64_t found = 0;
    for (auto _ : state) {
        for (const std::string &line : Lines()) {
            try {
                if (parse(line, options).line > 0) ++found;
            } catch (const std::exception &) {
                // A group that is not a number ends the system's call; the line counts as not found.
            }
        }
    }
    CountLines(state, found);
}

void ParseKilnrun(benchmark::State &state, TCommandOptions options) { ParseAllLines(state, options, ParseErrorLine); }

void ParsePcre(benchmark::State &state, TCommandOptions options) {
    if (!bench::PcreCompile(options.RegExp)) return state.SkipWithError("PCRE2 does not accept the expression");
    ParseAllLines(state, options, bench::PcreParseErrorLine);
}

void ParseStdRegex(benchmark::State &state, TCommandOptions options) {
    if (!bench::StdRegexCompile(options.RegExp)) return state.SkipWithError("std::regex does not accept the expression");
    ParseAllLines(state, options, bench::StdRegexParseErrorLine);
}

// --- The compilation alone, once per line: what ParseErrorLine pays before it matches -----------

void CompileKilnrun(benchmark::State &state, TCommandOptions options) {
    std::int64_t compiled = 0;
    for (auto _ : state) {
        for (std::size_t i = 0; i < Lines().size(); ++i) compiled += bench::CompileFresh(options.RegExp);
    }
    CountLines(state, compiled);
}

void CompilePcre(benchmark::State &state, TCommandOptions options) {
    std::int64_t compiled = 0;
    for (auto _ : state)
        for (std::size_t i = 0; i < Lines().size(); ++i) compiled += bench::PcreCompile(options.RegExp) ? 1 : 0;
    CountLines(state, compiled);
}

void CompileStdRegex(benchmark::State &state, TCommandOptions options) {
    std::int64_t compiled = 0;
    for (auto _ : state)
        for (std::size_t i = 0; i < Lines().size(); ++i) compiled += bench::StdRegexCompile(options.RegExp) ? 1 : 0;
    CountLines(state, compiled);
}

// --- The matcher alone: compiled once, executed per line --------------------------------------

void MatchKilnrun(benchmark::State &state, TCommandOptions options) {
    regexpr::TRegExpr expression;
    expression.SetExpression(options.RegExp);
    try {
        expression.CompileExpression();
    } catch (const regexpr::ERegExpr &error) {
        return state.SkipWithError(error.what());
    }
    std::int64_t found = 0;
    for (auto _ : state)
        for (const std::string &line : Lines()) found += expression.Exec(line) ? 1 : 0;
    CountLines(state, found);
}

void MatchPcre(benchmark::State &state, TCommandOptions options) {
    bench::PcreCode code = bench::PcreCompile(options.RegExp);
    if (!code) return state.SkipWithError("PCRE2 does not accept the expression");
    bench::PcreMatchData data(pcre2_match_data_create_from_pattern(code.get(), nullptr));
    std::int64_t found = 0;
    for (auto _ : state)
        for (const std::string &line : Lines())
            found += pcre2_match(code.get(), reinterpret_cast<PCRE2_SPTR>(line.data()), line.size(), 0, 0,
                                 data.get(), nullptr) > 0;
    CountLines(state, found);
}

void MatchStdRegex(benchmark::State &state, TCommandOptions options) {
    std::optional<std::regex> expression = bench::StdRegexCompile(options.RegExp);
    if (!expression) return state.SkipWithError("std::regex does not accept the expression");
    std::smatch match;
    std::int64_t found = 0;
    for (auto _ : state)
        for (const std::string &line : Lines()) found += std::regex_search(line, match, *expression) ? 1 : 0;
    CountLines(state, found);
}

// --- Line assembly ------------------------------------------------------------------------------

/// The lines outlive a run in the system (the output store keeps them), so releasing them is not
/// part of what is measured.
void ReleaseUntimed(benchmark::State &state, std::unique_ptr<TStringList> &lines) {
    state.PauseTiming();
    lines.reset();
    state.ResumeTiming();
}

void Assemble(benchmark::State &state, std::string output) {
    std::size_t entries = 0;
    for (auto _ : state) {
        auto lines = std::make_unique<TStringList>();
        LineAssembler assembler(*lines);
        for (std::size_t at = 0; at < output.size(); at += kReadChunk)
            assembler.Feed(output.data() + at, std::min(kReadChunk, output.size() - at));
        assembler.Finish();
        entries = lines->Count();
        ReleaseUntimed(state, lines);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(output.size()));
    state.counters["entries"] = static_cast<double>(entries);
}

std::string Repeat(const std::string &piece, std::size_t size) {
    std::string text;
    text.reserve(size + piece.size());
    while (text.size() < size) text += piece;
    return text;
}

// --- A whole captured run against reading the same pipe bare --------------------------------------

std::string WriterArguments(std::size_t megabytes) {
    // 80 characters and CR LF: 1 MB is 12,800 such lines.
    return "outrep:" + std::to_string(megabytes * 12800) + ":" + std::string(78, 'x') + "\\r\\n";
}

std::size_t WriterBytes(std::size_t megabytes) { return megabytes * 12800 * 82; }

/// The bytes the C library's heap has handed out and not taken back, with the large blocks that
/// the text store maps outside the heap.
std::size_t MemoryInUse() {
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd + platform::MemoryBlock::MappedBytes();
}

void CapturedRun(benchmark::State &state, std::size_t megabytes) {
    const std::string arguments = WriterArguments(megabytes);
    std::size_t entries = 0;
    std::size_t stored = 0;
    for (auto _ : state) {
        const std::size_t inUseBefore = MemoryInUse();
        auto output = std::make_unique<TStringList>();
        RunCaptured(KILNRUN_BENCH_WRITER, arguments, *output);
        stored = MemoryInUse() - inUseBefore;
        entries = output->Count();
        ReleaseUntimed(state, output);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(WriterBytes(megabytes)));
    state.counters["entries"] = static_cast<double>(entries);
    // What the list takes of memory for each byte of output: the heap as it counts itself, and
    // the large blocks mapped beside it.
    state.counters["store_per_byte"] = static_cast<double>(stored) / static_cast<double>(WriterBytes(megabytes));
}

void BarePipeRead(benchmark::State &state, std::size_t megabytes) {
    platform::Platform &system = platform::Current();
    const std::string commandLine = ResolveProgram(KILNRUN_BENCH_WRITER, WriterArguments(megabytes));
    std::int64_t bytes = 0;
    for (auto _ : state) {
        platform::NativeHandle readHandle = platform::kNoHandle, writeHandle = platform::kNoHandle;
        if (!system.CreatePipe(readHandle, writeHandle)) return state.SkipWithError("no pipe");
        platform::UniqueHandle readEnd(readHandle), writeEnd(writeHandle);
        system.ClearInheritFlag(readEnd.Get());
        platform::UniqueHandle process(system.StartCapturedProcess(commandLine, writeEnd.Get()));
        if (!process.Valid()) return state.SkipWithError("the writer did not start");
        writeEnd.Reset();
        char buffer[kReadChunk];
        bytes = 0;
        for (long count; (count = system.ReadFile(readEnd.Get(), buffer, sizeof buffer)) > 0;) bytes += count;
        system.WaitForProcess(process.Get(), 5000);
        benchmark::DoNotOptimize(system.GetExitCode(process.Get()));
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

// --- Registration and the table -----------------------------------------------------------------

void RegisterAll(const std::vector<NamedOptions> &expressions, std::size_t capturedMegabytes) {
    for (const NamedOptions &e : expressions) {
        benchmark::RegisterBenchmark(("ParseErrorLine/kilnrun/" + e.name).c_str(), ParseKilnrun, e.options);
        benchmark::RegisterBenchmark(("ParseErrorLine/pcre2/" + e.name).c_str(), ParsePcre, e.options);
        benchmark::RegisterBenchmark(("ParseErrorLine/stdregex/" + e.name).c_str(), ParseStdRegex, e.options);
    }
    for (const NamedOptions &e : expressions) {
        benchmark::RegisterBenchmark(("Compile/kilnrun/" + e.name).c_str(), CompileKilnrun, e.options);
        benchmark::RegisterBenchmark(("Compile/pcre2/" + e.name).c_str(), CompilePcre, e.options);
        benchmark::RegisterBenchmark(("Compile/stdregex/" + e.name).c_str(), CompileStdRegex, e.options);
    }
    for (const NamedOptions &e : expressions) {
        benchmark::RegisterBenchmark(("Matcher/kilnrun/" + e.name).c_str(), MatchKilnrun, e.options);
        benchmark::RegisterBenchmark(("Matcher/pcre2/" + e.name).c_str(), MatchPcre, e.options);
        benchmark::RegisterBenchmark(("Matcher/stdregex/" + e.name).c_str(), MatchStdRegex, e.options);
    }
    constexpr std::size_t kAssemblySize = 64u << 20;
    const std::string crlf = "src/parser/expression.c:1234:56: warning: unused variable 'x' [-Wunused-variable]\r\n";
    benchmark::RegisterBenchmark("LineAssembly/kilnrun/mixed", Assemble, bench::SyntheticOutput(kAssemblySize));
    benchmark::RegisterBenchmark("LineAssembly/kilnrun/crlf-lines", Assemble, Repeat(crlf, kAssemblySize));
    benchmark::RegisterBenchmark("LineAssembly/kilnrun/lone-cr-progress", Assemble,
                                 Repeat("Building objects 42%\r", kAssemblySize));
    benchmark::RegisterBenchmark("LineAssembly/kilnrun/long-lines", Assemble,
                                 Repeat(std::string(5000, 'L') + "\r\n", kAssemblySize));
    const std::string run = std::to_string(capturedMegabytes) + "MB";
    benchmark::RegisterBenchmark(("CapturedRun/kilnrun/" + run).c_str(), CapturedRun, capturedMegabytes)
        ->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("CapturedRun/bare-pipe/" + run).c_str(), BarePipeRead, capturedMegabytes)
        ->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);
}

/// Keeps every finished run for the table while the console shows them as usual.
class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override {
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) results_[BaseName(run.benchmark_name())] = run;
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintTable(const std::vector<NamedOptions> &expressions, std::size_t capturedMegabytes) const {
        std::printf("\n%-16s %-14s %14s %14s %14s %10s %10s %7s\n", "group", "case", "kilnrun", "pcre2", "std::regex",
                    "x pcre2", "x std", "found");
        for (const char *group : {"ParseErrorLine", "Compile", "Matcher"}) {
            TRatios toPcre, toStd;
            for (const NamedOptions &e : expressions) {
                const std::string ownName = std::string(group) + "/kilnrun/" + e.name;
                const double own = Rate(ownName, "items_per_second");
                const double pcre = Rate(std::string(group) + "/pcre2/" + e.name, "items_per_second");
                const double std = Rate(std::string(group) + "/stdregex/" + e.name, "items_per_second");
                toPcre.Add(own, pcre);
                toStd.Add(own, std);
                std::printf("%-16s %-14s %14s %14s %14s %10s %10s %7.0f\n", group, e.name.c_str(),
                            Number(own, "/s").c_str(), Number(pcre, "/s").c_str(), Number(std, "/s").c_str(),
                            Ratio(own, pcre).c_str(), Ratio(own, std).c_str(), Rate(ownName, "found"));
            }
            std::printf("%-16s %-14s %44s %10s %10s\n", group, "(geomean)", "", toPcre.GeoMean().c_str(),
                        toStd.GeoMean().c_str());
            std::printf("%-16s %-14s %44s %10s %10s\n", group, "(lowest)", "", toPcre.Lowest().c_str(),
                        toStd.Lowest().c_str());
        }
        std::printf("(lines per second over %zu corpus lines, Compile: compilations per second, one per line;\n"
                    " ratios: kilnrun's rate over the peer's; found: lines with a position (ParseErrorLine),\n"
                    " compilations (Compile), matching lines (Matcher))\n\n",
                    Lines().size());
        for (const char *input : {"mixed", "crlf-lines", "lone-cr-progress", "long-lines"}) {
            const double rate = Rate(std::string("LineAssembly/kilnrun/") + input, "bytes_per_second");
            std::printf("%-16s %-18s %12.2f GB/s\n", "LineAssembly", input, rate / 1e9);
        }
        const std::string run = std::to_string(capturedMegabytes) + "MB";
        const double captured = Seconds("CapturedRun/kilnrun/" + run);
        const double bare = Seconds("CapturedRun/bare-pipe/" + run);
        std::printf("%-16s %-18s %9.3f s captured, %.3f s bare pipe reading, ratio %s; store %.3f bytes per output byte\n",
                    "CapturedRun", run.c_str(), captured, bare, Ratio(captured, bare).c_str(),
                    Rate("CapturedRun/kilnrun/" + run, "store_per_byte"));
    }

private:
    // The library appends settings such as "/iterations:3/real_time" to a name.
    static std::string BaseName(const std::string &name) {
        const std::size_t settings = name.find("/iterations:");
        return settings == std::string::npos ? name : name.substr(0, settings);
    }
    double Rate(const std::string &name, const char *counter) const {
        auto found = results_.find(name);
        if (found == results_.end()) return 0;
        auto value = found->second.counters.find(counter);
        return value == found->second.counters.end() ? 0 : static_cast<double>(value->second);
    }
    double Seconds(const std::string &name) const {
        auto found = results_.find(name);
        if (found == results_.end() || found->second.iterations == 0) return 0;
        return found->second.real_accumulated_time / static_cast<double>(found->second.iterations);
    }
    static std::string Number(double value, const char *unit) {
        if (value <= 0) return "n/a";
        char text[32];
        std::snprintf(text, sizeof text, "%.3gM%s", value / 1e6, unit);
        return text;
    }
    static std::string Ratio(double a, double b) {
        if (a <= 0 || b <= 0) return "n/a";
        char text[32];
        std::snprintf(text, sizeof text, "%.2f", a / b);
        return text;
    }

    /// The ratios of one column, for its geometric mean and its lowest value.
    class TRatios {
    public:
        void Add(double a, double b) {
            if (a <= 0 || b <= 0) return;
            logSum_ += std::log(a / b);
            lowest_ = count_ == 0 ? a / b : std::min(lowest_, a / b);
            ++count_;
        }
        std::string GeoMean() const { return count_ == 0 ? "n/a" : Format(std::exp(logSum_ / count_)); }
        std::string Lowest() const { return count_ == 0 ? "n/a" : Format(lowest_); }

    private:
        static std::string Format(double value) {
            char text[32];
            std::snprintf(text, sizeof text, "%.2f", value);
            return text;
        }
        double logSum_ = 0;
        double lowest_ = 0;
        int count_ = 0;
    };

    std::map<std::string, Run> results_;
};

}  // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    std::size_t megabytes = 100;
    if (const char *size = std::getenv("KILNRUN_BENCH_CAPTURED_MB"); size != nullptr && *size != '\0')
        megabytes = std::stoul(size);
    const std::string source = bench::SourceDir();
    const std::vector<NamedOptions> expressions =
        bench::ShippedOptions({source + "/dist/Types", source + "/examples/Types"});
    RegisterAll(expressions, megabytes);
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintTable(expressions, megabytes);
    benchmark::Shutdown();
    return 0;
}
