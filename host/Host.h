// The in-memory host: the module's exports, the editors, the language file, the console and the
// screens, and the services that the module calls on them. Every call is written to the
// transcript; what the module does against the host's rules is recorded as a failure.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/Driver.h"
#include "host/EditorModel.h"
#include "host/LanguageFile.h"
#include "host/System.h"
#include "host/Transcript.h"
#include "plugin/farapi/FARIntf.h"

namespace farhost {

class ServiceBinding;

/// The plug-in number handed to the module; every service that takes one checks it.
constexpr INT_PTR kModuleNumber = 0x4B52;
/// The host version farhost plays: 1.70 build 2087.
constexpr int kHostVersion = MAKEFARVERSION(1, 70, 2087);
constexpr const char *kRootKey = "Software\\Far\\Plugins";

/// The module's six exports (nullptr where the module lacks one).
struct ModuleExports {
    void(FARAPI *SetStartupInfo)(const PluginStartupInfo *) = nullptr;
    void(FARAPI *GetPluginInfo)(PluginInfo *) = nullptr;
    HANDLE(FARAPI *OpenPlugin)(int, INT_PTR) = nullptr;
    int(FARAPI *ProcessEditorEvent)(int, void *) = nullptr;
    int(FARAPI *ProcessEditorInput)(const INPUT_RECORD *) = nullptr;
    int(FARAPI *GetMinFarVersion)() = nullptr;
};

/// What the console has been through since the last call into the module.
struct ConsoleState {
    bool userScreen = false;  // FCTL_SETUSERSCREEN made the console's contents the user screen
    int textCalls = 0;
    int flushes = 0;
};

/// What the module showed during the last call into it.
struct ShownSinceCall {
    std::vector<MenuView> menus;
    std::vector<MessageView> messages;
    int dialogs = 0;
};

class Host {
public:
    Host(Transcript &transcript, Driver &driver);
    ~Host();
    Host(const Host &) = delete;
    Host &operator=(const Host &) = delete;

    // --- The module ---------------------------------------------------------------------
    /// Loads the module and starts it like the host: GetMinFarVersion, SetStartupInfo,
    /// GetPluginInfo. False when it cannot be loaded or started.
    bool LoadModule(const std::string &path, const std::string &language);
    bool HasModule() const { return module_ != nullptr; }
    const std::string &ModulePath() const;
    /// Closes every editor (EE_CLOSE each) and unloads the module, as the host does at exit.
    void Shutdown();

    // --- What the user does in the editors ----------------------------------------------
    bool OpenEditor(const std::string &fileName);
    bool SaveCurrent(const std::string &newName);  // empty: under its own name
    bool CloseCurrent();
    bool SwitchTo(int editorId);
    void PressKey(bool down, char character);
    /// OpenPlugin(OPEN_EDITOR, 0) on the current editor; false when no editor is open.
    bool CallPlugin();
    void SendEvent(int event);
    void SetNextEditorId(int id) { editors_.SetNextId(id); }

    // --- State for expectations ---------------------------------------------------------
    EditorSet &Editors() { return editors_; }
    const ConsoleState &Console() const { return console_; }
    const ShownSinceCall &Shown() const { return shown_; }
    const PluginInfo &Info() const { return pluginInfo_; }
    const std::vector<std::string> &PluginMenuStrings() const { return pluginMenuStrings_; }
    std::optional<int> MinFarVersion() const { return minFarVersion_; }
    int OpenScreens() const { return static_cast<int>(screens_.size()); }
    /// Failures recorded since the last call, emptied.
    std::vector<std::string> TakeFailures();
    void Fail(const std::string &what);

    // --- Services (called through the service table) ------------------------------------
    int Menu(INT_PTR pluginNumber, int x, int y, int maxHeight, DWORD flags, const char *title,
             const char *bottom, const char *helpTopic, const int *breakKeys, int *breakCode,
             const FarMenuItem *item, int itemsNumber);
    int Dialog(INT_PTR pluginNumber, int x1, int y1, int x2, int y2, const char *helpTopic,
               FarDialogItem *item, int itemsNumber);
    int Message(INT_PTR pluginNumber, DWORD flags, const char *helpTopic, const char *const *items,
                int itemsNumber, int buttonsNumber);
    const char *GetMsg(INT_PTR pluginNumber, int msgId);
    int Control(HANDLE plugin, int command, void *param);
    HANDLE SaveScreen(int x1, int y1, int x2, int y2);
    void RestoreScreen(HANDLE screen);
    /// The Editor service (named apart from the Editor record it makes).
    int EditorService(const char *fileName, const char *title, int x1, int y1, int x2, int y2, DWORD flags,
               int startLine, int startChar);
    void Text(int x, int y, int color, const char *str);
    int EditorControl(int command, void *param);

private:
    struct TextRun {
        int x = 0, firstY = 0, lastY = 0, color = 0, count = 0;
        std::string text;
    };
    struct SavedScreen {
        int number;
    };

    void BindExports();
    void StartModule();
    void ReadPluginInfo();
    bool CheckPluginNumber(const char *service, INT_PTR pluginNumber);
    /// Writes the pending run of Text calls; every other line waits for it.
    void FlushTextRun();
    void Line(const std::string &text);
    void Detail(const std::string &text);
    bool Quiet(const char *service) const { return transcript_.IsQuiet(service); }

    /// Around every call into the module: nesting in the transcript, and the work the host
    /// does once the outermost call has returned (closing editors that asked to quit).
    class ModuleCall;
    void AfterModuleCall();
    int ReportEvent(int event, void *param, const std::string &what);
    void AddEditor(Editor editor, const char *how);
    void CloseEditor(int id);

    int GetString(EditorGetString *param);
    int GetInfo(EditorInfo *param);
    int SetPosition(const EditorSetPosition *param);
    int SaveFile(const EditorSaveFile *param);
    int Quit();
    bool WriteAndReport(Editor &editor, const std::string &fileName, const char *eol);

    Transcript &transcript_;
    Driver &driver_;
    std::unique_ptr<ServiceBinding> binding_;
    std::unique_ptr<LoadedModule> module_;
    ModuleExports exports_;
    PluginStartupInfo startupInfo_{};
    PluginInfo pluginInfo_{};
    std::vector<std::string> pluginMenuStrings_;
    std::optional<int> minFarVersion_;
    std::optional<LanguageFile> language_;
    EditorSet editors_;
    ConsoleState console_;
    ShownSinceCall shown_;
    std::map<HANDLE, std::unique_ptr<SavedScreen>> screens_;
    int nextScreenNumber_ = 1;
    std::optional<TextRun> textRun_;
    std::vector<std::string> failures_;
    int callDepth_ = 0;
};

}  // namespace farhost
