// The services the module calls, played on the in-memory host.
#include <algorithm>
#include <cstring>

#include "host/Describe.h"
#include "host/Host.h"

namespace farhost {

namespace {

std::string Number(int value) { return std::to_string(value); }

// "[3]". Built by appending: GCC 12 wrongly warns about "[" + std::string.
std::string Bracketed(int index) {
    std::string text = "[";
    text.append(std::to_string(index)).append("]");
    return text;
}

bool IsBlank(const std::string &text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
}

}  // namespace

bool Host::CheckPluginNumber(const char *service, INT_PTR pluginNumber) {
    if (pluginNumber == kModuleNumber) return true;
    Fail(std::string(service) + " was given the plug-in number " + std::to_string(pluginNumber) + ", not " +
         std::to_string(kModuleNumber));
    return false;
}

int Host::Menu(INT_PTR pluginNumber, int x, int y, int maxHeight, DWORD flags, const char *title,
               const char *bottom, const char *helpTopic, const int *breakKeys, int *breakCode,
               const FarMenuItem *item, int itemsNumber) {
    auto text = [this](const char *s) { return s != nullptr ? transcript_.Text(s) : std::string("NULL"); };
    Line("Menu(X " + Number(x) + ", Y " + Number(y) + ", MaxHeight " + Number(maxHeight) + ", Flags " +
         MenuFlagsText(flags) + ", Title " + text(title) + ", Bottom " + text(bottom) + ", HelpTopic " +
         text(helpTopic) + ", BreakKeys " + (breakKeys != nullptr ? "given" : "NULL") + ", BreakCode " +
         (breakCode != nullptr ? "given" : "NULL") + ", " + Number(itemsNumber) + " items)");
    CheckPluginNumber("Menu", pluginNumber);
    if (itemsNumber < 0 || (item == nullptr && itemsNumber > 0)) {
        Fail("Menu was given no items array for " + Number(itemsNumber) + " items");
        return -1;
    }
    MenuView view;
    view.title = title != nullptr ? title : "";
    view.items.assign(item, item + itemsNumber);
    for (int i = 0; i < itemsNumber; ++i) {
        const FarMenuItem &entry = item[i];
        std::string line = Bracketed(i);
        if (entry.Separator != 0) line += " separator";
        if (entry.Selected != 0) line += " selected";
        if (entry.Checked != 0) line += " checked";
        std::string itemText = BoundedText(entry.Text, sizeof entry.Text);
        if (entry.Separator == 0 || !itemText.empty()) line.append(" ").append(transcript_.Text(itemText));
        if (std::memchr(entry.Text, '\0', sizeof entry.Text) == nullptr) line += " (not terminated)";
        Detail(line);
    }
    shown_.menus.push_back(view);
    if (breakCode != nullptr) *breakCode = -1;  // no break key was pressed
    int chosen = -1;
    try {
        chosen = driver_.ChooseMenuItem(view);
    } catch (const DriverFailure &failure) {
        Fail(failure.what());
        chosen = -1;
    }
    std::string what = chosen >= 0 ? " " + transcript_.Text(BoundedText(item[chosen].Text, sizeof item[chosen].Text))
                                   : std::string(" (cancelled)");
    Detail("-> " + Number(chosen) + what);
    return chosen;
}

int Host::Dialog(INT_PTR pluginNumber, int x1, int y1, int x2, int y2, const char *helpTopic,
                 FarDialogItem *item, int itemsNumber) {
    Line("Dialog(X1 " + Number(x1) + ", Y1 " + Number(y1) + ", X2 " + Number(x2) + ", Y2 " + Number(y2) +
         ", HelpTopic " + (helpTopic != nullptr ? transcript_.Text(helpTopic) : std::string("NULL")) + ", " +
         Number(itemsNumber) + " items)");
    CheckPluginNumber("Dialog", pluginNumber);
    if (itemsNumber < 0 || (item == nullptr && itemsNumber > 0)) {
        Fail("Dialog was given no items array for " + Number(itemsNumber) + " items");
        return -1;
    }
    for (int i = 0; i < itemsNumber; ++i) {
        const FarDialogItem &entry = item[i];
        std::string line = Bracketed(i) + " " + DialogItemTypeName(entry.Type) + " " + Number(entry.X1) + "," +
                           Number(entry.Y1) + " " + Number(entry.X2) + "," + Number(entry.Y2);
        if (entry.Focus != 0) line += " focus";
        if (entry.Type == DI_EDIT && (entry.Flags & DIF_HISTORY) != 0)
            line += " history " +
                    (entry.Param.History != nullptr ? transcript_.Text(entry.Param.History) : std::string("NULL"));
        else if (entry.Type != DI_EDIT && entry.Param.Selected != 0)
            line += " selected " + Number(entry.Param.Selected);
        if (entry.Flags != 0) line += " flags " + DialogFlagsText(entry.Flags);
        if (entry.DefaultButton != 0) line += " default";
        line.append(" ").append(transcript_.Text(BoundedText(entry.Data, sizeof entry.Data)));
        Detail(line);
    }
    ++shown_.dialogs;
    DialogAnswer answer;
    try {
        answer = driver_.AnswerDialog(std::span<const FarDialogItem>(item, static_cast<std::size_t>(itemsNumber)));
    } catch (const DriverFailure &failure) {
        Fail(failure.what());
        answer = DialogAnswer{};
    }
    for (const auto &[index, text] : answer.edits) {
        if (index < 0 || index >= itemsNumber) continue;
        CopyBounded(item[index].Data, sizeof item[index].Data, text);
        Detail("typed into [" + Number(index) + "] " + transcript_.Text(item[index].Data));
    }
    Detail("-> " + Number(answer.closingItem) + (answer.closingItem < 0 ? " (Esc)" : ""));
    return answer.closingItem;
}

int Host::Message(INT_PTR pluginNumber, DWORD flags, const char *helpTopic, const char *const *items,
                  int itemsNumber, int buttonsNumber) {
    Line("Message(Flags " + MessageFlagsText(flags) + ", HelpTopic " +
         (helpTopic != nullptr ? transcript_.Text(helpTopic) : std::string("NULL")) + ", " + Number(itemsNumber) +
         " items, " + Number(buttonsNumber) + (buttonsNumber == 1 ? " button)" : " buttons)"));
    CheckPluginNumber("Message", pluginNumber);
    if (itemsNumber < 0 || (items == nullptr && itemsNumber > 0)) {
        Fail("Message was given no items array for " + Number(itemsNumber) + " items");
        return -1;
    }
    if (buttonsNumber < 0 || buttonsNumber >= std::max(itemsNumber, 1)) {
        Fail("Message has " + Number(buttonsNumber) + " buttons among " + Number(itemsNumber) +
             " items: the first item is the title");
        return -1;
    }
    MessageView view;
    view.buttons = buttonsNumber;
    for (int i = 0; i < itemsNumber; ++i) {
        std::string text = items[i] != nullptr ? items[i] : "";
        const char *role = i == 0 ? "title " : i >= itemsNumber - buttonsNumber ? "button " : "text ";
        Detail(role + (items[i] != nullptr ? transcript_.Text(text) : std::string("NULL")));
        view.items.push_back(std::move(text));
    }
    shown_.messages.push_back(view);
    int pressed = 0;
    try {
        pressed = driver_.AnswerMessage(view);
    } catch (const DriverFailure &failure) {
        Fail(failure.what());
        pressed = -1;
    }
    Detail("-> " + Number(pressed));
    return pressed;
}

const char *Host::GetMsg(INT_PTR pluginNumber, int msgId) {
    CheckPluginNumber("GetMsg", pluginNumber);
    const char *text = language_ ? language_->Message(msgId) : nullptr;
    if (!Quiet("GetMsg"))
        Line("GetMsg(" + Number(msgId) + ") -> " + (text != nullptr ? transcript_.Text(text) : std::string("NULL")));
    return text;
}

int Host::Control(HANDLE plugin, int command, void *param) {
    if (command == FCTL_SETUSERSCREEN) {
        console_.userScreen = true;
        Line("Control(" + HandleText(plugin) + ", FCTL_SETUSERSCREEN, " + HandleText(param) + ") -> 1");
        return 1;
    }
    Line("Control(" + HandleText(plugin) + ", " + Number(command) + ", " + HandleText(param) +
         ") -> 0 (unknown command)");
    return 0;
}

HANDLE Host::SaveScreen(int x1, int y1, int x2, int y2) {
    auto screen = std::make_unique<SavedScreen>(SavedScreen{nextScreenNumber_++});
    HANDLE handle = screen.get();
    Line("SaveScreen(" + Number(x1) + ", " + Number(y1) + ", " + Number(x2) + ", " + Number(y2) + ") -> screen " +
         Number(screen->number));
    screens_.emplace(handle, std::move(screen));
    return handle;
}

void Host::RestoreScreen(HANDLE screen) {
    if (screen == nullptr) {
        Line("RestoreScreen(NULL)");
        return;
    }
    auto found = screens_.find(screen);
    if (found == screens_.end()) {
        Line("RestoreScreen(" + HandleText(screen) + ")");
        Fail("RestoreScreen was given a handle that SaveScreen did not return, or one already restored");
        return;
    }
    Line("RestoreScreen(screen " + Number(found->second->number) + ")");
    screens_.erase(found);
}

int Host::EditorService(const char *fileName, const char *title, int x1, int y1, int x2, int y2, DWORD flags,
                        int startLine, int startChar) {
    auto text = [this](const char *s) { return s != nullptr ? transcript_.Text(s) : std::string("NULL"); };
    Line("Editor(FileName " + text(fileName) + ", Title " + text(title) + ", " + Number(x1) + ", " + Number(y1) +
         ", " + Number(x2) + ", " + Number(y2) + ", Flags " + EditorFlagsText(flags) + ", StartLine " +
         Number(startLine) + ", StartChar " + Number(startChar) + ")");
    if (fileName == nullptr || *fileName == '\0') {
        Fail("Editor was given no file name");
        return 0;
    }
    std::string error;
    std::optional<farhost::Editor> editor = LoadEditor(FullPath(fileName), error);
    if (!editor) {
        Detail("cannot open: " + transcript_.Plain(error));
        Line("Editor -> 0");
        return 0;
    }
    editor->title = title != nullptr ? title : "";
    // Lines and columns are 1-based here; -1 leaves the cursor at the start.
    editor->MoveCursor(startLine > 0 ? startLine - 1 : 0, startChar > 0 ? startChar - 1 : 0);
    AddEditor(std::move(*editor), "opened");
    Line("Editor -> 1");
    return 1;
}

void Host::Text(int x, int y, int color, const char *str) {
    if (str == nullptr) {
        FlushTextRun();
        ++console_.flushes;
        if (!Quiet("Text"))
            Line("Text(" + Number(x) + ", " + Number(y) + ", " + Number(color) + ", NULL) flush");
        return;
    }
    ++console_.textCalls;
    std::string text = str;
    if (textRun_ && textRun_->x == x && textRun_->color == color && textRun_->lastY + 1 == y &&
        textRun_->text == text) {
        textRun_->lastY = y;
        ++textRun_->count;
        return;
    }
    FlushTextRun();
    textRun_ = TextRun{x, y, y, color, 1, std::move(text)};
}

void Host::FlushTextRun() {
    if (!textRun_) return;
    TextRun run = std::move(*textRun_);
    textRun_.reset();
    if (Quiet("Text")) return;
    std::string rows = run.count == 1 ? Number(run.firstY) : Number(run.firstY) + ".." + Number(run.lastY);
    std::string shown = !run.text.empty() && IsBlank(run.text) ? Number(static_cast<int>(run.text.size())) + " blanks"
                                                               : transcript_.Text(run.text);
    std::string line = "Text(" + Number(run.x) + ", " + rows + ", " + Number(run.color) + ", " + shown + ")";
    if (run.count > 1) line += " x" + Number(run.count);
    transcript_.Line(line);
}

}  // namespace farhost
