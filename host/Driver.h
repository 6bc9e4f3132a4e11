// The user behind the host's menus, dialogs and message boxes: answers queued by a script, or a
// person at the terminal.
#pragma once

#include <deque>
#include <iosfwd>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "plugin/farapi/FARIntf.h"

namespace farhost {

/// A menu as the user sees it.
struct MenuView {
    std::string title;
    std::vector<FarMenuItem> items;
};

/// A message box as the user sees it: the last `buttons` items are its buttons.
struct MessageView {
    std::vector<std::string> items;
    int buttons = 0;
};

/// How the user leaves a dialog: texts typed into edit items, then the closing item (-1 = Esc).
struct DialogAnswer {
    std::vector<std::pair<int, std::string>> edits;
    int closingItem = -1;
};

/// Raised when there is no way to answer: no queued answer, or one that does not fit.
class DriverFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Driver {
public:
    virtual ~Driver() = default;
    /// The chosen item's index, or -1 for a cancelled menu.
    virtual int ChooseMenuItem(const MenuView &menu) = 0;
    virtual DialogAnswer AnswerDialog(std::span<const FarDialogItem> items) = 0;
    /// The index of the pressed button (0 = the first), or -1 for Esc.
    virtual int AnswerMessage(const MessageView &message) = 0;
};

/// A menu answer from a script: an item's index, an item's text, or cancel.
struct MenuAnswer {
    enum class Kind { Index, Text, Cancel } kind = Kind::Cancel;
    int index = -1;
    std::string text;
    std::string origin;  // the script step, for messages
};

/// A dialog answer from a script: the text for the edit field (when given) and the way out.
struct DialogScriptAnswer {
    enum class Close { DefaultButton, Escape, Item } close = Close::DefaultButton;
    std::optional<std::string> text;
    int item = -1;
    std::string origin;
};

struct MessageAnswer {
    int button = 0;  // -1 = Esc
    std::string origin;
};

/// Answers from a script's queue, in order; with no queued answer it asks `fallback` when one
/// is given and fails otherwise (a message box without an answer gets its first button).
class ScriptDriver : public Driver {
public:
    explicit ScriptDriver(Driver *fallback = nullptr) : fallback_(fallback) {}

    void Queue(MenuAnswer answer) { menus_.push_back(std::move(answer)); }
    void Queue(DialogScriptAnswer answer) { dialogs_.push_back(std::move(answer)); }
    void Queue(MessageAnswer answer) { messages_.push_back(std::move(answer)); }
    /// The queued answers nobody asked for, described, and the queue emptied.
    std::vector<std::string> TakeUnused();

    int ChooseMenuItem(const MenuView &menu) override;
    DialogAnswer AnswerDialog(std::span<const FarDialogItem> items) override;
    int AnswerMessage(const MessageView &message) override;

private:
    Driver *fallback_;
    std::deque<MenuAnswer> menus_;
    std::deque<DialogScriptAnswer> dialogs_;
    std::deque<MessageAnswer> messages_;
};

/// Asks a person: prompts go to `prompts`, answers come from `input`. The end of input cancels.
class InteractiveDriver : public Driver {
public:
    InteractiveDriver(std::istream &input, std::ostream &prompts) : input_(input), prompts_(prompts) {}

    int ChooseMenuItem(const MenuView &menu) override;
    DialogAnswer AnswerDialog(std::span<const FarDialogItem> items) override;
    int AnswerMessage(const MessageView &message) override;

private:
    std::optional<std::string> Ask(const std::string &prompt);

    std::istream &input_;
    std::ostream &prompts_;
};

/// The text of a fixed-size host text field, read no further than its size.
std::string BoundedText(const char *field, std::size_t size);
/// Copies `text` into a fixed-size host text field, cut to fit and always terminated.
void CopyBounded(char *field, std::size_t size, const std::string &text);

}  // namespace farhost
