#include "config/TStringList.h"

#include "platform/Platform.h"

std::string TStringList::Name(std::size_t index) const {
    const std::string &text = Text(index);
    std::size_t equals = text.find('=');
    return equals == std::string::npos ? std::string() : text.substr(0, equals);
}

std::string TStringList::Value(std::size_t index) const {
    const std::string &text = Text(index);
    std::size_t equals = text.find('=');
    return equals == std::string::npos ? std::string() : text.substr(equals + 1);
}

std::string TStringList::ValueByName(const std::string &name) const {
    platform::Platform &system = platform::Current();
    for (const Entry &entry : entries_) {
        std::size_t equals = entry.text.find('=');
        if (equals == std::string::npos) continue;
        if (system.CompareTextNoCase(entry.text.substr(0, equals), name) == 0)
            return entry.text.substr(equals + 1);
    }
    return std::string();
}

std::optional<std::size_t> TStringList::IndexOfObject(const TCommandOptions *object) const {
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].object.get() == object) return i;
    return std::nullopt;
}

void TStringList::Append(std::string text, std::unique_ptr<TCommandOptions> object) {
    entries_.push_back(Entry{std::move(text), std::move(object)});
}

void TStringList::Insert(std::size_t index, std::string text, std::unique_ptr<TCommandOptions> object) {
    if (index > entries_.size()) index = entries_.size();
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(index),
                    Entry{std::move(text), std::move(object)});
}

void TStringList::Delete(std::size_t index) {
    if (index < entries_.size()) entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
}

void TStringList::AppendFrom(TStringList &other) {
    entries_.reserve(entries_.size() + other.entries_.size());
    for (Entry &entry : other.entries_) entries_.push_back(std::move(entry));
    other.entries_.clear();
}

void TStringList::LoadFromBytes(std::string_view bytes) {
    entries_.clear();
    std::size_t nul = bytes.find('\0');
    if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            Append(std::string(bytes.substr(start)));
            break;
        }
        Append(std::string(bytes.substr(start, end - start)));
        start = end + 1;
        if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
    }
}
