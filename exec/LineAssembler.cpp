#include "exec/LineAssembler.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

bool IsLineByte(char c) { return c == '\r' || c == '\n' || c == '\0'; }

#if defined(__SSE2__)

/// The first CR, LF or NUL in [from, stop), or `stop`: one pass over the bytes for all three,
/// sixteen at a time. The bytes up to `end` (at or after `stop`) may be read, so that a short
/// room still gets whole steps.
const char *FindLineByte(const char *from, const char *stop, const char *end) {
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i nul = _mm_setzero_si128();
    for (; from < stop && end - from >= 16; from += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from));
        // CR is the highest of the three: a step without a byte up to it needs no closer look.
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(bytes, cr), bytes)) == 0) continue;
        const __m128i found = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)),
                                           _mm_cmpeq_epi8(bytes, nul));
        if (const int mask = _mm_movemask_epi8(found); mask != 0)
            return std::min(from + std::countr_zero(static_cast<unsigned>(mask)), stop);
    }
    while (from < stop && !IsLineByte(*from)) ++from;
    return std::min(from, stop);
}

#else

// Without SSE2 the scan looks at a machine word at a time.
using Word = std::uintptr_t;
constexpr Word kEveryByte = ~Word{0} / 0xFF;  // 0x0101...01
constexpr Word kLowBits = kEveryByte * 0x7F;

/// The high bit of each zero byte of `word` set, and no other bit: no carry crosses a byte, so
/// the first marked byte is the first zero byte in either byte order.
constexpr Word ZeroBytes(Word word) { return ~(((word & kLowBits) + kLowBits) | word | kLowBits); }

constexpr Word LineBytes(Word word) {
    return ZeroBytes(word) | ZeroBytes(word ^ (kEveryByte * '\r')) | ZeroBytes(word ^ (kEveryByte * '\n'));
}

/// The offset in its word of the first byte that `lineBytes` (not 0) marks.
std::size_t FirstMarked(Word lineBytes) {
    if constexpr (std::endian::native == std::endian::little)
        return static_cast<std::size_t>(std::countr_zero(lineBytes)) / 8;
    else
        return static_cast<std::size_t>(std::countl_zero(lineBytes)) / 8;
}

/// The first CR, LF or NUL in [from, stop), or `stop`: one pass over the bytes for all three.
/// The bytes up to `end` (at or after `stop`) may be read, so that a short room still gets
/// whole steps.
const char *FindLineByte(const char *from, const char *stop, const char *end) {
    for (; from < stop && end - from >= static_cast<std::ptrdiff_t>(sizeof(Word)); from += sizeof(Word)) {
        Word word;
        std::memcpy(&word, from, sizeof word);
        if (const Word marked = LineBytes(word); marked != 0) return std::min(from + FirstMarked(marked), stop);
    }
    while (from < stop && !IsLineByte(*from)) ++from;
    return std::min(from, stop);
}

#endif

}  // namespace

LineAssembler::LineAssembler(TStringList &output, LineNotification onLine)
    : output_(output), onLine_(std::move(onLine)) {}

void LineAssembler::Flush() {
    pending_[pendingLength_] = '\0';
    const std::string_view text(pending_, textLength_);
    if (newEntry_ || output_.Empty()) {
        output_.Append(text);
    } else {
        output_.Replace(output_.Count() - 1, text);
    }
    newEntry_ = false;
    pieceFull_ = false;
    pendingLength_ = 0;
    textLength_ = 0;
    textCut_ = false;
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

bool LineAssembler::EnterWholeLine(const char *&next, const char *lineEnd) {
    // `lineEnd` lies within the piece's room and holds a CR, an LF or a NUL.
    if (onLine_ || *lineEnd == '\0') return false;
    output_.Append(std::string_view(next, static_cast<std::size_t>(lineEnd - next)));
    pieceFull_ = false;
    afterCarriageReturn_ = *lineEnd == '\r';
    // After a CR a following text replaces the line; after a bare LF the next byte opens an entry.
    newEntry_ = !afterCarriageReturn_;
    next = lineEnd + 1;
    return true;
}

/// Copies ordinary bytes up to the next CR or LF, or until the piece is full, into the pending
/// text, noting where a NUL cuts it, in one pass over the bytes. The first byte of a line opens
/// its entry.
void LineAssembler::AppendOrdinaryRun(const char *&next, const char *end) {
    const std::size_t room = kPieceLength - pendingLength_;
    const char *const stop = next + std::min(room, static_cast<std::size_t>(end - next));
    const char *runEnd = FindLineByte(next, stop, end);
    if (newEntry_) {
        if (runEnd != stop && EnterWholeLine(next, runEnd)) return;
        Flush();
    }
    while (runEnd != stop && *runEnd == '\0') {
        // A NUL cuts the entry's text; the bytes after it still count toward the piece.
        if (!textCut_) textLength_ = pendingLength_ + static_cast<std::size_t>(runEnd - next);
        textCut_ = true;
        runEnd = FindLineByte(runEnd + 1, stop, end);
    }
    const std::size_t run = static_cast<std::size_t>(runEnd - next);
    std::memcpy(pending_ + pendingLength_, next, run);
    pendingLength_ += run;
    if (!textCut_) textLength_ = pendingLength_;
    next = runEnd;
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
            AppendOrdinaryRun(next, end);
        }
    }
}

void LineAssembler::Finish() {
    // A line whose last piece is entered, or that a final CR has entered, is complete as it is.
    if (pieceFull_ || afterCarriageReturn_) return;
    Flush();
}
