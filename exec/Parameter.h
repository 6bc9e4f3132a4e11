// The dialog that asks the user for a command's parameter.
#pragma once

#include <string>

/// Asks for the parameter of a command whose prompt is `ask`. A prompt of only blanks and
/// control characters asks nothing: `parameter` is empty and the result true. Otherwise shows the
/// dialog (prompt cut to 40 characters, history "kilnrun_ask") and returns false when the user
/// cancelled; on OK `parameter` holds the entered text.
bool AskParameter(const std::string &ask, std::string &parameter);
