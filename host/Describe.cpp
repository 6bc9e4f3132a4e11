#include "host/Describe.h"

#include <cstdint>
#include <cstdio>
#include <utility>

namespace farhost {

namespace {

using FlagName = std::pair<DWORD, const char *>;

template <std::size_t N>
std::string FlagsText(DWORD flags, const FlagName (&names)[N]) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%X", static_cast<unsigned>(flags));
    std::string text = hex;
    std::string named;
    DWORD rest = flags;
    for (const auto &[bit, name] : names) {
        if ((flags & bit) == 0) continue;
        named += named.empty() ? "" : "|";
        named += name;
        rest &= ~bit;
    }
    if (rest != 0 && !named.empty()) {
        std::snprintf(hex, sizeof hex, "|0x%X", static_cast<unsigned>(rest));
        named += hex;
    }
    if (!named.empty()) text += " " + named;
    return text;
}

}  // namespace

std::string EventName(int event) {
    switch (event) {
    case EE_READ: return "EE_READ";
    case EE_SAVE: return "EE_SAVE";
    case EE_REDRAW: return "EE_REDRAW";
    case EE_CLOSE: return "EE_CLOSE";
    default: return std::to_string(event);
    }
}

std::string EditorCommandName(int command) {
    switch (command) {
    case ECTL_GETSTRING: return "ECTL_GETSTRING";
    case ECTL_GETINFO: return "ECTL_GETINFO";
    case ECTL_SETPOSITION: return "ECTL_SETPOSITION";
    case ECTL_SAVEFILE: return "ECTL_SAVEFILE";
    case ECTL_QUIT: return "ECTL_QUIT";
    default: return std::to_string(command);
    }
}

std::string DialogItemTypeName(int type) {
    switch (type) {
    case DI_TEXT: return "DI_TEXT";
    case DI_DOUBLEBOX: return "DI_DOUBLEBOX";
    case DI_EDIT: return "DI_EDIT";
    case DI_BUTTON: return "DI_BUTTON";
    default: return "type " + std::to_string(type);
    }
}

std::string MenuFlagsText(DWORD flags) {
    static const FlagName names[] = {{FMENU_AUTOHIGHLIGHT, "FMENU_AUTOHIGHLIGHT"}};
    return FlagsText(flags, names);
}

std::string MessageFlagsText(DWORD flags) {
    static const FlagName names[] = {{FMSG_WARNING, "FMSG_WARNING"}};
    return FlagsText(flags, names);
}

std::string DialogFlagsText(DWORD flags) {
    static const FlagName names[] = {
        {DIF_CENTERGROUP, "DIF_CENTERGROUP"}, {DIF_SEPARATOR, "DIF_SEPARATOR"}, {DIF_HISTORY, "DIF_HISTORY"}};
    return FlagsText(flags, names);
}

std::string PluginFlagsText(DWORD flags) {
    static const FlagName names[] = {{PF_DISABLEPANELS, "PF_DISABLEPANELS"}, {PF_EDITOR, "PF_EDITOR"}};
    return FlagsText(flags, names);
}

std::string EditorFlagsText(DWORD flags) {
    static const FlagName names[] = {{EF_NONMODAL, "EF_NONMODAL"}};
    return FlagsText(flags, names);
}

std::string StateText(DWORD state) {
    static const FlagName names[] = {
        {ECSTATE_MODIFIED, "ECSTATE_MODIFIED"}, {ECSTATE_SAVED, "ECSTATE_SAVED"}, {ECSTATE_LOCKED, "ECSTATE_LOCKED"}};
    return FlagsText(state, names);
}

std::string HandleText(HANDLE handle) {
    if (handle == INVALID_HANDLE_VALUE) return "INVALID_HANDLE_VALUE";
    if (handle == nullptr) return "NULL";
    char hex[32];
    std::snprintf(hex, sizeof hex, "0x%llX",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(handle)));
    return hex;
}

std::string VersionText(int version) {
    unsigned value = static_cast<unsigned>(version);
    return std::to_string(version) + " (" + std::to_string((value >> 8) & 0xFF) + "." +
           std::to_string(value & 0xFF) + " build " + std::to_string(value >> 16) + ")";
}


}  // namespace farhost
