// Which programs a captured run can start, and the command line that starts them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Platform.h"

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
