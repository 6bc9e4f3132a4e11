#include "plugin/CommandFlow.h"

#include <memory>

#include "config/CommandConfig.h"
#include "config/CommandMenu.h"
#include "config/Dirs.h"
#include "config/TCommandOptions.h"
#include "config/TStringList.h"
#include "exec/Parameter.h"
#include "exec/RunCommand.h"
#include "exec/Template.h"
#include "navigate/GoToError.h"
#include "navigate/OutputStore.h"
#include "platform/Platform.h"
#include "plugin/farapi/FARUtils.h"
#include "regexpr/RegExpr.h"

namespace {

// Index of the first command in the command menu: 0 shows the stored output, 1 is the separator.
constexpr int kFirstCommandIndex = 2;

unsigned char CasePartnerOfPlatform(void * /*context*/, unsigned char c) {
    platform::Platform &system = platform::Current();
    unsigned char upper = system.UpperCaseChar(c);
    return upper != c ? upper : system.LowerCaseChar(c);
}

EditorInfo CurrentEditorInfo() {
    EditorInfo info{};
    far::EditorControl(ECTL_GETINFO, &info);
    return info;
}

// Runs the command chosen at `index` of the merged menu list.
void RunChosenCommand(const TStringList &menu, std::size_t index) {
    const TCommandOptions *options = menu.Object(index);
    if (options == nullptr) return;
    const std::string commandTemplate = CommandTemplate(menu, index);

    std::string parameter;
    if (!AskParameter(options->Ask, parameter)) return;

    if (options->Save) {
        EditorSaveFile save{};
        far::EditorControl(ECTL_SAVEFILE, &save);
    }

    const EditorInfo info = CurrentEditorInfo();
    const int editorId = info.EditorID;
    const bool wasSaved = (info.CurState & ECSTATE_SAVED) != 0;

    std::string fileName = TheEditorFileTable().EditorFile(editorId);
    if (fileName.empty()) fileName = ExpandPathName(info.FileName != nullptr ? info.FileName : "");

    const TemplateArguments arguments = MakeTemplateArguments(fileName, parameter);
    const std::string commandLine = ExpandTemplate(commandTemplate, arguments);

    // A directory that cannot be entered is not reported: the command then runs where we are.
    const bool entered = options->CdFileDir && platform::Current().ChangeDirectory(arguments[1]);
    // Relative names in the output start here, wherever the host's panels move afterwards. The
    // file's folder keeps the spelling of the editor's file name, which the jump compares with.
    std::string runFolder = entered ? arguments[1] : platform::Current().CurrentDirectory();

    std::unique_ptr<TCommandOptions> storedOptions = options->Clone();
    std::unique_ptr<TStringList> output = RunCommand(commandLine, options->ToMenu);
    TheOutputStore().StoreOutput(std::move(output), editorId, commandLine, std::move(storedOptions),
                                 std::move(runFolder));

    if (options->ToMenu) GoToError(/*manual=*/false, /*suppressAutoExit=*/!wasSaved);
}

}  // namespace

void InitialiseModule() { regexpr::RegExprDefaults().CasePartner = regexpr::TCasePartner{&CasePartnerOfPlatform, nullptr}; }

void RunCommandFlow() {
    auto base = TCommandOptions::Create();
    const EditorInfo info = CurrentEditorInfo();
    CommandLists lists = ReadConfiguration(*base, info.FileName != nullptr ? info.FileName : "");
    std::unique_ptr<TStringList> menu = MergeCommandMenu(std::move(lists.extension), std::move(lists.common));

    const int chosen = ShowCommandMenu(*menu);
    if (chosen == 0) {
        GoToError(/*manual=*/true, /*suppressAutoExit=*/true);
    } else if (chosen >= kFirstCommandIndex && static_cast<std::size_t>(chosen) < menu->Count()) {
        RunChosenCommand(*menu, static_cast<std::size_t>(chosen));
    }
    // The menu list releases every option set attached to its entries, then the base set goes.
}

void ReportFailure(const char *message) noexcept {
    try {
        far::ShowError(message != nullptr ? message : "");
    } catch (...) {
    }
}
