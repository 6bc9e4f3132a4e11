// The six functions the host calls. Each one catches everything at its boundary: no exception
// may ever reach the host.
#include <exception>

#include "config/Dirs.h"
#include "navigate/OutputStore.h"
#include "plugin/CommandFlow.h"
#include "plugin/farapi/FARIntf.h"
#include "plugin/farapi/FARUtils.h"
#include "plugin/farapi/KilnrunMsg.h"

#if defined(_WIN32)
#define KILNRUN_EXPORT
#else
#define KILNRUN_EXPORT __attribute__((visibility("default")))
#endif

namespace {

// The one editor-menu string; its element is fetched again on every GetPluginInfo call.
const char *pluginMenuStrings[1];

void RecordEditorFile() {
    EditorInfo info{};
    if (!far::EditorControl(ECTL_GETINFO, &info) || info.FileName == nullptr) return;
    TheEditorFileTable().SetEditorFile(info.EditorID, ExpandPathName(info.FileName));
}

void ForgetEditor(const void *param) {
    if (param == nullptr) return;
    const int editorId = *static_cast<const int *>(param);
    TheEditorFileTable().RemoveEditorFile(editorId);
    if (editorId == TheOutputStore().EditorId()) TheOutputStore().ReleaseOutput();
}

}  // namespace

extern "C" {

KILNRUN_EXPORT void FARAPI SetStartupInfo(const PluginStartupInfo *info) {
    try {
        far::SetStartupInfo(info);
        InitialiseModule();
    } catch (...) {
    }
}

KILNRUN_EXPORT int FARAPI GetMinFarVersion() { return MAKEFARVERSION(1, 70, 1282); }

KILNRUN_EXPORT void FARAPI GetPluginInfo(PluginInfo *info) {
    if (info == nullptr) return;
    try {
        pluginMenuStrings[0] = far::GetMsg(MsgTitle);
        info->StructSize = 40;
        info->Flags = PF_EDITOR | PF_DISABLEPANELS;
        info->DiskMenuStringsNumber = 0;
        info->PluginMenuStrings = pluginMenuStrings;
        info->PluginMenuStringsNumber = 1;
        info->PluginConfigStringsNumber = 0;
        info->CommandPrefix = nullptr;
    } catch (...) {
    }
}

KILNRUN_EXPORT HANDLE FARAPI OpenPlugin(int /*openFrom*/, INT_PTR /*item*/) {
    try {
        RunCommandFlow();
    } catch (const std::exception &failure) {
        ReportFailure(failure.what());
    } catch (...) {
        ReportFailure("Unexpected failure");
    }
    return INVALID_HANDLE_VALUE;
}

KILNRUN_EXPORT int FARAPI ProcessEditorEvent(int event, void *param) {
    try {
        switch (event) {
            case EE_CLOSE: ForgetEditor(param); break;
            case EE_READ:
            case EE_SAVE: RecordEditorFile(); break;
            default: break;
        }
    } catch (...) {
    }
    return 0;
}

KILNRUN_EXPORT int FARAPI ProcessEditorInput(const INPUT_RECORD *record) {
    try {
        if (record != nullptr && record->EventType == KEY_EVENT && record->Event.KeyEvent.bKeyDown)
            TheConsoleTitleSaver().RestoreConsoleTitle();
    } catch (...) {
    }
    return 0;
}

}  // extern "C"
