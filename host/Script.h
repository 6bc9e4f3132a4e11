// farhost scripts: plain text, one step a line, words separated by blanks, "quoted texts" with
// \" \\ \n \r \t \xNN escapes, and comments from a "#" that starts a word to the line's end.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace farhost {

struct Step {
    int line = 0;                   // 1-based line in the script
    std::string verb;               // the first word: "open", "answer", "expect", ...
    std::vector<std::string> args;  // the other words, quotes removed
    std::string text;               // the line as written, for messages
};

/// Splits one line into words. Returns false with `error` set for an unterminated quote or a
/// bad escape; an empty or comment-only line gives no words.
bool SplitWords(std::string_view line, std::vector<std::string> &words, std::string &error);

/// The step on one line, or nullopt for a blank or comment line (and for an error, which then
/// fills `error`).
std::optional<Step> ParseStep(std::string_view line, int number, std::string &error);

/// Every step of a script's text; stops at the first malformed line with `error` naming it.
bool ParseScript(std::string_view text, std::vector<Step> &steps, std::string &error);

}  // namespace farhost
