// Names of the host's constants, for the transcript.
#pragma once

#include <string>

#include "plugin/farapi/FARIntf.h"

namespace farhost {

std::string EventName(int event);              // "EE_READ", else the number
std::string EditorCommandName(int command);    // "ECTL_GETINFO", else the number
std::string DialogItemTypeName(int type);      // "DI_EDIT", else "type N"
std::string MenuFlagsText(DWORD flags);        // "0x4 FMENU_AUTOHIGHLIGHT"
std::string MessageFlagsText(DWORD flags);     // "0x1 FMSG_WARNING"
std::string DialogFlagsText(DWORD flags);      // "0x40000 DIF_HISTORY"
std::string PluginFlagsText(DWORD flags);      // "0x6 PF_DISABLEPANELS|PF_EDITOR"
std::string EditorFlagsText(DWORD flags);      // "0x1 EF_NONMODAL"
std::string StateText(DWORD state);            // "0x2 ECSTATE_SAVED"
std::string HandleText(HANDLE handle);         // "INVALID_HANDLE_VALUE", "NULL" or hex
std::string VersionText(int version);          // "84017478 (1.70 build 1282)"

}  // namespace farhost
