// Running a command line: visibly in the host's console, or hidden with its standard output and
// standard error captured into a list of lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "config/TStringList.h"
#include "exec/LineAssembler.h"
#include "exec/ProgramResolution.h"

/// Runs `commandLine` in the console in full view: the host's screen is put aside, the console
/// blanked, the line echoed as >"line" and the title set to it; the call returns when the program
/// has ended. A program that cannot be started leaves the system's error text on the console;
/// nothing is thrown and the host's screen comes back either way.
void RunVisible(const std::string &commandLine);

/// Blanks every row of the console buffer through the host and puts the cursor at column 0 of
/// the row where it stood.
void ClearConsole();

/// The most memory that a captured run's output may take in its list: 256 MB. The module lives
/// in the host's 2 GB address space, next to the host's own data, and showing the output as a
/// menu needs room of its own besides.
constexpr std::size_t kOutputCeiling = std::size_t{256} << 20;

/// Resolves `program` (see ResolveProgram), starts it hidden with its standard output and
/// standard error on a pipe and the null device as standard input, and assembles what it
/// writes into `output` (see LineAssembler). Waits at most 5000 ms for the program after its
/// output has ended and returns its exit code (259 when it is still running). Throws
/// std::runtime_error with the resolution message or SystemErrorMessage when the pipe or the
/// process cannot be made; every handle is closed on every path.
///
/// Output that cannot be stored, because the list would take more than `outputCeiling` bytes
/// or memory runs out, stops the run: reading stops, the program is ended, `output` is emptied
/// and std::runtime_error "Output too large: N MB kept" says how much had been stored.
std::uint32_t RunCaptured(const std::string &program, const std::string &arguments,
                          TStringList &output, const LineNotification &onLine = {},
                          std::size_t outputCeiling = kOutputCeiling);

/// The text of a failed system call: "Win32 Error.  Code: <code>.\n<system text>" with the
/// system's text stripped of trailing blanks, control characters and dots, or "A Win32 API
/// function failed" for the code 0. On POSIX the code is an errno value.
std::string SystemErrorMessage(std::uint32_t code);
