// The option set of one configured command.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

/// What the directive lines of a configuration file say about one command. A new set holds the
/// defaults; `Clone` copies all ten fields and shares nothing with its source.
struct TCommandOptions {
    bool Save = true;                    // "#SAVE": save the edited file before running
    bool ToMenu = false;                 // "#TOMENU": capture the output instead of a visible run
    std::string RegExp = "^.*?(\\d+)";   // "#REGEXP": expression applied to output lines
    std::int32_t LineMatch = 1;          // "#LINEMATCH": sub-match holding the line number
    std::int32_t ColumnMatch = 0;        // "#COLUMNMATCH": sub-match holding the column
    std::int32_t FileMatch = 0;          // "#FILEMATCH": sub-match holding the file name
    bool CdFileDir = true;               // "#CDFILEDIR": run in the edited file's directory
    bool AutoJump = false;               // "#AUTOJUMP": jump to the first reported position
    std::string Ask;                     // "#ASK": prompt of the parameter dialog
    bool AutoExit = false;               // "#AUTOEXIT": close the editor when nothing is reported

    static std::unique_ptr<TCommandOptions> Create() { return std::make_unique<TCommandOptions>(); }
    std::unique_ptr<TCommandOptions> Clone() const { return std::make_unique<TCommandOptions>(*this); }
};
