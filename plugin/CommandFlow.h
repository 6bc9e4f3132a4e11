// The command flow behind the plug-in's editor-menu item.
#pragma once

#include <string>

/// Module start-up work after the host's service table was copied.
void InitialiseModule();

/// Reads the configuration, shows the command menu and acts on the choice: runs the chosen
/// command and goes to the reported position, or browses the stored output. Failures are
/// exceptions carrying the message text.
void RunCommandFlow();

/// Shows a failure of the command flow in the one warning box; never throws.
void ReportFailure(const char *message) noexcept;
