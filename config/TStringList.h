// An ordered list of 8-bit strings, each entry with an optional option set attached.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/TCommandOptions.h"

/// Lines of a configuration file, the command menu or a run's output. Each entry may carry the
/// option set of the command it names; the list owns that set, so moving an entry to another list
/// moves its options with it, and releasing the list releases them entry by entry.
class TStringList {
public:
    struct Entry {
        std::string text;
        std::unique_ptr<TCommandOptions> object;
    };

    TStringList() = default;
    TStringList(TStringList &&other) noexcept;
    TStringList &operator=(TStringList &&other) noexcept;
    ~TStringList() { Clear(); }

    std::size_t Count() const { return count_; }
    bool Empty() const { return count_ == 0; }
    const std::string &Text(std::size_t index) const { return At(index).text; }
    const std::string &operator[](std::size_t index) const { return Text(index); }

    /// The text before the first "=", empty when there is none.
    std::string Name(std::size_t index) const;
    /// The text after the first "=", empty when there is none.
    std::string Value(std::size_t index) const;
    /// The value of the first entry that holds "=" and whose name equals `name` without regard
    /// to case, compared by the user's locale; empty when there is none.
    std::string ValueByName(const std::string &name) const;

    TCommandOptions *Object(std::size_t index) const { return At(index).object.get(); }
    void SetObject(std::size_t index, std::unique_ptr<TCommandOptions> object) { At(index).object = std::move(object); }
    std::optional<std::size_t> IndexOfObject(const TCommandOptions *object) const;

    void Append(std::string text, std::unique_ptr<TCommandOptions> object = nullptr);
    void Insert(std::size_t index, std::string text, std::unique_ptr<TCommandOptions> object = nullptr);
    /// Replaces an entry's text; its object stays. A text that fits the entry's string is copied
    /// into it, reusing its memory; a longer one gets a string of its own size, since growing the
    /// old one would leave spare room in an entry that the list keeps.
    void Replace(std::size_t index, std::string_view text) {
        std::string &entryText = At(index).text;
        if (text.size() <= entryText.capacity())
            entryText.assign(text);
        else
            entryText = std::string(text);
    }
    void Delete(std::size_t index);
    /// Moves every entry of `other`, with its object, to the end of this list; `other` is left empty.
    void AppendFrom(TStringList &other);
    void Clear();

    /// Replaces the contents with the lines of `bytes`: lines end at CR LF, a lone CR or a lone
    /// LF; a NUL byte ends the text; a final line end adds no empty line.
    void LoadFromBytes(std::string_view bytes);

private:
    // The entries live in segments that double in size (segment k holds kFirstSegment << k of
    // them): the list grows without moving an entry, and a long run's output touches only the
    // memory its entries fill instead of being copied into ever larger fresh arrays. A segment's
    // entries are constructed as the list reaches them.
    static constexpr std::size_t kFirstSegment = 64;
    struct SegmentFree {
        std::size_t capacity;
        void operator()(Entry *entries) const { std::allocator<Entry>().deallocate(entries, capacity); }
    };
    using Segment = std::unique_ptr<Entry, SegmentFree>;

    /// The entry at `index`; throws std::out_of_range past the end.
    Entry &At(std::size_t index);
    const Entry &At(std::size_t index) const;
    /// Where the entry at `index` lives: its segment and its place in it.
    struct Place {
        std::size_t segment;
        std::size_t offset;
    };
    static Place PlaceOf(std::size_t index);
    /// The entry at `index`, which must be below the count of constructed entries.
    Entry &Slot(std::size_t index) {
        const Place place = PlaceOf(index);
        return segments_[place.segment].get()[place.offset];
    }
    const Entry &Slot(std::size_t index) const {
        const Place place = PlaceOf(index);
        return segments_[place.segment].get()[place.offset];
    }
    /// Constructs a new last entry.
    Entry &Grow(std::string text, std::unique_ptr<TCommandOptions> object);
    /// Destroys the last entry.
    void Shrink();

    std::vector<Segment> segments_;
    std::size_t count_ = 0;
};
