// Line assembly on arbitrary byte streams split at arbitrary offsets.
//
// Input: up to 8 bytes that seed the split points, then the stream. The stream is fed whole, one
// byte at a time, in the 257-byte reads of a captured run and at the seeded offsets, with and
// without a notification of every change (without one, whole lines take a shorter way); every
// way must give the same lines. Each entry holds at most one piece of 256 characters and no NUL, CR
// or LF, and the entries together never hold more characters than the stream.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "config/TStringList.h"
#include "exec/ConsoleApp.h"
#include "fuzz/FuzzCheck.h"

namespace {

std::vector<std::string> Texts(const TStringList &list) {
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < list.Count(); ++i) texts.emplace_back(list[i]);
    return texts;
}

enum class Watch { kEveryChange, kNothing };

template <typename NextChunk>
std::vector<std::string> Assemble(std::string_view stream, NextChunk nextChunk, Watch watch = Watch::kEveryChange) {
    TStringList output;
    std::size_t notifications = 0;
    LineNotification onLine;
    if (watch == Watch::kEveryChange) onLine = [&](const TStringList &) { ++notifications; };
    LineAssembler assembler(output, onLine);
    for (std::size_t at = 0; at < stream.size();) {
        const std::size_t chunk = std::min(nextChunk(), stream.size() - at);
        assembler.Feed(stream.data() + at, chunk);
        at += chunk;
    }
    assembler.Finish();
    FUZZ_CHECK(watch == Watch::kNothing || notifications >= output.Count());
    return Texts(output);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    std::uint64_t seed = 0;
    const std::size_t seedBytes = std::min<std::size_t>(size, 8);
    std::memcpy(&seed, data, seedBytes);
    const std::string_view stream(reinterpret_cast<const char *>(data) + seedBytes, size - seedBytes);

    const std::vector<std::string> whole = Assemble(stream, [&] { return stream.size() + 1; });
    FUZZ_CHECK(!whole.empty());
    std::size_t characters = 0;
    for (const std::string &entry : whole) {
        FUZZ_CHECK(entry.size() <= LineAssembler::kPieceLength);
        FUZZ_CHECK(entry.find_first_of(std::string_view("\0\r\n", 3)) == std::string::npos);
        characters += entry.size();
    }
    FUZZ_CHECK(characters <= stream.size());

    FUZZ_CHECK(Assemble(stream, [] { return std::size_t{1}; }) == whole);
    FUZZ_CHECK(Assemble(stream, [] { return std::size_t{257}; }) == whole);
    FUZZ_CHECK(Assemble(stream, [&] { return stream.size() + 1; }, Watch::kNothing) == whole);
    FUZZ_CHECK(Assemble(stream, [] { return std::size_t{257}; }, Watch::kNothing) == whole);
    std::uint64_t state = seed | 1;
    const auto seededSplit = [&] {
        // xorshift: split points that the seed bytes steer.
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<std::size_t>(state % 300) + 1;
    };
    FUZZ_CHECK(Assemble(stream, seededSplit) == whole);
    FUZZ_CHECK(Assemble(stream, seededSplit, Watch::kNothing) == whole);
    return 0;
}
