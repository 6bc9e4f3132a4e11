// The host's language files: "*.lng" beside the module, first line ".Language=Name,Description",
// then each message one line holding a quoted string, in message-number order.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace farhost {

class LanguageFile {
public:
    /// Parses a language file's text; nullopt when its first line is not ".Language=...".
    static std::optional<LanguageFile> Parse(std::string_view text);

    /// The language's name: the first field of the ".Language=" line ("English").
    const std::string &Language() const { return language_; }
    std::size_t Count() const { return messages_.size(); }
    /// The message's text, or nullptr for a number the file does not hold.
    const char *Message(int number) const;

private:
    std::string language_;
    std::vector<std::string> messages_;
};

/// The language file in `folder` for `language` (compared without regard to ASCII case),
/// scanning "*.lng" files in name order; `chosenPath` receives its path. nullopt when none fits.
std::optional<LanguageFile> FindLanguageFile(const std::string &folder, const std::string &language,
                                             std::string &chosenPath);

}  // namespace farhost
