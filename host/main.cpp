// farhost: the stand-in for Far Manager's editor that loads the plug-in module.
#include <fstream>
#include <iostream>
#include <sstream>

#include "host/CommandLine.h"
#include "host/Host.h"
#include "host/Script.h"
#include "host/ScriptRunner.h"
#include "host/System.h"

namespace {

using namespace farhost;

bool ReadFile(const std::string &path, std::string &text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    text = bytes.str();
    return true;
}

std::string NameOf(const std::string &path) {
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Steps typed at the terminal; a failed step is reported and the next one read.
void RunInteractive(ScriptRunner &runner) {
    std::cerr << "farhost: type steps (\"help\" lists them, \"quit\" ends)\n";
    int number = 0;
    std::string line;
    while (std::cerr << "farhost> " << std::flush, std::getline(std::cin, line)) {
        ++number;
        std::string error;
        std::optional<Step> step = ParseStep(line, number, error);
        if (!error.empty()) {
            std::cerr << "farhost: " << error << '\n';
            continue;
        }
        if (!step) continue;
        if (step->verb == "quit" || step->verb == "exit") break;
        if (step->verb == "help") {
            std::cerr << ScriptRunner::Summary();
            continue;
        }
        runner.Run(*step);
    }
}

int Run(CommandLine options) {
    UseBinaryStandardOutput();
    Transcript transcript(&std::cout);
    InteractiveDriver person(std::cin, std::cerr);
    bool interactive = options.interactive || options.scriptPath.empty();
    ScriptDriver driver(interactive ? &person : nullptr);
    Host host(transcript, driver);

    // The module moves the current directory (to the edited file's folder), so paths given on
    // the command line are fixed now, against the directory farhost started in.
    if (!options.outputPath.empty()) options.outputPath = FullPath(options.outputPath);
    if (!options.expectPath.empty()) options.expectPath = FullPath(options.expectPath);

    RunnerSettings settings;
    settings.modulePath = options.modulePath;
    settings.language = options.language;
    std::vector<Step> steps;
    if (!options.scriptPath.empty()) {
        std::string script;
        if (!ReadFile(options.scriptPath, script)) {
            std::cerr << "farhost: cannot read the script " << options.scriptPath << '\n';
            return 2;
        }
        std::string error;
        if (!ParseScript(script, steps, error)) {
            std::cerr << "farhost: " << options.scriptPath << ": " << error << '\n';
            return 2;
        }
        std::string full = FullPath(options.scriptPath);
        settings.scriptName = NameOf(full);
        settings.scriptFolder = FolderOf(full);
    } else {
        settings.scriptName = "terminal";
        settings.scriptFolder = CurrentDirectory();
    }
    transcript.Mask().Add(settings.scriptFolder, "$DIR");

    ScriptRunner runner(host, driver, transcript, std::cerr, settings);
    bool ok = true;
    // A script loads the module at its first step that needs it, after its set-up steps.
    if (!options.openFiles.empty() || (options.scriptPath.empty() && !settings.modulePath.empty()))
        ok = runner.EnsureModule();
    for (const std::string &file : options.openFiles) {
        Step step{0, "open", {FullPath(file)}, "--open " + file};
        ok = ok && runner.Run(step);
    }
    if (ok && !options.scriptPath.empty()) {
        for (const Step &step : steps) {
            if (!runner.Run(step)) {
                ok = false;
                break;
            }
        }
    }
    if (ok && interactive && options.scriptPath.empty()) RunInteractive(runner);
    if (ok) ok = runner.EnsureModule() && runner.Finish();
    host.Shutdown();
    std::vector<std::string> late = host.TakeFailures();
    for (const std::string &failure : late) std::cerr << "farhost: at exit: " << failure << '\n';
    ok = ok && late.empty();

    if (!options.outputPath.empty()) {
        std::ofstream out(options.outputPath, std::ios::binary | std::ios::trunc);
        for (const std::string &line : transcript.Lines()) out << line << '\n';
        if (!out) {
            std::cerr << "farhost: cannot write " << options.outputPath << '\n';
            ok = false;
        }
    }
    if (!options.expectPath.empty()) {
        std::string expected;
        if (!ReadFile(options.expectPath, expected)) {
            std::cerr << "farhost: cannot read the expected transcript " << options.expectPath << '\n';
            return 1;
        }
        if (std::optional<std::string> difference = CompareTranscript(transcript.Lines(), expected)) {
            std::cerr << "farhost: " << options.expectPath << ": " << *difference;
            ok = false;
        }
    }
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char **argv) {
    try {
        std::vector<std::string> args(argv + 1, argv + argc);
        std::string error;
        std::optional<CommandLine> options = ParseCommandLine(args, error);
        if (!options) {
            std::cerr << "farhost: " << error << "\n\n" << Usage();
            return 2;
        }
        if (options->help) {
            std::cout << Usage();
            return 0;
        }
        return Run(*options);
    } catch (const std::exception &error) {
        std::cerr << "farhost: " << error.what() << '\n';
        return 1;
    }
}
