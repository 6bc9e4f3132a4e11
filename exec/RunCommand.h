// From a formatted command line to a run: environment expansion, the program split and the
// choice between the visible and the captured run.
#pragma once

#include <memory>
#include <string>

#include "config/TStringList.h"

/// `line` with each %NAME% reference replaced by the variable's value; unknown names stay as
/// written. The expansion is used whole, however long it grows.
std::string ExpandEnvironment(const std::string &line);

struct ProgramAndArguments {
    std::string program;
    std::string arguments;
};

/// Splits a command line after leading blanks: a program in double quotes runs to the next quote
/// (or the end) and the arguments are everything after that quote; an unquoted program runs to
/// the next blank and the arguments are everything after that blank. An empty or all-blank line
/// is the program as it stands, with no arguments.
ProgramAndArguments SplitProgram(const std::string &line);

/// Expands the environment references of `line` and runs it. Visible (`capture` false): the run
/// of RunVisible, and no list. Captured: the console title shows the unexpanded line and the
/// plug-in's title while the program runs (the previous title is kept by the console title
/// saver and put back after a normal return) and the list of output lines is returned. A
/// failure propagates as an exception and releases the list.
std::unique_ptr<TStringList> RunCommand(const std::string &line, bool capture);
