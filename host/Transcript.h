// The transcript: one line per host service call or script event, detail lines indented below
// it, printed as it grows and kept for comparison with an expected transcript.
#pragma once

#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace farhost {

/// Replaces folder paths in texts by placeholders such as "$DIR", so that the same transcript
/// holds for every build folder and for both the native and the Windows path forms.
/// After a placeholder, backslashes up to the end of that path are shown as "/".
class PathMask {
public:
    /// Adds a root folder (without a trailing separator) shown as `placeholder`.
    void Add(std::string root, std::string placeholder);
    std::string Apply(std::string_view text) const;

private:
    struct Root {
        std::string path;
        std::string placeholder;
    };
    std::vector<Root> roots_;  // longest first, so that nested folders take their own name
};

/// Quotes a text for the transcript as a script would write it: double quotes around it,
/// \" \\ \t \n \r, and \xNN for other control characters.
std::string Quote(std::string_view text);

class Transcript {
public:
    /// Lines are also written to `echo` (flushed at once) when it is given.
    explicit Transcript(std::ostream *echo = nullptr) : echo_(echo) {}

    PathMask &Mask() { return mask_; }
    /// The masked, quoted form of a text that came from the module or names a file.
    std::string Text(std::string_view text) const { return Quote(mask_.Apply(text)); }
    std::string Plain(std::string_view text) const { return mask_.Apply(text); }

    /// A line at the current depth, and a detail line one level deeper.
    void Line(const std::string &text);
    void Detail(const std::string &text);

    /// Lines written while a Nest lives are indented one level deeper (calls made from inside
    /// a call into the module).
    class Nest {
    public:
        explicit Nest(Transcript &transcript) : transcript_(transcript) { ++transcript_.depth_; }
        ~Nest() { --transcript_.depth_; }
        Nest(const Nest &) = delete;
        Nest &operator=(const Nest &) = delete;

    private:
        Transcript &transcript_;
    };

    /// Services named here are left out of the transcript (their calls still happen).
    void Quiet(const std::string &service) { quiet_.insert(service); }
    bool IsQuiet(const std::string &service) const { return quiet_.count(service) != 0; }

    const std::vector<std::string> &Lines() const { return lines_; }

private:
    void Write(int depth, const std::string &text);

    std::ostream *echo_;
    PathMask mask_;
    std::vector<std::string> lines_;
    std::set<std::string> quiet_;
    int depth_ = 0;
};

/// Compares a transcript with the expected one (text as read from a file; "\r" before a line
/// end and one final line end are ignored). Returns a report of the first difference with a few
/// lines of context, or nullopt when both agree.
std::optional<std::string> CompareTranscript(const std::vector<std::string> &actual,
                                             std::string_view expected);

}  // namespace farhost
