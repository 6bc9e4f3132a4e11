#include "host/ServiceTable.h"

#include <exception>
#include <string>

#include "host/Host.h"

namespace farhost {

namespace {

Host *g_host = nullptr;

// No exception may travel back into the module: a fault in the host becomes a recorded
// failure and the service's "nothing done" result.
template <typename Result, typename Call>
Result Guarded(const char *service, Result fallback, Call call) {
    if (g_host == nullptr) return fallback;
    try {
        return call(*g_host);
    } catch (const std::exception &error) {
        g_host->Fail(std::string(service) + ": " + error.what());
    } catch (...) {
        g_host->Fail(std::string(service) + ": unknown failure");
    }
    return fallback;
}

int FARAPI MenuService(INT_PTR pluginNumber, int x, int y, int maxHeight, DWORD flags, const char *title,
                       const char *bottom, const char *helpTopic, const int *breakKeys, int *breakCode,
                       const FarMenuItem *item, int itemsNumber) {
    return Guarded("Menu", -1, [&](Host &host) {
        return host.Menu(pluginNumber, x, y, maxHeight, flags, title, bottom, helpTopic, breakKeys, breakCode,
                         item, itemsNumber);
    });
}

int FARAPI DialogService(INT_PTR pluginNumber, int x1, int y1, int x2, int y2, const char *helpTopic,
                         FarDialogItem *item, int itemsNumber) {
    return Guarded("Dialog", -1, [&](Host &host) {
        return host.Dialog(pluginNumber, x1, y1, x2, y2, helpTopic, item, itemsNumber);
    });
}

int FARAPI MessageService(INT_PTR pluginNumber, DWORD flags, const char *helpTopic, const char *const *items,
                          int itemsNumber, int buttonsNumber) {
    return Guarded("Message", -1, [&](Host &host) {
        return host.Message(pluginNumber, flags, helpTopic, items, itemsNumber, buttonsNumber);
    });
}

const char *FARAPI GetMsgService(INT_PTR pluginNumber, int msgId) {
    return Guarded("GetMsg", static_cast<const char *>(nullptr),
                   [&](Host &host) { return host.GetMsg(pluginNumber, msgId); });
}

int FARAPI ControlService(HANDLE plugin, int command, void *param) {
    return Guarded("Control", 0, [&](Host &host) { return host.Control(plugin, command, param); });
}

HANDLE FARAPI SaveScreenService(int x1, int y1, int x2, int y2) {
    return Guarded("SaveScreen", static_cast<HANDLE>(nullptr),
                   [&](Host &host) { return host.SaveScreen(x1, y1, x2, y2); });
}

void FARAPI RestoreScreenService(HANDLE screen) {
    Guarded("RestoreScreen", 0, [&](Host &host) {
        host.RestoreScreen(screen);
        return 0;
    });
}

int FARAPI EditorService(const char *fileName, const char *title, int x1, int y1, int x2, int y2, DWORD flags,
                         int startLine, int startChar) {
    return Guarded("Editor", 0, [&](Host &host) {
        return host.EditorService(fileName, title, x1, y1, x2, y2, flags, startLine, startChar);
    });
}

void FARAPI TextService(int x, int y, int color, const char *str) {
    Guarded("Text", 0, [&](Host &host) {
        host.Text(x, y, color, str);
        return 0;
    });
}

int FARAPI EditorControlService(int command, void *param) {
    return Guarded("EditorControl", 0, [&](Host &host) { return host.EditorControl(command, param); });
}

}  // namespace

ServiceBinding::ServiceBinding(Host &host) : previous_(g_host) { g_host = &host; }

ServiceBinding::~ServiceBinding() { g_host = previous_; }

void FillServices(PluginStartupInfo &info) {
    info.Menu = MenuService;
    info.Dialog = DialogService;
    info.Message = MessageService;
    info.GetMsg = GetMsgService;
    info.Control = ControlService;
    info.SaveScreen = SaveScreenService;
    info.RestoreScreen = RestoreScreenService;
    info.Editor = EditorService;
    info.Text = TextService;
    info.EditorControl = EditorControlService;
}

}  // namespace farhost
