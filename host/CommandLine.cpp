#include "host/CommandLine.h"

#include "host/ScriptRunner.h"

namespace farhost {

std::optional<CommandLine> ParseCommandLine(const std::vector<std::string> &args, std::string &error) {
    CommandLine line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        auto value = [&](std::string &into) {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            into = args[++i];
            return true;
        };
        if (arg == "--help" || arg == "-h") {
            line.help = true;
        } else if (arg == "--interactive" || arg == "-i") {
            line.interactive = true;
        } else if (arg == "--module") {
            if (!value(line.modulePath)) return std::nullopt;
        } else if (arg == "--expect") {
            if (!value(line.expectPath)) return std::nullopt;
        } else if (arg == "--output") {
            if (!value(line.outputPath)) return std::nullopt;
        } else if (arg == "--language") {
            if (!value(line.language)) return std::nullopt;
        } else if (arg == "--open") {
            std::string file;
            if (!value(file)) return std::nullopt;
            line.openFiles.push_back(file);
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + arg;
            return std::nullopt;
        } else if (line.scriptPath.empty()) {
            line.scriptPath = arg;
        } else {
            error = "more than one script: " + line.scriptPath + " and " + arg;
            return std::nullopt;
        }
    }
    if (line.scriptPath.empty() && !line.expectPath.empty()) {
        error = "--expect needs a script";
        return std::nullopt;
    }
    return line;
}

std::string Usage() {
    return "usage: farhost [options] [SCRIPT]\n"
           "Loads the editor plug-in module and plays Far Manager's editor for it: runs the SCRIPT's\n"
           "steps, or reads steps from the terminal when there is no script. Prints a transcript of\n"
           "every host service call on standard output.\n"
           "\n"
           "options:\n"
           "  --module PATH     the module (Kilnrun.so, Kilnrun.dll); wins over the script's \"module\"\n"
           "  --open FILE       open FILE in an editor before the first step (may be repeated)\n"
           "  --interactive     answer menus, dialogs and messages without a queued answer here\n"
           "  --expect FILE     compare the transcript with FILE; a difference fails the run\n"
           "  --output FILE     also write the transcript to FILE\n"
           "  --language NAME   the language file to pick (default English)\n"
           "  --help            this text\n"
           "\n"
           "script steps:\n" +
           ScriptRunner::Summary() +
           "\n"
           "exit status: 0 when every step and expectation held, 1 when one failed, 2 for bad usage.\n";
}

}  // namespace farhost
