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

    std::size_t Count() const { return entries_.size(); }
    bool Empty() const { return entries_.empty(); }
    const std::string &Text(std::size_t index) const { return entries_.at(index).text; }
    const std::string &operator[](std::size_t index) const { return Text(index); }

    /// The text before the first "=", empty when there is none.
    std::string Name(std::size_t index) const;
    /// The text after the first "=", empty when there is none.
    std::string Value(std::size_t index) const;
    /// The value of the first entry that holds "=" and whose name equals `name` without regard
    /// to case, compared by the user's locale; empty when there is none.
    std::string ValueByName(const std::string &name) const;

    TCommandOptions *Object(std::size_t index) const { return entries_.at(index).object.get(); }
    void SetObject(std::size_t index, std::unique_ptr<TCommandOptions> object) {
        entries_.at(index).object = std::move(object);
    }
    std::optional<std::size_t> IndexOfObject(const TCommandOptions *object) const;

    void Append(std::string text, std::unique_ptr<TCommandOptions> object = nullptr);
    void Insert(std::size_t index, std::string text, std::unique_ptr<TCommandOptions> object = nullptr);
    /// Replaces an entry's text; its object stays. A text that fits the entry's string is copied
    /// into it, reusing its memory; a longer one gets a string of its own size, since growing the
    /// old one would leave spare room in an entry that the list keeps.
    void Replace(std::size_t index, std::string_view text) {
        std::string &entryText = entries_.at(index).text;
        if (text.size() <= entryText.capacity())
            entryText.assign(text);
        else
            entryText = std::string(text);
    }
    void Delete(std::size_t index);
    /// Moves every entry of `other`, with its object, to the end of this list; `other` is left empty.
    void AppendFrom(TStringList &other);
    void Clear() { entries_.clear(); }

    /// Replaces the contents with the lines of `bytes`: lines end at CR LF, a lone CR or a lone
    /// LF; a NUL byte ends the text; a final line end adds no empty line.
    void LoadFromBytes(std::string_view bytes);

private:
    std::vector<Entry> entries_;
};
