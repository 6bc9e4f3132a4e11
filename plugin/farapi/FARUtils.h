// The module's copy of the host's service table and thin wrappers over the services it uses.
//
// Nothing but this unit and the exports touches the service table. Every wrapper makes the call
// the way the system always makes it (plug-in number, fixed positions, help topic), and copes
// with a host that left a service out: it then does nothing and returns the "nothing chosen"
// value, so that a bad host can never make the module crash.
#pragma once

#include <string>

#include "plugin/farapi/FARIntf.h"

namespace far {

constexpr const char *kHelpTopic = "Contents";

/// Keeps a copy of the first 336 bytes (32-bit layout) of the host's record; a shorter record
/// (StructSize) is copied only as far as it reaches.
void SetStartupInfo(const PluginStartupInfo *info);
/// Forgets the copy (module unload and tests).
void ResetStartupInfo();
const PluginStartupInfo &Info();

/// The text of message `id` from the host's language file; never a null pointer.
const char *GetMsg(int id);
/// The module's full path as the host reported it.
std::string ModuleName();

/// Menu service: centred at x, y (-1 = centre), height 0, FMENU_AUTOHIGHLIGHT, help "Contents",
/// no bottom text, no break keys. Returns the chosen index, -1 when cancelled.
int Menu(int x, int y, const char *title, const FarMenuItem *items, int count);
/// Dialog service, no help topic; returns the index of the closing item, -1 when cancelled.
int Dialog(int x1, int y1, int x2, int y2, FarDialogItem *items, int count);
/// The warning box: FMSG_WARNING, help "Contents", title, text and one button.
void ShowWarning(const char *title, const std::string &text, const char *button);
/// The warning box of a failed command: MsgError, the text, MsgOk.
void ShowError(const std::string &text);

int EditorControl(int command, void *param);
/// Control service for an editor plug-in (hPlugin INVALID_HANDLE_VALUE).
int Control(int command, void *param);
HANDLE SaveScreen(int x1, int y1, int x2, int y2);
void RestoreScreen(HANDLE screen);
void Text(int x, int y, int color, const char *text);
/// Editor service: opens a further editor; returns the host's result.
int Editor(const char *fileName, const char *title, int x1, int y1, int x2, int y2, DWORD flags,
           int startLine, int startChar);

}  // namespace far
