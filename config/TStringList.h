// An ordered list of 8-bit strings, each entry with an optional option set attached.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/TCommandOptions.h"
#include "config/TextArena.h"

/// Lines of a configuration file, the command menu or a run's output. Each entry may carry the
/// option set of the command it names; the list owns that set, so moving an entry to another list
/// moves its options with it, and releasing the list releases them entry by entry.
///
/// The texts live in the list's own `TextArena`, and an entry is a view of its text there: a
/// long run's output costs its characters and 16 bytes a line (8 in the 32-bit build), not a
/// heap string per line. A text handed out stays valid until its entry is replaced, or the
/// list is cleared or destroyed; moving the list keeps it valid. The option sets are kept apart
/// and take no room in a list that has none.
class TStringList {
public:
    TStringList() = default;
    TStringList(TStringList &&other) noexcept;
    TStringList &operator=(TStringList &&other) noexcept;
    ~TStringList() = default;

    std::size_t Count() const { return texts_.size(); }
    bool Empty() const { return texts_.empty(); }
    /// The entry's text; throws std::out_of_range past the end.
    std::string_view Text(std::size_t index) const { return texts_.at(index); }
    std::string_view operator[](std::size_t index) const { return Text(index); }

    /// The text before the first "=", empty when there is none.
    std::string Name(std::size_t index) const;
    /// The text after the first "=", empty when there is none.
    std::string Value(std::size_t index) const;
    /// The value of the first entry that holds "=" and whose name equals `name` without regard
    /// to case, compared by the user's locale; empty when there is none.
    std::string ValueByName(const std::string &name) const;

    TCommandOptions *Object(std::size_t index) const;
    void SetObject(std::size_t index, std::unique_ptr<TCommandOptions> object);
    std::optional<std::size_t> IndexOfObject(const TCommandOptions *object) const;

    void Append(std::string_view text, std::unique_ptr<TCommandOptions> object = nullptr);
    void Insert(std::size_t index, std::string_view text, std::unique_ptr<TCommandOptions> object = nullptr);
    /// Replaces an entry's text; its object stays. The last entry stored is rewritten in place
    /// when its block has room (as a line that a lone CR restarts is); `text` may be a view of
    /// any entry, this one included.
    void Replace(std::size_t index, std::string_view text);
    void Delete(std::size_t index);
    /// Moves every entry of `other`, with its object, to the end of this list; `other` is left empty.
    void AppendFrom(TStringList &other);
    void Clear();

    /// Replaces the contents with the lines of `bytes`: lines end at CR LF, a lone CR or a lone
    /// LF; a NUL byte ends the text; a final line end adds no empty line.
    void LoadFromBytes(std::string_view bytes);

    /// The memory the list holds for its texts and entries, in bytes.
    std::size_t StorageBytes() const;

private:
    /// Gives the list its option-set slots (one per entry) before the first set arrives.
    void EnsureObjectSlots();

    TextArena arena_;
    // A deque grows in small chunks without moving an entry or copying the whole array.
    std::deque<std::string_view> texts_;
    // Empty, or one slot per entry.
    std::vector<std::unique_ptr<TCommandOptions>> objects_;
};
