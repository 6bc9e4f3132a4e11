#include "host/Host.h"

#include <cstdint>

#include "host/Describe.h"
#include "host/ServiceTable.h"

namespace farhost {

namespace {

// Later hosts append a reserved field to PluginInfo: the module must leave it alone.
struct PluginInfoWithReserve {
    PluginInfo info;
    DWORD reserved;
};
constexpr DWORD kReserveMark = 0x5EA1ED00;

template <typename Function>
Function ExportAs(const LoadedModule &module, const char *name) {
    return reinterpret_cast<Function>(module.Find(name));
}

std::string StringList(const char *const *strings, int count, const Transcript &transcript) {
    if (strings == nullptr) return count == 0 ? std::string("none") : std::string("NULL");
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += i == 0 ? "" : ", ";
        text += strings[i] != nullptr ? transcript.Text(strings[i]) : std::string("NULL");
    }
    return text;
}

// "&ID", how EE_CLOSE's parameter is shown (built by appending: GCC 12 warns wrongly about
// "&" + std::to_string(...)).
std::string LineCount(int count) { return std::to_string(count) + (count == 1 ? " line" : " lines"); }

std::string PointerToId(int id) {
    std::string text = "&";
    text += std::to_string(id);
    return text;
}

}  // namespace

class Host::ModuleCall {
public:
    explicit ModuleCall(Host &host) : host_(host), nest_(host.transcript_) { ++host_.callDepth_; }
    ~ModuleCall() {
        host_.FlushTextRun();
        --host_.callDepth_;
    }
    ModuleCall(const ModuleCall &) = delete;
    ModuleCall &operator=(const ModuleCall &) = delete;

private:
    Host &host_;
    Transcript::Nest nest_;
};

Host::Host(Transcript &transcript, Driver &driver)
    : transcript_(transcript), driver_(driver), binding_(std::make_unique<ServiceBinding>(*this)) {}

Host::~Host() = default;

void Host::Line(const std::string &text) {
    FlushTextRun();
    transcript_.Line(text);
}

void Host::Detail(const std::string &text) {
    FlushTextRun();
    transcript_.Detail(text);
}

void Host::Fail(const std::string &what) {
    failures_.push_back(what);
    Line("FAILURE: " + what);
}

std::vector<std::string> Host::TakeFailures() {
    std::vector<std::string> taken;
    taken.swap(failures_);
    return taken;
}

const std::string &Host::ModulePath() const {
    static const std::string none;
    return module_ ? module_->FullPath() : none;
}

bool Host::LoadModule(const std::string &path, const std::string &language) {
    std::string error;
    auto module = std::make_unique<LoadedModule>(path, error);
    if (!module->IsLoaded()) {
        Fail("cannot load the module " + transcript_.Text(path) + ": " + error);
        return false;
    }
    module_ = std::move(module);
    transcript_.Mask().Add(FolderOf(module_->FullPath()), "$MODULE_DIR");
    transcript_.Mask().Add(module_->FullPath(), "$MODULE");
    Line("load " + transcript_.Plain(module_->FullPath()));
    BindExports();

    std::string languagePath;
    language_ = FindLanguageFile(FolderOf(module_->FullPath()), language, languagePath);
    if (language_)
        Detail("language file " + transcript_.Plain(languagePath) + ": " + language_->Language() + ", " +
               std::to_string(language_->Count()) + " messages");
    else
        Detail("no " + language + " language file beside the module: GetMsg gives NULL");

    StartModule();
    return failures_.empty();
}

void Host::BindExports() {
    exports_.SetStartupInfo = ExportAs<decltype(exports_.SetStartupInfo)>(*module_, "SetStartupInfo");
    exports_.GetPluginInfo = ExportAs<decltype(exports_.GetPluginInfo)>(*module_, "GetPluginInfo");
    exports_.OpenPlugin = ExportAs<decltype(exports_.OpenPlugin)>(*module_, "OpenPlugin");
    exports_.ProcessEditorEvent = ExportAs<decltype(exports_.ProcessEditorEvent)>(*module_, "ProcessEditorEvent");
    exports_.ProcessEditorInput = ExportAs<decltype(exports_.ProcessEditorInput)>(*module_, "ProcessEditorInput");
    exports_.GetMinFarVersion = ExportAs<decltype(exports_.GetMinFarVersion)>(*module_, "GetMinFarVersion");
    const std::pair<const char *, bool> found[] = {
        {"SetStartupInfo", exports_.SetStartupInfo != nullptr},
        {"GetPluginInfo", exports_.GetPluginInfo != nullptr},
        {"OpenPlugin", exports_.OpenPlugin != nullptr},
        {"ProcessEditorEvent", exports_.ProcessEditorEvent != nullptr},
        {"ProcessEditorInput", exports_.ProcessEditorInput != nullptr},
        {"GetMinFarVersion", exports_.GetMinFarVersion != nullptr}};
    std::string present, missing;
    for (const auto &[name, there] : found) (there ? present : missing) += std::string(" ") + name;
    Detail("exports:" + present);
    if (!missing.empty()) Fail("the module lacks the exports" + missing);
}

void Host::StartModule() {
    if (exports_.GetMinFarVersion != nullptr) {
        int version = 0;
        {
            Line("GetMinFarVersion()");
            ModuleCall call(*this);
            version = exports_.GetMinFarVersion();
        }
        minFarVersion_ = version;
        Line("GetMinFarVersion -> " + VersionText(version));
        unsigned wanted = static_cast<unsigned>(version), have = static_cast<unsigned>(kHostVersion);
        auto order = [](unsigned v) { return (std::uint64_t{v & 0xFFFF} << 16 | (v >> 16)); };
        if (order(wanted) > order(have))
            Fail("the module needs a newer host than " + VersionText(kHostVersion));
    }

    startupInfo_ = PluginStartupInfo{};
    startupInfo_.StructSize = static_cast<int>(sizeof(PluginStartupInfo));
    CopyBounded(startupInfo_.ModuleName, sizeof startupInfo_.ModuleName, module_->FullPath());
    startupInfo_.ModuleNumber = kModuleNumber;
    startupInfo_.RootKey = kRootKey;
    FillServices(startupInfo_);
    if (exports_.SetStartupInfo != nullptr) {
        Line("SetStartupInfo(ModuleName " + transcript_.Text(startupInfo_.ModuleName) + ", ModuleNumber " +
             std::to_string(kModuleNumber) + ", RootKey " + transcript_.Text(kRootKey) + ")");
        ModuleCall call(*this);
        exports_.SetStartupInfo(&startupInfo_);
    }
    ReadPluginInfo();
    AfterModuleCall();
}

void Host::ReadPluginInfo() {
    if (exports_.GetPluginInfo == nullptr) return;
    PluginInfoWithReserve filled{};
    filled.reserved = kReserveMark;
    {
        Line("GetPluginInfo()");
        ModuleCall call(*this);
        exports_.GetPluginInfo(&filled.info);
    }
    pluginInfo_ = filled.info;
    const PluginInfo &info = filled.info;
    Line("GetPluginInfo -> StructSize " + std::to_string(info.StructSize) + ", Flags " + PluginFlagsText(info.Flags));
    Detail("DiskMenuStrings " + std::to_string(info.DiskMenuStringsNumber) + ": " +
           StringList(info.DiskMenuStrings, info.DiskMenuStringsNumber, transcript_));
    Detail("PluginMenuStrings " + std::to_string(info.PluginMenuStringsNumber) + ": " +
           StringList(info.PluginMenuStrings, info.PluginMenuStringsNumber, transcript_));
    Detail("PluginConfigStrings " + std::to_string(info.PluginConfigStringsNumber) + ": " +
           StringList(info.PluginConfigStrings, info.PluginConfigStringsNumber, transcript_));
    Detail("CommandPrefix " + (info.CommandPrefix != nullptr ? transcript_.Text(info.CommandPrefix) : "NULL"));
    pluginMenuStrings_.clear();
    for (int i = 0; info.PluginMenuStrings != nullptr && i < info.PluginMenuStringsNumber; ++i)
        pluginMenuStrings_.push_back(info.PluginMenuStrings[i] != nullptr ? info.PluginMenuStrings[i] : "");
    if (filled.reserved != kReserveMark) Fail("GetPluginInfo wrote past the 40 bytes of PluginInfo");
}

void Host::Shutdown() {
    if (!module_) return;
    Line("exit");
    {
        Transcript::Nest nest(transcript_);
        while (Editor *editor = editors_.Current()) CloseEditor(editor->id);
        for (const auto &[handle, screen] : screens_)
            Fail("screen " + std::to_string(screen->number) + " was saved and never restored");
        screens_.clear();
        Line("unload " + transcript_.Plain(module_->FullPath()));
    }
    exports_ = ModuleExports{};
    module_.reset();
}

int Host::ReportEvent(int event, void *param, const std::string &what) {
    if (exports_.ProcessEditorEvent == nullptr) return 0;
    int result = 0;
    {
        Line("ProcessEditorEvent(" + EventName(event) + ", " + what + ")");
        ModuleCall call(*this);
        result = exports_.ProcessEditorEvent(event, param);
    }
    Line("ProcessEditorEvent -> " + std::to_string(result));
    AfterModuleCall();
    return result;
}

void Host::AfterModuleCall() {
    if (callDepth_ != 0) return;
    // The host closes an editor that asked to quit once the plug-in has returned to it.
    for (int id : editors_.Ids()) {
        Editor *editor = editors_.Find(id);
        if (editor != nullptr && editor->quitRequested) {
            Line("editor " + std::to_string(id) + " quits");
            Transcript::Nest nest(transcript_);
            CloseEditor(id);
        }
    }
}

void Host::AddEditor(Editor editor, const char *how) {
    Editor &added = editors_.Add(std::move(editor));
    Detail(std::string(how) + " editor " + std::to_string(added.id) + ": " + transcript_.Text(added.fileName) + ", " +
           LineCount(added.TotalLines()) + (added.isNewFile ? " (new file)" : "") + ", CurLine " +
           std::to_string(added.curLine) + ", CurPos " + std::to_string(added.curPos));
    Transcript::Nest nest(transcript_);
    ReportEvent(EE_READ, nullptr, "NULL");
}

void Host::CloseEditor(int id) {
    Editor *editor = editors_.Find(id);
    if (editor == nullptr) return;
    Line("close editor " + std::to_string(id) + ": " + transcript_.Text(editor->fileName));
    {
        Transcript::Nest nest(transcript_);
        int closing = id;  // the module reads the identifier through this pointer
        editor->quitRequested = false;
        ReportEvent(EE_CLOSE, &closing, PointerToId(id));
    }
    editors_.Remove(id);
}

bool Host::OpenEditor(const std::string &fileName) {
    shown_ = ShownSinceCall{};
    Line("open " + transcript_.Text(fileName));
    std::string error;
    std::optional<Editor> editor = LoadEditor(fileName, error);
    if (!editor) {
        Fail("cannot open " + transcript_.Text(fileName) + ": " + error);
        return false;
    }
    AddEditor(std::move(*editor), "opened");
    return true;
}

bool Host::SaveCurrent(const std::string &newName) {
    shown_ = ShownSinceCall{};
    Editor *editor = editors_.Current();
    if (editor == nullptr) {
        Fail("no editor is open to save");
        return false;
    }
    std::string target = newName.empty() ? editor->fileName : newName;
    Line((newName.empty() ? "save " : "save as ") + transcript_.Text(target));
    Transcript::Nest nest(transcript_);
    if (!WriteAndReport(*editor, target, nullptr)) {
        Fail("cannot save " + transcript_.Text(target));
        return false;
    }
    return true;
}

bool Host::WriteAndReport(Editor &editor, const std::string &fileName, const char *eol) {
    std::string error;
    if (!WriteEditor(editor, fileName, eol, error)) {
        Line("not written: " + transcript_.Plain(error));
        return false;
    }
    editor.fileName = fileName;
    editor.modified = false;
    editor.isNewFile = false;
    Line("wrote " + transcript_.Text(fileName) + ", " + LineCount(editor.TotalLines()));
    ReportEvent(EE_SAVE, nullptr, "NULL");
    return true;
}

bool Host::CloseCurrent() {
    shown_ = ShownSinceCall{};
    Editor *editor = editors_.Current();
    if (editor == nullptr) {
        Fail("no editor is open to close");
        return false;
    }
    CloseEditor(editor->id);
    return true;
}

bool Host::SwitchTo(int editorId) {
    if (!editors_.MakeCurrent(editorId)) {
        Fail("there is no editor " + std::to_string(editorId));
        return false;
    }
    Line("switch to editor " + std::to_string(editorId) + ": " + transcript_.Text(editors_.Current()->fileName));
    return true;
}

void Host::PressKey(bool down, char character) {
    shown_ = ShownSinceCall{};
    if (exports_.ProcessEditorInput == nullptr) return;
    INPUT_RECORD record{};
    record.EventType = KEY_EVENT;
    record.Event.KeyEvent.bKeyDown = down ? 1 : 0;
    record.Event.KeyEvent.wRepeatCount = 1;
    char upper = character >= 'a' && character <= 'z' ? static_cast<char>(character - 'a' + 'A') : character;
    record.Event.KeyEvent.wVirtualKeyCode = static_cast<WORD>(static_cast<unsigned char>(upper));
    record.Event.KeyEvent.uChar.AsciiChar = character;
    int result = 0;
    {
        Line(std::string("ProcessEditorInput(KEY_EVENT, bKeyDown ") + (down ? "1" : "0") + ", " +
             transcript_.Text(std::string(1, character)) + ")");
        ModuleCall call(*this);
        result = exports_.ProcessEditorInput(&record);
    }
    Line("ProcessEditorInput -> " + std::to_string(result));
    AfterModuleCall();
}

bool Host::CallPlugin() {
    shown_ = ShownSinceCall{};
    if (editors_.Current() == nullptr) {
        Fail("no editor is open: the plug-in is called from an editor");
        return false;
    }
    if (exports_.OpenPlugin == nullptr) {
        Fail("the module has no OpenPlugin");
        return false;
    }
    HANDLE result = nullptr;
    {
        Line("OpenPlugin(OPEN_EDITOR, 0)");
        ModuleCall call(*this);
        result = exports_.OpenPlugin(OPEN_EDITOR, 0);
    }
    Line("OpenPlugin -> " + HandleText(result));
    AfterModuleCall();
    return true;
}

void Host::SendEvent(int event) {
    shown_ = ShownSinceCall{};
    Editor *editor = editors_.Current();
    int id = editor != nullptr ? editor->id : 0;
    if (event == EE_CLOSE)
        ReportEvent(event, &id, PointerToId(id));
    else
        ReportEvent(event, nullptr, "NULL");
}

}  // namespace farhost
