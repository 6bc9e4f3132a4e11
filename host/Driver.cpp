#include "host/Driver.h"

#include <algorithm>
#include <cstring>
#include <istream>
#include <ostream>

namespace farhost {

std::string BoundedText(const char *field, std::size_t size) {
    const void *end = std::memchr(field, '\0', size);
    std::size_t length = end != nullptr ? static_cast<std::size_t>(static_cast<const char *>(end) - field) : size;
    return std::string(field, length);
}

void CopyBounded(char *field, std::size_t size, const std::string &text) {
    if (size == 0) return;
    std::size_t length = std::min(text.size(), size - 1);
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

namespace {

std::string ItemText(const FarMenuItem &item) { return BoundedText(item.Text, sizeof item.Text); }

int DefaultButton(std::span<const FarDialogItem> items) {
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].DefaultButton != 0) return static_cast<int>(i);
    return -1;
}

int EditItem(std::span<const FarDialogItem> items) {
    int first = -1;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].Type != DI_EDIT) continue;
        if (items[i].Focus != 0) return static_cast<int>(i);
        if (first < 0) first = static_cast<int>(i);
    }
    return first;
}

std::optional<int> ParseIndex(const std::string &text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

std::vector<std::string> ScriptDriver::TakeUnused() {
    std::vector<std::string> unused;
    for (const auto &answer : menus_) unused.push_back(answer.origin);
    for (const auto &answer : dialogs_) unused.push_back(answer.origin);
    for (const auto &answer : messages_) unused.push_back(answer.origin);
    menus_.clear();
    dialogs_.clear();
    messages_.clear();
    return unused;
}

int ScriptDriver::ChooseMenuItem(const MenuView &menu) {
    if (menus_.empty()) {
        if (fallback_ != nullptr) return fallback_->ChooseMenuItem(menu);
        throw DriverFailure("a menu was shown but no menu answer is queued");
    }
    MenuAnswer answer = std::move(menus_.front());
    menus_.pop_front();
    int count = static_cast<int>(menu.items.size());
    switch (answer.kind) {
    case MenuAnswer::Kind::Cancel:
        return -1;
    case MenuAnswer::Kind::Index:
        if (answer.index < 0 || answer.index >= count)
            throw DriverFailure(answer.origin + ": the menu has no item " + std::to_string(answer.index) +
                                " (it has " + std::to_string(count) + ")");
        if (menu.items[static_cast<std::size_t>(answer.index)].Separator != 0)
            throw DriverFailure(answer.origin + ": item " + std::to_string(answer.index) +
                                " is a separator and cannot be chosen");
        return answer.index;
    case MenuAnswer::Kind::Text:
        for (int i = 0; i < count; ++i) {
            const FarMenuItem &item = menu.items[static_cast<std::size_t>(i)];
            if (item.Separator == 0 && ItemText(item) == answer.text) return i;
        }
        throw DriverFailure(answer.origin + ": the menu has no item \"" + answer.text + "\"");
    }
    return -1;
}

DialogAnswer ScriptDriver::AnswerDialog(std::span<const FarDialogItem> items) {
    if (dialogs_.empty()) {
        if (fallback_ != nullptr) return fallback_->AnswerDialog(items);
        throw DriverFailure("a dialog was shown but no dialog answer is queued");
    }
    DialogScriptAnswer answer = std::move(dialogs_.front());
    dialogs_.pop_front();
    DialogAnswer reply;
    if (answer.text) {
        int edit = EditItem(items);
        if (edit < 0) throw DriverFailure(answer.origin + ": the dialog has no edit field for the text");
        reply.edits.emplace_back(edit, *answer.text);
    }
    switch (answer.close) {
    case DialogScriptAnswer::Close::DefaultButton:
        reply.closingItem = DefaultButton(items);
        if (reply.closingItem < 0) throw DriverFailure(answer.origin + ": the dialog has no default button");
        break;
    case DialogScriptAnswer::Close::Escape:
        reply.closingItem = -1;
        break;
    case DialogScriptAnswer::Close::Item:
        if (answer.item < 0 || static_cast<std::size_t>(answer.item) >= items.size())
            throw DriverFailure(answer.origin + ": the dialog has no item " + std::to_string(answer.item));
        reply.closingItem = answer.item;
        break;
    }
    return reply;
}

int ScriptDriver::AnswerMessage(const MessageView &message) {
    if (messages_.empty()) {
        if (fallback_ != nullptr) return fallback_->AnswerMessage(message);
        return message.buttons > 0 ? 0 : -1;
    }
    MessageAnswer answer = std::move(messages_.front());
    messages_.pop_front();
    if (answer.button >= message.buttons)
        throw DriverFailure(answer.origin + ": the message box has no button " + std::to_string(answer.button));
    return answer.button;
}

std::optional<std::string> InteractiveDriver::Ask(const std::string &prompt) {
    prompts_ << prompt << std::flush;
    std::string line;
    if (!std::getline(input_, line)) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

int InteractiveDriver::ChooseMenuItem(const MenuView &menu) {
    int selected = -1;
    for (std::size_t i = 0; i < menu.items.size(); ++i) {
        const FarMenuItem &item = menu.items[i];
        if (item.Separator != 0) {
            prompts_ << "      ----------\n";
            continue;
        }
        if (item.Selected != 0 && selected < 0) selected = static_cast<int>(i);
        prompts_ << (item.Selected != 0 ? "  > " : "    ") << i << ". " << ItemText(item) << '\n';
    }
    for (;;) {
        std::optional<std::string> reply = Ask("[" + menu.title + "] item number, Enter = " +
                                               (selected >= 0 ? std::to_string(selected) : std::string("first")) +
                                               ", c = cancel: ");
        if (!reply || *reply == "c") return -1;
        if (reply->empty()) {
            if (selected >= 0) return selected;
            for (std::size_t i = 0; i < menu.items.size(); ++i)
                if (menu.items[i].Separator == 0) return static_cast<int>(i);
            return -1;
        }
        std::optional<int> index = ParseIndex(*reply);
        if (index && *index < static_cast<int>(menu.items.size()) &&
            menu.items[static_cast<std::size_t>(*index)].Separator == 0)
            return *index;
        prompts_ << "no such item\n";
    }
}

DialogAnswer InteractiveDriver::AnswerDialog(std::span<const FarDialogItem> items) {
    DialogAnswer reply;
    for (std::size_t i = 0; i < items.size(); ++i) {
        std::string data = BoundedText(items[i].Data, sizeof items[i].Data);
        if (items[i].Type != DI_EDIT) {
            if (!data.empty()) prompts_ << "    " << i << ". " << data << '\n';
            continue;
        }
        std::optional<std::string> text = Ask("    " + std::to_string(i) + ". edit field [" + data + "]: ");
        if (!text) return reply;  // end of input: Esc
        if (!text->empty()) reply.edits.emplace_back(static_cast<int>(i), *text);
    }
    int defaultButton = DefaultButton(items);
    for (;;) {
        std::optional<std::string> choice =
            Ask("close with item number, Enter = " + std::to_string(defaultButton) + ", c = Esc: ");
        if (!choice || *choice == "c") {
            reply.closingItem = -1;
            return reply;
        }
        if (choice->empty()) {
            reply.closingItem = defaultButton;
            return reply;
        }
        std::optional<int> index = ParseIndex(*choice);
        if (index && *index < static_cast<int>(items.size())) {
            reply.closingItem = *index;
            return reply;
        }
        prompts_ << "no such item\n";
    }
}

int InteractiveDriver::AnswerMessage(const MessageView &message) {
    std::size_t buttons = std::min(message.items.size(), static_cast<std::size_t>(std::max(0, message.buttons)));
    std::size_t first = message.items.size() - buttons;
    for (std::size_t i = 0; i < message.items.size(); ++i)
        prompts_ << (i == 0 ? "  [ " : i < first ? "    " : "    button ") << message.items[i]
                 << (i == 0 ? " ]" : "") << '\n';
    if (message.buttons <= 1) {
        std::optional<std::string> reply = Ask("press Enter: ");
        return reply ? 0 : -1;
    }
    for (;;) {
        std::optional<std::string> reply = Ask("button number, Enter = 0, c = Esc: ");
        if (!reply || *reply == "c") return -1;
        if (reply->empty()) return 0;
        std::optional<int> index = ParseIndex(*reply);
        if (index && *index < message.buttons) return *index;
        prompts_ << "no such button\n";
    }
}

}  // namespace farhost
