// An in-process stand-in for the host's services, for tests that drive the module's code
// directly: it records every call and answers menus and dialogs from queued answers.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "plugin/farapi/FARIntf.h"

namespace testing_host {

/// One editor the fake host holds open: its file, its lines, the cursor and the selection.
struct FakeEditor {
    int id = 1;
    std::string fileName;
    std::vector<std::string> lines;
    int curLine = 0;
    int curPos = 0;
    int selLine = -1;  // line holding the selection, -1 for none
    int selStart = -1;
    int selEnd = -1;
    DWORD state = ECSTATE_SAVED;
};

/// A menu as the module asked the host to show it.
struct RecordedMenu {
    std::string title;
    std::vector<FarMenuItem> items;
};

/// A message box as the module asked the host to show it.
struct RecordedMessage {
    DWORD flags = 0;
    std::string helpTopic;
    std::vector<std::string> items;
    int buttons = 0;
};

/// The state behind the fake services. One instance is live at a time (`Install`).
class FakeHost {
public:
    FakeHost();
    ~FakeHost();
    FakeHost(const FakeHost &) = delete;
    FakeHost &operator=(const FakeHost &) = delete;

    /// Hands the service table to the module's wrappers (as SetStartupInfo would).
    const PluginStartupInfo &StartupInfo() const { return info_; }
    void SetModuleName(const std::string &name);

    std::vector<std::string> messages{"Ok", "Cancel", "Kilnrun", "Error", "Show output", "No output"};
    std::vector<FakeEditor> editors;
    std::size_t current = 0;
    std::deque<int> menuAnswers;        // an empty queue cancels
    std::deque<std::string> dialogAnswers;  // text for the edit field; "\x1b" cancels
    std::vector<RecordedMenu> menus;
    std::vector<RecordedMessage> boxes;
    std::vector<std::string> calls;     // one line per service call, in order
    std::vector<EditorSetPosition> positions;
    std::vector<FarDialogItem> lastDialog;

    FakeEditor &Current() { return editors.at(current); }
    FakeEditor &AddEditor(int id, const std::string &fileName, std::vector<std::string> lines = {});

    static FakeHost *Live();

private:
    PluginStartupInfo info_{};
    std::string keptGetStringText_;
};

}  // namespace testing_host
