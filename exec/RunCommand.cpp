#include "exec/RunCommand.h"

#include "exec/ConsoleApp.h"
#include "navigate/OutputStore.h"
#include "platform/Platform.h"
#include "plugin/farapi/FARUtils.h"
#include "plugin/farapi/KilnrunMsg.h"

std::string ExpandEnvironment(const std::string &line) {
    // The platform's expansion has no length limit; a line longer than the 254 characters of a
    // fixed buffer is run as expanded instead of being cut or left undefined.
    return platform::Current().ExpandEnvironment(line);
}

ProgramAndArguments SplitProgram(const std::string &line) {
    const std::size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos) return {line, {}};
    if (line[start] == '"') {
        const std::size_t close = line.find('"', start + 1);
        if (close == std::string::npos) return {line.substr(start + 1), {}};
        return {line.substr(start + 1, close - start - 1), line.substr(close + 1)};
    }
    const std::size_t blank = line.find(' ', start);
    if (blank == std::string::npos) return {line.substr(start), {}};
    return {line.substr(start, blank - start), line.substr(blank + 1)};
}

std::unique_ptr<TStringList> RunCommand(const std::string &line, bool capture) {
    const std::string expanded = ExpandEnvironment(line);
    if (!capture) {
        RunVisible(expanded);
        return nullptr;
    }
    auto output = std::make_unique<TStringList>();
    const ProgramAndArguments split = SplitProgram(expanded);
    TheConsoleTitleSaver().SaveConsoleTitle();
    platform::Current().WriteConsoleTitle(line + " - " + far::GetMsg(MsgTitle));
    RunCaptured(split.program, split.arguments, *output);
    TheConsoleTitleSaver().RestoreConsoleTitle();
    return output;
}
