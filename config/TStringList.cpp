#include "config/TStringList.h"

#include <bit>
#include <stdexcept>
#include <utility>

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
    for (std::size_t i = 0; i < count_; ++i) {
        const std::string &text = Slot(i).text;
        std::size_t equals = text.find('=');
        if (equals == std::string::npos) continue;
        if (system.CompareTextNoCase(text.substr(0, equals), name) == 0) return text.substr(equals + 1);
    }
    return std::string();
}

std::optional<std::size_t> TStringList::IndexOfObject(const TCommandOptions *object) const {
    for (std::size_t i = 0; i < count_; ++i)
        if (Slot(i).object.get() == object) return i;
    return std::nullopt;
}

TStringList::TStringList(TStringList &&other) noexcept
    : segments_(std::move(other.segments_)), count_(std::exchange(other.count_, 0)) {
    other.segments_.clear();
}

TStringList &TStringList::operator=(TStringList &&other) noexcept {
    if (this != &other) {
        Clear();
        segments_ = std::move(other.segments_);
        count_ = std::exchange(other.count_, 0);
        other.segments_.clear();
    }
    return *this;
}

TStringList::Place TStringList::PlaceOf(std::size_t index) {
    // Segment k starts at entry kFirstSegment * (2^k - 1).
    const std::size_t units = index / kFirstSegment + 1;
    const auto segment = static_cast<std::size_t>(std::bit_width(units) - 1);
    const std::size_t start = kFirstSegment * ((std::size_t{1} << segment) - 1);
    return Place{segment, index - start};
}

TStringList::Entry &TStringList::At(std::size_t index) {
    if (index >= count_) throw std::out_of_range("TStringList index out of range");
    return Slot(index);
}

const TStringList::Entry &TStringList::At(std::size_t index) const {
    if (index >= count_) throw std::out_of_range("TStringList index out of range");
    return Slot(index);
}

TStringList::Entry &TStringList::Grow(std::string text, std::unique_ptr<TCommandOptions> object) {
    const std::size_t capacity = kFirstSegment * ((std::size_t{1} << segments_.size()) - 1);
    if (count_ == capacity) {
        const std::size_t size = kFirstSegment << segments_.size();
        segments_.reserve(segments_.size() + 1);
        segments_.emplace_back(std::allocator<Entry>().allocate(size), SegmentFree{size});
    }
    Entry *entry = &Slot(count_);
    std::construct_at(entry, Entry{std::move(text), std::move(object)});
    ++count_;
    return *entry;
}

void TStringList::Shrink() {
    std::destroy_at(&Slot(count_ - 1));
    --count_;
}

void TStringList::Clear() {
    while (count_ > 0) Shrink();
    segments_.clear();
}

void TStringList::Append(std::string text, std::unique_ptr<TCommandOptions> object) {
    Grow(std::move(text), std::move(object));
}

void TStringList::Insert(std::size_t index, std::string text, std::unique_ptr<TCommandOptions> object) {
    if (index > count_) index = count_;
    Grow(std::string(), nullptr);
    for (std::size_t i = count_ - 1; i > index; --i) Slot(i) = std::move(Slot(i - 1));
    Slot(index) = Entry{std::move(text), std::move(object)};
}

void TStringList::Delete(std::size_t index) {
    if (index >= count_) return;
    for (std::size_t i = index; i + 1 < count_; ++i) Slot(i) = std::move(Slot(i + 1));
    Shrink();
}

void TStringList::AppendFrom(TStringList &other) {
    for (std::size_t i = 0; i < other.count_; ++i) {
        Entry &entry = other.Slot(i);
        Grow(std::move(entry.text), std::move(entry.object));
    }
    other.Clear();
}

void TStringList::LoadFromBytes(std::string_view bytes) {
    Clear();
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
