// Assembling the bytes that a captured run writes into output lines.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "config/TStringList.h"

/// Called with the output list after every change to it during a captured run.
using LineNotification = std::function<void(const TStringList &)>;

/// Turns the bytes of a captured run into output lines.
///
/// Lines end at CR LF, a lone CR or a bare LF. The first byte of a line makes a new (empty)
/// entry; at every CR the text written since the line's start or the previous CR replaces that
/// entry, so a lone CR makes the following text replace the whole line. A line longer than 256
/// characters goes into consecutive entries of 256 characters at most. A NUL byte cuts an entry.
/// Output that ends with a line end leaves one empty entry at the end; no output leaves one empty
/// entry. The list is touched only when a line starts, at a CR and when a piece is full.
class LineAssembler {
public:
    static constexpr std::size_t kPieceLength = 256;

    explicit LineAssembler(TStringList &output, LineNotification onLine = {});

    void Feed(const char *bytes, std::size_t size);
    void Feed(std::string_view bytes) { Feed(bytes.data(), bytes.size()); }
    /// The end of the output: enters the last line. Call once, after the last Feed.
    void Finish();

private:
    void Flush();
    void CarriageReturn();
    void AppendOrdinaryRun(const char *&next, const char *end);
    /// Enters a line that opens a new entry and ends at `lineEnd` within the same read, shorter
    /// than a piece and without a NUL, straight from the read, and steps past its CR or LF: the
    /// entry and state the byte-by-byte flushes give, in one append. False, touching nothing,
    /// for any other line, and whenever every change must be notified.
    bool EnterWholeLine(const char *&next, const char *lineEnd);

    TStringList &output_;
    LineNotification onLine_;
    char pending_[kPieceLength + 1] = {};
    std::size_t pendingLength_ = 0;
    std::size_t textLength_ = 0;        // the pending text up to its first NUL
    bool textCut_ = false;              // a NUL has cut the pending text
    bool newEntry_ = true;              // the next flush appends instead of replacing
    bool pieceFull_ = false;            // the last entry holds a full piece of the current line
    bool afterCarriageReturn_ = false;  // the last byte fed was a CR
};
