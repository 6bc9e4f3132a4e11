// The character lists a new object starts with: the characters of "\s" and of "\w" (which also
// decide word boundaries), and the line separators; and how an object holds its own lists.
#pragma once

#include <string>
#include <string_view>

namespace regexpr {

inline constexpr std::string_view StandardSpaceList = " \t\n\r\f";
inline constexpr std::string_view StandardWordList = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_";
inline constexpr std::string_view StandardLineSeparators = "\r\n";

/// One character-list setting of an object (its space, word or line separator list). A list
/// equal to its standard text refers to one shared copy of that text, which lives as long as
/// the process; any other list is the setting's own copy. Making an object thus copies no list
/// unless the process-wide defaults were changed. The setting may point into itself, so it is
/// neither copied nor moved.
class TListSetting {
public:
    TListSetting() = default;
    TListSetting(const TListSetting &) = delete;
    TListSetting &operator=(const TListSetting &) = delete;

    /// Takes `text`; `standard` is the shared standard text it is compared with.
    void Assign(const std::string &text, const std::string &standard) {
        if (text == standard) {
            Text_ = &standard;
            Own_.clear();
        } else {
            Own_ = text;
            Text_ = &Own_;
        }
    }
    const std::string &Text() const { return *Text_; }
    /// Whether the setting refers to the standard text it was assigned with.
    bool IsStandard() const { return Text_ != &Own_; }

private:
    std::string Own_;
    const std::string *Text_ = &Own_;
};

/// The shared standard texts that settings refer to.
const std::string &StandardSpaceText();
const std::string &StandardWordText();
const std::string &StandardLineSeparatorText();

}  // namespace regexpr
