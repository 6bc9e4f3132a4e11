// Splitting a command line into words the way a Windows C runtime builds argv.
#pragma once

#include <string>
#include <vector>

namespace platform {

/// Splits `commandLine` into the words a Windows program would see as argv, so that the POSIX
/// backend can execute a program directly (as CreateProcessA does) and pass it exactly the
/// arguments its Windows build would get.
///
/// The first word is the program name: double quotes toggle grouping and are dropped,
/// backslashes are plain characters, and it ends at the first blank or tab outside quotes.
/// The words after it follow the C runtime's rules:
/// - blanks and tabs outside quotes separate words; a quoted empty text ("") is an empty word;
/// - 2n backslashes before a double quote give n backslashes, and the quote toggles grouping;
/// - 2n+1 backslashes before a double quote give n backslashes and a literal double quote;
/// - backslashes before anything else are literal;
/// - inside quotes, two double quotes in a row give one literal double quote (the grouping
///   goes on, as in the current runtime).
/// Leading blanks are skipped. An empty or all-blank line gives no words.
std::vector<std::string> SplitCommandLine(const std::string &commandLine);

}  // namespace platform
