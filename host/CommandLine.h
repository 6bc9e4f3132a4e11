// farhost's command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace farhost {

struct CommandLine {
    std::string modulePath;
    std::string scriptPath;  // empty: steps come from the terminal
    std::string expectPath;
    std::string outputPath;
    std::string language = "English";
    std::vector<std::string> openFiles;
    bool interactive = false;
    bool help = false;
};

/// Parses the arguments after the program name; nullopt with `error` set for a bad one.
std::optional<CommandLine> ParseCommandLine(const std::vector<std::string> &args, std::string &error);

std::string Usage();

}  // namespace farhost
