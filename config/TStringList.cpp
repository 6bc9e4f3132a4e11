#include "config/TStringList.h"

#include <stdexcept>
#include <utility>

#include "platform/Platform.h"

std::string TStringList::Name(std::size_t index) const {
    const std::string_view text = Text(index);
    const std::size_t equals = text.find('=');
    return equals == std::string_view::npos ? std::string() : std::string(text.substr(0, equals));
}

std::string TStringList::Value(std::size_t index) const {
    const std::string_view text = Text(index);
    const std::size_t equals = text.find('=');
    return equals == std::string_view::npos ? std::string() : std::string(text.substr(equals + 1));
}

std::string TStringList::ValueByName(const std::string &name) const {
    platform::Platform &system = platform::Current();
    for (const std::string_view text : texts_) {
        const std::size_t equals = text.find('=');
        if (equals == std::string_view::npos) continue;
        if (system.CompareTextNoCase(std::string(text.substr(0, equals)), name) == 0)
            return std::string(text.substr(equals + 1));
    }
    return std::string();
}

TCommandOptions *TStringList::Object(std::size_t index) const {
    if (index >= Count()) throw std::out_of_range("TStringList index out of range");
    return objects_.empty() ? nullptr : objects_[index].get();
}

void TStringList::SetObject(std::size_t index, std::unique_ptr<TCommandOptions> object) {
    if (index >= Count()) throw std::out_of_range("TStringList index out of range");
    if (object == nullptr && objects_.empty()) return;
    EnsureObjectSlots();
    objects_[index] = std::move(object);
}

std::optional<std::size_t> TStringList::IndexOfObject(const TCommandOptions *object) const {
    if (objects_.empty()) {
        if (object == nullptr && !Empty()) return 0;
        return std::nullopt;
    }
    for (std::size_t i = 0; i < objects_.size(); ++i)
        if (objects_[i].get() == object) return i;
    return std::nullopt;
}

TStringList::TStringList(TStringList &&other) noexcept
    : arena_(std::move(other.arena_)), texts_(std::move(other.texts_)), objects_(std::move(other.objects_)) {
    other.Clear();
}

TStringList &TStringList::operator=(TStringList &&other) noexcept {
    if (this != &other) {
        arena_ = std::move(other.arena_);
        texts_ = std::move(other.texts_);
        objects_ = std::move(other.objects_);
        other.Clear();
    }
    return *this;
}

void TStringList::EnsureObjectSlots() {
    if (objects_.size() < texts_.size()) objects_.resize(texts_.size());
}

void TStringList::Append(std::string_view text, std::unique_ptr<TCommandOptions> object) {
    if (object == nullptr && objects_.empty()) {
        // An output list's every line: no option sets to keep in step, the text goes last.
        texts_.push_back(arena_.Store(text));
        return;
    }
    Insert(Count(), text, std::move(object));
}

void TStringList::Insert(std::size_t index, std::string_view text, std::unique_ptr<TCommandOptions> object) {
    if (index > Count()) index = Count();
    const bool withObjects = object != nullptr || !objects_.empty();
    if (withObjects) {
        // Room for the option set first, so that a failure leaves the list as it was.
        EnsureObjectSlots();
        if (objects_.size() == objects_.capacity()) objects_.reserve(2 * objects_.size() + 1);
    }
    texts_.insert(texts_.begin() + static_cast<std::ptrdiff_t>(index), arena_.Store(text));
    if (withObjects) objects_.insert(objects_.begin() + static_cast<std::ptrdiff_t>(index), std::move(object));
}

void TStringList::Replace(std::size_t index, std::string_view text) {
    std::string_view &entry = texts_.at(index);
    entry = arena_.Restore(entry, text);
}

void TStringList::Delete(std::size_t index) {
    if (index >= Count()) return;
    texts_.erase(texts_.begin() + static_cast<std::ptrdiff_t>(index));
    if (!objects_.empty()) objects_.erase(objects_.begin() + static_cast<std::ptrdiff_t>(index));
}

void TStringList::AppendFrom(TStringList &other) {
    for (std::size_t i = 0; i < other.Count(); ++i)
        Append(other.texts_[i], other.objects_.empty() ? nullptr : std::move(other.objects_[i]));
    other.Clear();
}

void TStringList::Clear() {
    texts_.clear();
    objects_.clear();
    arena_.Clear();
}

std::size_t TStringList::StorageBytes() const {
    return arena_.BytesHeld() + texts_.size() * sizeof(std::string_view) +
           objects_.capacity() * sizeof(std::unique_ptr<TCommandOptions>);
}

void TStringList::LoadFromBytes(std::string_view bytes) {
    Clear();
    const std::size_t nul = bytes.find('\0');
    if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            Append(bytes.substr(start));
            break;
        }
        Append(bytes.substr(start, end - start));
        start = end + 1;
        if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
    }
}
