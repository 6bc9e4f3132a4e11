#include <algorithm>
#include <cstring>

#include "exec/ConsoleApp.h"

LineAssembler::LineAssembler(TStringList &output, LineNotification onLine)
    : output_(output), onLine_(std::move(onLine)) {}

void LineAssembler::Flush() {
    pending_[pendingLength_] = '\0';
    const void *nul = std::memchr(pending_, '\0', pendingLength_);
    const std::size_t length =
        nul == nullptr ? pendingLength_ : static_cast<std::size_t>(static_cast<const char *>(nul) - pending_);
    std::string text(pending_, length);
    if (newEntry_ || output_.Empty()) {
        output_.Append(std::move(text));
    } else {
        output_.Replace(output_.Count() - 1, std::move(text));
    }
    newEntry_ = false;
    pieceFull_ = false;
    pendingLength_ = 0;
    if (onLine_) onLine_(output_);
}

void LineAssembler::CarriageReturn() {
    if (pieceFull_) {
        // The line's last piece is already entered; the CR only ends the line there.
        pieceFull_ = false;
        newEntry_ = false;
        return;
    }
    if (newEntry_) Flush();
    Flush();
}

/// Copies ordinary bytes up to the next CR or LF, or until the piece is full, into the pending
/// text. memchr keeps the common case (long runs of plain text) fast.
void LineAssembler::AppendOrdinaryRun(const char *&next, const char *end) {
    const std::size_t room = kPieceLength - pendingLength_;
    const std::size_t window = std::min(room, static_cast<std::size_t>(end - next));
    const void *cr = std::memchr(next, '\r', window);
    const std::size_t beforeCr =
        cr == nullptr ? window : static_cast<std::size_t>(static_cast<const char *>(cr) - next);
    const void *lf = std::memchr(next, '\n', beforeCr);
    const std::size_t run =
        lf == nullptr ? beforeCr : static_cast<std::size_t>(static_cast<const char *>(lf) - next);
    std::memcpy(pending_ + pendingLength_, next, run);
    pendingLength_ += run;
    next += run;
    if (pendingLength_ == kPieceLength) {
        // Enter the full piece into the line's own entry; the next byte starts a new one.
        Flush();
        newEntry_ = true;
        pieceFull_ = true;
    }
}

void LineAssembler::Feed(const char *bytes, std::size_t size) {
    const char *next = bytes;
    const char *const end = bytes + size;
    while (next < end) {
        const char c = *next;
        if (c == '\n') {
            // A bare LF ends the line as CR LF does.
            if (!afterCarriageReturn_) CarriageReturn();
            newEntry_ = true;
            afterCarriageReturn_ = false;
            ++next;
        } else if (c == '\r') {
            CarriageReturn();
            afterCarriageReturn_ = true;
            ++next;
        } else {
            afterCarriageReturn_ = false;
            if (newEntry_) Flush();
            AppendOrdinaryRun(next, end);
        }
    }
}

void LineAssembler::Finish() {
    // A line whose last piece is entered, or that a final CR has entered, is complete as it is.
    if (pieceFull_ || afterCarriageReturn_) return;
    Flush();
}
