// The peers the engine is measured against: PCRE2 (interpreted, no JIT) and std::regex. They do
// the work the system does for one output line, so that the rates compare like with like.
#pragma once

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <memory>
#include <optional>
#include <regex>
#include <string>

#include "config/TCommandOptions.h"
#include "navigate/ParseErrorLine.h"

namespace bench {

struct PcreCodeFree {
    void operator()(pcre2_code *code) const { pcre2_code_free(code); }
};
struct PcreMatchDataFree {
    void operator()(pcre2_match_data *data) const { pcre2_match_data_free(data); }
};
using PcreCode = std::unique_ptr<pcre2_code, PcreCodeFree>;
using PcreMatchData = std::unique_ptr<pcre2_match_data, PcreMatchDataFree>;

/// Compiles `expression` as the engine reads it by default ("." also matches line separators);
/// nullptr when PCRE2 does not accept it.
PcreCode PcreCompile(const std::string &expression);

/// ParseErrorLine done with PCRE2: compile, match, take the groups, convert the numbers.
ErrorPosition PcreParseErrorLine(const std::string &line, const TCommandOptions &options);
/// ParseErrorLine done with std::regex, the same way.
ErrorPosition StdRegexParseErrorLine(const std::string &line, const TCommandOptions &options);

/// std::regex for `expression`, or nullopt when it does not accept it.
std::optional<std::regex> StdRegexCompile(const std::string &expression);

}  // namespace bench
