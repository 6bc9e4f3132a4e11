// Running a command line: visibly in the host's console, or hidden with its standard output and
// standard error captured into a list of lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "config/TStringList.h"
#if defined(_WIN32)
#include <windows.h>  // first: platform/Platform.h takes back the names that it maps
#endif
#include "platform/Platform.h"

/// Called with the output list after every change to it during a captured run.
using LineNotification = std::function<void(const TStringList &)>;

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

/// What can be told about an executable file.
struct ImageType {
    bool ok = false;                         ///< the system could tell the binary type
    std::uint32_t binaryType = 0;            ///< platform::kBinary32Bit, kBinaryDos, ...
    std::optional<std::uint16_t> subsystem;  ///< a PE image's subsystem, when it could be read
};

/// The binary type of `fileName` and, for a 32-bit or 64-bit Windows image, the subsystem from
/// its PE header (PE32 and PE32+ keep it at the same offset of the optional header). Throws
/// std::runtime_error "Dos signature not present" or "NT signature not present" for such an
/// image whose headers are not there.
ImageType GetImageType(const std::string &fileName);

/// The command line that starts `program` with `arguments` for a captured run, or a
/// std::runtime_error saying why it can't be run.
///
/// Windows rules: a ".BAT" file (and a ".CMD" file on the NT platform) runs as "\"program\" args"
/// without a search; another extension than ".EXE" or ".COM" fails ("%s has invalid file
/// extension"); the program is searched with ".EXE" added ("Could not find file %s"); a DOS
/// program on NT runs through "cmd /c", a 32-bit or 64-bit console image (subsystem 3) quoted;
/// anything else (a windowed or 16-bit program, ...) fails with "Executable image is not a
/// supported type".
///
/// POSIX rules: a name holding "/" is used as it is, another is searched on PATH ("Could not
/// find file %s"); an executable ELF file or "#!" script runs quoted; anything else fails with
/// "Executable image is not a supported type".
std::string ResolveProgram(const std::string &program, const std::string &arguments,
                           platform::PathStyle rules = platform::NativePathStyle());

/// Turns the bytes of a captured run into output lines.
///
/// Lines end at CR LF, a lone CR or a bare LF. The first byte of a line makes a new (empty)
/// entry; at every CR the text written since the line's start or the previous CR replaces that
/// entry, so a lone CR makes the following text replace the whole line. A line longer than 256
/// characters goes into consecutive entries of 256 characters at most. A NUL byte cuts an entry.
/// Output that ends with a line end leaves one empty entry at the end; no output leaves one empty
/// entry. The list is touched only when a line starts, at a CR and when a piece is full.
class LineAssembler {
public:
    static constexpr std::size_t kPieceLength = 256;

    explicit LineAssembler(TStringList &output, LineNotification onLine = {});

    void Feed(const char *bytes, std::size_t size);
    void Feed(std::string_view bytes) { Feed(bytes.data(), bytes.size()); }
    /// The end of the output: enters the last line. Call once, after the last Feed.
    void Finish();

private:
    void Flush();
    void CarriageReturn();
    void AppendOrdinaryRun(const char *&next, const char *end);
    /// Enters a line that opens a new entry and ends at `lineEnd` within the same read, shorter
    /// than a piece and without a NUL, straight from the read, and steps past its CR or LF: the
    /// entry and state the byte-by-byte flushes give, in one append. False, touching nothing,
    /// for any other line, and whenever every change must be notified.
    bool EnterWholeLine(const char *&next, const char *lineEnd);

    TStringList &output_;
    LineNotification onLine_;
    char pending_[kPieceLength + 1] = {};
    std::size_t pendingLength_ = 0;
    std::size_t textLength_ = 0;        // the pending text up to its first NUL
    bool textCut_ = false;              // a NUL has cut the pending text
    bool newEntry_ = true;              // the next flush appends instead of replacing
    bool pieceFull_ = false;            // the last entry holds a full piece of the current line
    bool afterCarriageReturn_ = false;  // the last byte fed was a CR
};

/// The text of a failed system call: "Win32 Error.  Code: <code>.\n<system text>" with the
/// system's text stripped of trailing blanks, control characters and dots, or "A Win32 API
/// function failed" for the code 0. On POSIX the code is an errno value.
std::string SystemErrorMessage(std::uint32_t code);
