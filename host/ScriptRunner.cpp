#include "host/ScriptRunner.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <sstream>

#include "host/System.h"

namespace farhost {

namespace {

std::optional<int> ParseInt(const std::string &text) {
    if (text.empty() || text.size() > 11) return std::nullopt;
    std::size_t i = text[0] == '-' ? 1 : 0;
    if (i == text.size()) return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    if (text[0] == '-') value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int>(value);
}

std::optional<bool> ParseYesNo(const std::string &text) {
    if (text == "yes") return true;
    if (text == "no") return false;
    return std::nullopt;
}

std::string Join(const std::vector<std::string> &words, std::size_t from) {
    std::string text;
    for (std::size_t i = from; i < words.size(); ++i) {
        if (i > from) text += ' ';
        text += Quote(words[i]);
    }
    return text;
}

std::optional<int> EventNumber(const std::string &name) {
    if (name == "EE_READ") return EE_READ;
    if (name == "EE_SAVE") return EE_SAVE;
    if (name == "EE_REDRAW") return EE_REDRAW;
    if (name == "EE_CLOSE") return EE_CLOSE;
    return ParseInt(name);
}

}  // namespace

ScriptRunner::ScriptRunner(Host &host, ScriptDriver &driver, Transcript &transcript, std::ostream &errors,
                           RunnerSettings settings)
    : host_(host), driver_(driver), transcript_(transcript), errors_(errors), settings_(std::move(settings)) {
    auto args = [this](const Step &step, std::size_t least, std::size_t most) {
        if (step.args.size() >= least && step.args.size() <= most) return true;
        Failed(step, "expects " + (least == most ? std::to_string(least) : std::to_string(least) + " to " + std::to_string(most)) +
                         " words after \"" + step.verb + "\"");
        return false;
    };
    auto number = [this](const Step &step, std::size_t index, int &value) {
        std::optional<int> parsed = ParseInt(step.args[index]);
        if (!parsed) return Failed(step, "\"" + step.args[index] + "\" is not a number");
        value = *parsed;
        return true;
    };

    verbs_["module"] = {[this, args](const Step &step) {
                            if (!args(step, 1, 1)) return false;
                            if (settings_.modulePath.empty()) settings_.modulePath = Resolve(step.args[0]);
                            return EnsureModule() || Failed(step, "the module did not load");
                        },
                        false};
    verbs_["language"] = {[this, args](const Step &step) {
                              if (!args(step, 1, 1)) return false;
                              if (moduleTried_) return Failed(step, "the language must be set before the module loads");
                              settings_.language = step.args[0];
                              return true;
                          },
                          false};
    verbs_["env"] = {[this, args](const Step &step) {
                         if (!args(step, 1, 1)) return false;
                         std::size_t equals = step.args[0].find('=');
                         if (equals == std::string::npos || equals == 0) return Failed(step, "expects NAME=VALUE");
                         std::string name = step.args[0].substr(0, equals);
                         if (!SetEnvironmentValue(name, step.args[0].substr(equals + 1)))
                             return Failed(step, "cannot set the environment variable " + name);
                         return true;
                     },
                     false};
    verbs_["cd"] = {[this, args](const Step &step) {
                        if (!args(step, 1, 1)) return false;
                        std::string folder = Resolve(step.args[0]);
                        if (!ChangeDirectory(folder)) return Failed(step, "cannot enter " + transcript_.Text(folder));
                        transcript_.Line("cd " + transcript_.Text(folder));
                        return true;
                    },
                    false};
    verbs_["quiet"] = {[this, args](const Step &step) {
                           if (!args(step, 1, 16)) return false;
                           for (const std::string &service : step.args) transcript_.Quiet(service);
                           return true;
                       },
                       false};
    verbs_["mask"] = {[this, args](const Step &step) {
                          if (!args(step, 2, 2)) return false;
                          transcript_.Mask().Add(Resolve(step.args[0]), step.args[1]);
                          return true;
                      },
                      false};
    verbs_["editor-ids"] = {[this, args, number](const Step &step) {
                                int id = 0;
                                if (!args(step, 1, 1) || !number(step, 0, id)) return false;
                                host_.SetNextEditorId(id);
                                return true;
                            },
                            false};
    verbs_["echo"] = {[this](const Step &step) {
                          std::string text;
                          for (std::size_t i = 0; i < step.args.size(); ++i) text += (i ? " " : "") + step.args[i];
                          transcript_.Line("# " + text);
                          return true;
                      },
                      false};
    verbs_["answer"] = {[this](const Step &step) { return Answer(step); }, false};

    verbs_["open"] = {[this, args](const Step &step) {
                          return args(step, 1, 1) && host_.OpenEditor(Resolve(step.args[0]));
                      },
                      true};
    verbs_["cursor"] = {[this, args, number](const Step &step) {
                            int line = 0, column = 0;
                            if (!args(step, 2, 2) || !number(step, 0, line) || !number(step, 1, column)) return false;
                            Editor *editor = CurrentEditor(step);
                            if (editor == nullptr) return false;
                            if (line < 1 || line > editor->TotalLines() || column < 1)
                                return Failed(step, "the editor has lines 1 to " + std::to_string(editor->TotalLines()) +
                                                        " and columns from 1");
                            editor->MoveCursor(line - 1, column - 1);
                            transcript_.Line("cursor CurLine " + std::to_string(editor->curLine) + ", CurPos " +
                                             std::to_string(editor->curPos));
                            return true;
                        },
                        true};
    verbs_["select"] = {[this, args, number](const Step &step) {
                            Editor *editor = CurrentEditor(step);
                            if (editor == nullptr) return false;
                            if (step.args.size() == 1 && step.args[0] == "none") {
                                editor->selection.clear();
                                transcript_.Line("select none");
                                return true;
                            }
                            int line = 0, start = 0, end = 0;
                            if (!args(step, 3, 3) || !number(step, 0, line) || !number(step, 1, start) ||
                                !number(step, 2, end))
                                return false;
                            if (line < 1 || line > editor->TotalLines() || start < -1 || end < -1)
                                return Failed(step, "expects a line of the editor and SelStart, SelEnd of -1 or more");
                            editor->selection[line - 1] = LineSelection{start, end};
                            transcript_.Line("select line " + std::to_string(line - 1) + ": SelStart " +
                                             std::to_string(start) + ", SelEnd " + std::to_string(end));
                            return true;
                        },
                        true};
    verbs_["modify"] = {[this, args](const Step &step) {
                            if (!args(step, 0, 0)) return false;
                            Editor *editor = CurrentEditor(step);
                            if (editor == nullptr) return false;
                            editor->modified = true;
                            transcript_.Line("modify editor " + std::to_string(editor->id));
                            return true;
                        },
                        true};
    verbs_["edit"] = {[this, args, number](const Step &step) {
                          int line = 0;
                          if (!args(step, 2, 2) || !number(step, 0, line)) return false;
                          Editor *editor = CurrentEditor(step);
                          if (editor == nullptr) return false;
                          if (line < 1 || line > editor->TotalLines())
                              return Failed(step, "the editor has lines 1 to " + std::to_string(editor->TotalLines()));
                          EditorLine &target = editor->lines[static_cast<std::size_t>(line - 1)];
                          target = EditorLine(step.args[1], std::string(target.Eol()));
                          editor->modified = true;
                          transcript_.Line("edit line " + std::to_string(line - 1) + ": " + transcript_.Text(step.args[1]));
                          return true;
                      },
                      true};
    verbs_["call"] = {[this, args](const Step &step) {
                          if (!args(step, 0, 0)) return false;
                          bool called = host_.CallPlugin();
                          std::vector<std::string> unused = driver_.TakeUnused();
                          if (!unused.empty()) return Failed(step, "the answer \"" + unused.front() + "\" was not asked for");
                          return called;
                      },
                      true};
    verbs_["key"] = {[this, args](const Step &step) {
                         if (!args(step, 0, 2)) return false;
                         bool down = true;
                         char character = ' ';
                         for (const std::string &word : step.args) {
                             if (word == "up")
                                 down = false;
                             else if (word == "down")
                                 down = true;
                             else if (word.size() == 1)
                                 character = word[0];
                             else
                                 return Failed(step, "expects \"up\", \"down\" or one character");
                         }
                         host_.PressKey(down, character);
                         return true;
                     },
                     true};
    verbs_["save"] = {[this, args](const Step &step) { return args(step, 0, 0) && host_.SaveCurrent(""); }, true};
    verbs_["save-as"] = {[this, args](const Step &step) {
                             return args(step, 1, 1) && host_.SaveCurrent(Resolve(step.args[0]));
                         },
                         true};
    verbs_["close"] = {[this, args](const Step &step) { return args(step, 0, 0) && host_.CloseCurrent(); }, true};
    verbs_["switch"] = {[this, args, number](const Step &step) {
                            int id = 0;
                            return args(step, 1, 1) && number(step, 0, id) && host_.SwitchTo(id);
                        },
                        true};
    verbs_["event"] = {[this, args](const Step &step) {
                           if (!args(step, 1, 1)) return false;
                           std::optional<int> event = EventNumber(step.args[0]);
                           if (!event) return Failed(step, "\"" + step.args[0] + "\" is not an editor event");
                           host_.SendEvent(*event);
                           return true;
                       },
                       true};
    verbs_["expect"] = {[this](const Step &step) { return Expect(step); }, true};
    verbs_["show"] = {[this](const Step &) {
                          ShowEditors();
                          return true;
                      },
                      true};
}

std::string ScriptRunner::Summary() {
    return "  module PATH              the module to load (the command line's --module wins)\n"
           "  language NAME            the language file to use (before the module loads)\n"
           "  env NAME=VALUE           set an environment variable\n"
           "  cd DIR                   change the current directory\n"
           "  open FILE                open FILE in a new editor (EE_READ)\n"
           "  cursor LINE COL          place the cursor (1-based)\n"
           "  select LINE START END    a selection on LINE (1-based) as SelStart/SelEnd; select none\n"
           "  edit LINE TEXT           replace a line's text; modify: mark the editor modified\n"
           "  answer menu N|TEXT|cancel, answer dialog [TEXT] ok|cancel|item N, answer message N|esc\n"
           "  call                     OpenPlugin(OPEN_EDITOR, 0) on the current editor\n"
           "  key [up] [CHAR]          a key event for ProcessEditorInput\n"
           "  save, save-as FILE, close, switch ID, event NAME|N\n"
           "  quiet SERVICE..., mask PATH NAME, editor-ids N, echo TEXT\n"
           "  show                     list the editors and the lines around the cursor (on stderr)\n"
           "  expect ...               see the README for the expectations\n";
}

void ScriptRunner::ShowEditors() {
    for (int id : host_.Editors().Ids()) {
        const Editor *editor = host_.Editors().Find(id);
        errors_ << (editor == host_.Editors().Current() ? "* " : "  ") << "editor " << id << ": "
                << transcript_.Plain(editor->fileName) << (editor->modified ? " (modified)" : "") << ", line "
                << editor->curLine + 1 << ", column " << editor->curPos + 1 << '\n';
    }
    const Editor *current = host_.Editors().Current();
    if (current == nullptr) {
        errors_ << "no editor is open\n";
        return;
    }
    int first = std::max(0, current->curLine - 5), last = std::min(current->TotalLines() - 1, current->curLine + 5);
    for (int line = first; line <= last; ++line) {
        std::string number = std::to_string(line + 1);
        errors_ << (line == current->curLine ? "> " : "  ") << std::string(number.size() < 5 ? 5 - number.size() : 0, ' ')
                << number << " | " << current->lines[static_cast<std::size_t>(line)].Text() << '\n';
    }
    errors_ << std::flush;
}

bool ScriptRunner::Failed(const Step &step, const std::string &why) {
    std::string where = settings_.scriptName + ":" + std::to_string(step.line) + ": " + step.text;
    errors_ << "farhost: " << where << ": " << why << '\n' << std::flush;
    transcript_.Line("FAILED: line " + std::to_string(step.line) + ": " + step.text + ": " + why);
    return false;
}

bool ScriptRunner::CheckFailures(const Step &step) {
    std::vector<std::string> failures = host_.TakeFailures();
    if (failures.empty()) return true;
    std::string why = failures.front();
    if (failures.size() > 1) why += " (and " + std::to_string(failures.size() - 1) + " more)";
    return Failed(step, why);
}

bool ScriptRunner::EnsureModule() {
    if (moduleTried_) return moduleLoaded_;
    moduleTried_ = true;
    if (settings_.modulePath.empty()) {
        errors_ << "farhost: no module: give --module PATH or a \"module\" step\n";
        return false;
    }
    moduleLoaded_ = host_.LoadModule(settings_.modulePath, settings_.language);
    return moduleLoaded_;
}

bool ScriptRunner::Run(const Step &step) {
    auto verb = verbs_.find(step.verb);
    if (verb == verbs_.end()) return Failed(step, "unknown step \"" + step.verb + "\"");
    if (verb->second.needsModule && !EnsureModule()) {
        CheckFailures(step);
        return Failed(step, "the module is not loaded");
    }
    bool done = verb->second.handler(step);
    bool clean = CheckFailures(step);
    return done && clean;
}

bool ScriptRunner::Finish() {
    std::vector<std::string> unused = driver_.TakeUnused();
    if (unused.empty()) return true;
    errors_ << "farhost: " << settings_.scriptName << ": the answer \"" << unused.front() << "\" was never asked for\n";
    transcript_.Line("FAILED: the answer \"" + unused.front() + "\" was never asked for");
    return false;
}

std::string ScriptRunner::Resolve(const std::string &name) const { return ResolvePath(settings_.scriptFolder, name); }

Editor *ScriptRunner::CurrentEditor(const Step &step) {
    Editor *editor = host_.Editors().Current();
    if (editor == nullptr) Failed(step, "no editor is open");
    return editor;
}

bool ScriptRunner::TextMatches(const std::string &actual, const std::string &expected) const {
    return actual == expected || transcript_.Plain(actual) == expected;
}

bool ScriptRunner::Answer(const Step &step) {
    if (step.args.empty()) return Failed(step, "expects \"menu\", \"dialog\" or \"message\"");
    const std::string &kind = step.args[0];
    std::size_t count = step.args.size();
    if (kind == "menu" && count == 2) {
        MenuAnswer answer;
        answer.origin = step.text;
        std::optional<int> index = ParseInt(step.args[1]);
        if (step.args[1] == "cancel") {
            answer.kind = MenuAnswer::Kind::Cancel;
        } else if (index) {
            answer.kind = MenuAnswer::Kind::Index;
            answer.index = *index;
        } else {
            answer.kind = MenuAnswer::Kind::Text;
            answer.text = step.args[1];
        }
        driver_.Queue(std::move(answer));
        return true;
    }
    if (kind == "dialog" && count >= 2 && count <= 4) {
        DialogScriptAnswer answer;
        answer.origin = step.text;
        // The words are [TEXT] then the way out: ok, cancel or item N.
        bool itemOnly = count == 3 && step.args[1] == "item" && ParseInt(step.args[2]);
        std::size_t close = count == 2 || itemOnly ? 1 : 2;
        if (close == 2) answer.text = step.args[1];
        const std::string &way = step.args[close];
        if (way == "ok" && close + 1 == count) {
            answer.close = DialogScriptAnswer::Close::DefaultButton;
        } else if (way == "cancel" && close + 1 == count) {
            answer.close = DialogScriptAnswer::Close::Escape;
        } else if (way == "item" && close + 2 == count && ParseInt(step.args[close + 1])) {
            answer.close = DialogScriptAnswer::Close::Item;
            answer.item = *ParseInt(step.args[close + 1]);
        } else {
            return Failed(step, "expects ok, cancel or item N");
        }
        driver_.Queue(std::move(answer));
        return true;
    }
    if (kind == "message" && count == 2) {
        MessageAnswer answer;
        answer.origin = step.text;
        std::optional<int> button = ParseInt(step.args[1]);
        if (step.args[1] == "esc")
            answer.button = -1;
        else if (button && *button >= 0)
            answer.button = *button;
        else
            return Failed(step, "expects a button number or esc");
        driver_.Queue(std::move(answer));
        return true;
    }
    return Failed(step, "expects answer menu N|TEXT|cancel, answer dialog [TEXT] ok|cancel|item N, "
                        "or answer message N|esc");
}

bool ScriptRunner::Expect(const Step &step) {
    if (step.args.empty()) return Failed(step, "expects what to check");
    const std::string &what = step.args[0];
    const std::vector<std::string> &a = step.args;
    std::size_t count = a.size();
    auto wrongCount = [&]() { return Failed(step, "has the wrong number of words for \"expect " + what + "\""); };
    auto number = [&](std::size_t index) { return index < count ? ParseInt(a[index]) : std::nullopt; };
    const ShownSinceCall &shown = host_.Shown();

    if (what == "menu" || what == "no-menu") {
        if (count != 1) return wrongCount();
        bool wanted = what == "menu";
        if (shown.menus.empty() == wanted)
            return Failed(step, wanted ? "no menu was shown" : "a menu was shown: " + Quote(shown.menus.back().title));
        return true;
    }
    if (what == "menu-title") {
        if (count != 2) return wrongCount();
        if (shown.menus.empty()) return Failed(step, "no menu was shown");
        if (!TextMatches(shown.menus.back().title, a[1]))
            return Failed(step, "the menu's title is " + transcript_.Text(shown.menus.back().title));
        return true;
    }
    if (what == "menu-items") {
        if (shown.menus.empty()) return Failed(step, "no menu was shown");
        const MenuView &menu = shown.menus.back();
        std::vector<std::string> items;
        for (const FarMenuItem &item : menu.items)
            items.push_back(item.Separator != 0 ? std::string("---") : BoundedText(item.Text, sizeof item.Text));
        bool same = items.size() == count - 1;
        for (std::size_t i = 0; same && i < items.size(); ++i) same = TextMatches(items[i], a[i + 1]);
        if (!same) {
            std::string seen;
            for (const std::string &item : items) seen += " " + transcript_.Text(item);
            return Failed(step, "the menu's items are" + seen);
        }
        return true;
    }
    if (what == "message" || what == "no-message") {
        bool wanted = what == "message";
        if (!wanted && count != 1) return wrongCount();
        if (shown.messages.empty() == wanted)
            return Failed(step, wanted ? "no message box was shown"
                                       : "a message box was shown: " + transcript_.Text(shown.messages.back().items[0]));
        if (!wanted || count == 1) return true;
        const MessageView &message = shown.messages.back();
        bool same = message.items.size() == count - 1;
        for (std::size_t i = 0; same && i < message.items.size(); ++i) same = TextMatches(message.items[i], a[i + 1]);
        if (!same) {
            std::string seen;
            for (const std::string &item : message.items) seen += " " + transcript_.Text(item);
            return Failed(step, "the message box holds" + seen);
        }
        return true;
    }
    if (what == "messages" || what == "dialogs" || what == "menus") {
        std::optional<int> wanted = number(1);
        if (count != 2 || !wanted) return wrongCount();
        int seen = what == "messages" ? static_cast<int>(shown.messages.size())
                   : what == "dialogs" ? shown.dialogs
                                       : static_cast<int>(shown.menus.size());
        if (seen != *wanted) return Failed(step, std::to_string(seen) + " " + what + " were shown");
        return true;
    }
    if (what == "editors") {
        std::optional<int> wanted = number(1);
        if (count != 2 || !wanted) return wrongCount();
        if (host_.Editors().Count() != *wanted)
            return Failed(step, std::to_string(host_.Editors().Count()) + " editors are open");
        return true;
    }
    if (what == "screens") {
        std::optional<int> wanted = number(1);
        if (count != 2 || !wanted) return wrongCount();
        if (host_.OpenScreens() != *wanted)
            return Failed(step, std::to_string(host_.OpenScreens()) + " saved screens are not restored");
        return true;
    }
    if (what == "user-screen") {
        std::optional<bool> wanted = count == 2 ? ParseYesNo(a[1]) : std::nullopt;
        if (!wanted) return wrongCount();
        if (host_.Console().userScreen != *wanted)
            return Failed(step, host_.Console().userScreen ? "the console became the user screen"
                                                           : "the console never became the user screen");
        return true;
    }
    if (what == "console-title") {
        if (count != 2) return wrongCount();
        std::optional<std::string> title = ConsoleTitle();
        if (!title) return Failed(step, "the console title cannot be read on this platform");
        if (!TextMatches(*title, a[1])) return Failed(step, "the console title is " + transcript_.Text(*title));
        return true;
    }
    if (what == "min-far-version") {
        std::optional<int> wanted = number(1);
        if (count != 2 || !wanted) return wrongCount();
        if (host_.MinFarVersion() != wanted)
            return Failed(step, "GetMinFarVersion gave " +
                                    (host_.MinFarVersion() ? std::to_string(*host_.MinFarVersion()) : "nothing"));
        return true;
    }
    if (what == "plugin-info") {
        std::optional<int> size = number(1), flags = number(2);
        if (count < 3 || !size || !flags) return wrongCount();
        const PluginInfo &info = host_.Info();
        const std::vector<std::string> &strings = host_.PluginMenuStrings();
        bool same = info.StructSize == *size && static_cast<int>(info.Flags) == *flags && strings.size() == count - 3;
        for (std::size_t i = 0; same && i < strings.size(); ++i) same = TextMatches(strings[i], a[i + 3]);
        if (!same) {
            std::string seen = "StructSize " + std::to_string(info.StructSize) + ", Flags " + std::to_string(info.Flags) +
                               ", menu strings";
            for (const std::string &s : strings) seen += " " + transcript_.Text(s);
            return Failed(step, "the plug-in info is " + seen);
        }
        return true;
    }

    Editor *editor = CurrentEditor(step);
    if (editor == nullptr) return false;
    if (what == "cursor") {
        std::optional<int> line = number(1), column = number(2);
        if (count != 3 || !line || !column) return wrongCount();
        if (editor->curLine + 1 != *line || editor->curPos + 1 != *column)
            return Failed(step, "the cursor is at line " + std::to_string(editor->curLine + 1) + ", column " +
                                    std::to_string(editor->curPos + 1));
        return true;
    }
    if (what == "position") {  // TopScreenLine and LeftPos as the host keeps them
        std::optional<int> top = number(1), left = number(2);
        if (count != 3 || !top || !left) return wrongCount();
        if (editor->topScreenLine != *top || editor->leftPos != *left)
            return Failed(step, "TopScreenLine is " + std::to_string(editor->topScreenLine) + ", LeftPos " +
                                    std::to_string(editor->leftPos));
        return true;
    }
    if (what == "title") {
        if (count != 2) return wrongCount();
        if (!TextMatches(editor->title, a[1])) return Failed(step, "the editor's title is " + transcript_.Text(editor->title));
        return true;
    }
    if (what == "file") {
        if (count != 2) return wrongCount();
        if (editor->fileName != Resolve(a[1]) && !TextMatches(editor->fileName, a[1]))
            return Failed(step, "the current editor holds " + transcript_.Text(editor->fileName));
        return true;
    }
    if (what == "editor-id") {
        std::optional<int> wanted = number(1);
        if (count != 2 || !wanted) return wrongCount();
        if (editor->id != *wanted) return Failed(step, "the current editor is " + std::to_string(editor->id));
        return true;
    }
    if (what == "modified" || what == "saved") {
        std::optional<bool> wanted = count == 2 ? ParseYesNo(a[1]) : std::nullopt;
        if (!wanted) return wrongCount();
        bool state = what == "modified" ? editor->modified : editor->IsSaved();
        if (state != *wanted) return Failed(step, "the editor is " + std::string(state ? "" : "not ") + what);
        return true;
    }
    if (what == "line" || what == "file-line") {
        std::optional<int> line = number(1);
        if (count != 3 || !line) return wrongCount();
        std::vector<EditorLine> fromDisk;
        const std::vector<EditorLine> *lines = &editor->lines;
        if (what == "file-line") {
            std::ifstream in(editor->fileName, std::ios::binary);
            if (!in) return Failed(step, "cannot read " + transcript_.Text(editor->fileName));
            std::ostringstream bytes;
            bytes << in.rdbuf();
            fromDisk = SplitIntoLines(bytes.str());
            lines = &fromDisk;
        }
        if (*line < 1 || *line > static_cast<int>(lines->size()))
            return Failed(step, "there are " + std::to_string(lines->size()) + " lines");
        std::string actual(lines->at(static_cast<std::size_t>(*line - 1)).Text());
        if (!TextMatches(actual, a[2])) return Failed(step, "line " + a[1] + " is " + transcript_.Text(actual));
        return true;
    }
    std::string why = "unknown expectation \"" + what + "\"";
    if (count > 1) why.append(" with ").append(Join(a, 1));
    return Failed(step, why);
}

}  // namespace farhost
