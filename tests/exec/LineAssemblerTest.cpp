// Assembling a captured run's bytes into output lines, fed whole, byte by byte and in two
// chunks split at every offset.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exec/ConsoleApp.h"

#include "support/ListLines.h"

namespace {

using support::LinesOf;
using Lines = std::vector<std::string>;

Lines AssembleInChunks(const std::string &bytes, const std::vector<std::size_t> &cuts) {
    TStringList list;
    LineAssembler assembler(list);
    std::size_t from = 0;
    for (std::size_t cut : cuts) {
        assembler.Feed(std::string_view(bytes).substr(from, cut - from));
        from = cut;
    }
    assembler.Feed(std::string_view(bytes).substr(from));
    assembler.Finish();
    return LinesOf(list);
}

std::string Repeat(std::size_t count, char c = 'x') { return std::string(count, c); }

struct AssemblyCase {
    const char *name;
    std::string bytes;
    Lines lines;
};

void PrintTo(const AssemblyCase &c, std::ostream *out) { *out << c.name; }

class LineAssemblerTest : public ::testing::TestWithParam<AssemblyCase> {};

TEST_P(LineAssemblerTest, Whole) {
    EXPECT_EQ(AssembleInChunks(GetParam().bytes, {}), GetParam().lines);
}

TEST_P(LineAssemblerTest, ByteByByte) {
    const std::string &bytes = GetParam().bytes;
    std::vector<std::size_t> cuts;
    for (std::size_t i = 1; i < bytes.size(); ++i) cuts.push_back(i);
    EXPECT_EQ(AssembleInChunks(bytes, cuts), GetParam().lines);
}

TEST_P(LineAssemblerTest, TwoChunksSplitAtEveryOffset) {
    const std::string &bytes = GetParam().bytes;
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
        ASSERT_EQ(AssembleInChunks(bytes, {cut}), GetParam().lines) << "split at " << cut;
    }
}

TEST_P(LineAssemblerTest, BareLineFeedsGiveTheSameLinesAsCrLf) {
    const std::string &bytes = GetParam().bytes;
    // Every CR LF becomes a bare LF; lone CRs stay. A lone CR right before a CR LF would make
    // a new CR LF of it, so such a case can't be rewritten.
    std::string bare;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        bare += bytes[i];
    }
    if (bare.find("\r\n") != std::string::npos) GTEST_SKIP() << "a lone CR before a line end";
    EXPECT_EQ(AssembleInChunks(bare, {}), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(CrLfAndLoneCr, LineAssemblerTest, ::testing::Values(
    AssemblyCase{"TwoLinesEnded", "a\r\nb\r\n", {"a", "b", ""}},
    AssemblyCase{"TwoLinesLastUnended", "a\r\nb", {"a", "b"}},
    AssemblyCase{"NoOutput", "", {""}},
    AssemblyCase{"OneLineEnded", "hello\r\n", {"hello", ""}},
    AssemblyCase{"OnlyALineEnd", "\r\n", {"", ""}},
    AssemblyCase{"LoneCrReplacesTheWholeLine", "abcdef\rxy", {"xy"}},
    AssemblyCase{"LoneCrThenLineEnd", "abcdef\rxy\r\nz", {"xy", "z"}},
    AssemblyCase{"ProgressCounter", "10%\r20%\r100%\r\nDone\r\n", {"100%", "Done", ""}},
    AssemblyCase{"EmptyLine", "a\r\n\r\nb\r\n", {"a", "", "b", ""}},
    AssemblyCase{"CrBeforeCrLfEmptiesTheLine", "abc\r\r\nnext\r\n", {"", "next", ""}},
    AssemblyCase{"FinalLoneCrKeepsTheLine", "50%\r100%\r", {"100%"}},
    AssemblyCase{"OnlyALoneCr", "\r", {""}},
    AssemblyCase{"NulCutsTheLine", std::string("ab\0cd\r\nef", 9), {"ab", "ef"}},
    AssemblyCase{"NulAtTheStart", std::string("\0abc\r\nx", 7), {"", "x"}},
    AssemblyCase{"NulInTheUnendedLastLine", std::string("a\r\nb\0c", 6), {"a", "b"}},
    AssemblyCase{"ControlBytesAreKept", "\t\x01\xff x\r\n", {"\t\x01\xff x", ""}}));

INSTANTIATE_TEST_SUITE_P(BareLineFeeds, LineAssemblerTest, ::testing::Values(
    AssemblyCase{"Ended", "a\nb\n", {"a", "b", ""}},
    AssemblyCase{"Unended", "a\nb", {"a", "b"}},
    AssemblyCase{"OnlyALineFeed", "\n", {"", ""}},
    AssemblyCase{"EmptyLine", "a\n\nb", {"a", "", "b"}},
    AssemblyCase{"MixedLineEnds", "a\r\nb\nc\rd\ne", {"a", "b", "d", "e"}},
    AssemblyCase{"LfCr", "a\n\rb", {"a", "b"}}));

INSTANTIATE_TEST_SUITE_P(LongLines, LineAssemblerTest, ::testing::Values(
    AssemblyCase{"L255", Repeat(255) + "\r\n", {Repeat(255), ""}},
    AssemblyCase{"L256", Repeat(256) + "\r\n", {Repeat(256), ""}},
    AssemblyCase{"L257", Repeat(256, 'a') + "b\r\n", {Repeat(256, 'a'), "b", ""}},
    AssemblyCase{"L512", Repeat(256, 'a') + Repeat(256, 'b') + "\r\n", {Repeat(256, 'a'), Repeat(256, 'b'), ""}},
    AssemblyCase{"L600", Repeat(256, 'a') + Repeat(256, 'b') + Repeat(88, 'c') + "\r\n",
                 {Repeat(256, 'a'), Repeat(256, 'b'), Repeat(88, 'c'), ""}},
    AssemblyCase{"L256Unended", Repeat(256), {Repeat(256)}},
    AssemblyCase{"L512Unended", Repeat(512), {Repeat(256), Repeat(256)}},
    AssemblyCase{"L600Unended", Repeat(600), {Repeat(256), Repeat(256), Repeat(88)}},
    AssemblyCase{"L256LoneCrAtTheEnd", Repeat(256) + "\r", {Repeat(256)}},
    AssemblyCase{"L256ThenNextLine", Repeat(256) + "\r\nnext\r\n", {Repeat(256), "next", ""}},
    AssemblyCase{"L300ThenNextLine", Repeat(300) + "\r\nb\r\n", {Repeat(256), Repeat(44), "b", ""}},
    AssemblyCase{"L600LoneCrReplacesTheLastPiece", Repeat(600) + "\rxy\r\n",
                 {Repeat(256), Repeat(256), "xy", ""}},
    AssemblyCase{"L256ThenEmptyLine", Repeat(256) + "\r\n\r\n", {Repeat(256), "", ""}}));

// A CR, LF or NUL at every offset of a run longer than the scan looks at in one step, in text of
// bytes that resemble them (the same low bits, or the high bit set).
struct MarkCase {
    char mark;
    std::size_t before;
};

std::string NearMisses(std::size_t count, std::size_t from) {
    static const std::string bytes = "\x8d\x8a\x80\x0e\x0c\x0b\t\xff\x01\x1d\x2a\xfd";
    std::string text;
    for (std::size_t i = 0; i < count; ++i) text += bytes[(from + i) % bytes.size()];
    return text;
}

std::string MarkCaseName(const ::testing::TestParamInfo<MarkCase> &info) {
    const char *name = info.param.mark == '\r' ? "Cr" : info.param.mark == '\n' ? "Lf" : "Nul";
    return name + std::to_string(info.param.before);
}

class MarkAtEveryOffset : public ::testing::TestWithParam<MarkCase> {};

TEST_P(MarkAtEveryOffset, EndsOrCutsTheLineThere) {
    constexpr std::size_t kRun = 70;
    const auto [mark, before] = GetParam();
    const std::string head = NearMisses(before, 0);
    const std::string tail = NearMisses(kRun - before, before);
    const std::string bytes = head + mark + tail + "\r\n";
    const Lines expected = mark == '\r'   ? Lines{tail, ""}
                           : mark == '\n' ? Lines{head, tail, ""}
                                          : Lines{head, ""};
    EXPECT_EQ(AssembleInChunks(bytes, {}), expected);
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut)
        ASSERT_EQ(AssembleInChunks(bytes, {cut}), expected) << "split at " << cut;
}

std::vector<MarkCase> MarksAtEveryOffset() {
    std::vector<MarkCase> cases;
    for (char mark : {'\r', '\n', '\0'})
        for (std::size_t before = 0; before <= 70; ++before) cases.push_back({mark, before});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Scan, MarkAtEveryOffset, ::testing::ValuesIn(MarksAtEveryOffset()),
                         MarkCaseName);

// Near the end of a piece the scan reads past the piece's room; fed whole and split anywhere, a
// long line with a CR, LF or NUL there must give what it gives byte by byte.
class MarkNearPieceEnd : public ::testing::TestWithParam<MarkCase> {};

TEST_P(MarkNearPieceEnd, GivesWhatItGivesByteByByte) {
    const auto [mark, before] = GetParam();
    const std::string bytes = NearMisses(before, 0) + mark + NearMisses(600 - before, before) + "\r\nz";
    std::vector<std::size_t> everyByte;
    for (std::size_t i = 1; i < bytes.size(); ++i) everyByte.push_back(i);
    const Lines expected = AssembleInChunks(bytes, everyByte);
    EXPECT_EQ(AssembleInChunks(bytes, {}), expected);
    for (std::size_t cut = before - 20; cut <= before + 20; ++cut)
        ASSERT_EQ(AssembleInChunks(bytes, {cut}), expected) << "split at " << cut;
}

std::vector<MarkCase> MarksNearPieceEnds() {
    std::vector<MarkCase> cases;
    for (char mark : {'\r', '\n', '\0'})
        for (std::size_t pieceEnd : {256u, 512u})
            for (std::size_t before = pieceEnd - 18; before <= pieceEnd + 2; ++before) cases.push_back({mark, before});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Scan, MarkNearPieceEnd, ::testing::ValuesIn(MarksNearPieceEnds()),
                         MarkCaseName);

TEST(LineAssembler, NulsCutEachPieceOfALongLine) {
    // Bytes after a NUL still fill the piece; the next piece is cut by its own NUL only.
    const std::string line = Repeat(10, 'a') + '\0' + Repeat(300, 'b') + '\0' + Repeat(20, 'c');
    EXPECT_EQ(AssembleInChunks(line + "\r\n", {}), (Lines{Repeat(10, 'a'), Repeat(55, 'b'), ""}));
    EXPECT_EQ(AssembleInChunks(line + std::string("\rxy\0z\r\n", 7), {100, 300}), (Lines{Repeat(10, 'a'), "xy", ""}));
}

TEST(LineAssembler, NotifiesAfterEveryChange) {
    TStringList list;
    std::vector<Lines> seen;
    LineAssembler assembler(list, [&](const TStringList &changed) {
        EXPECT_EQ(&changed, &list);
        seen.push_back(LinesOf(changed));
    });
    assembler.Feed("ab\r\nc");
    assembler.Finish();
    // "a" opens an entry, CR enters "ab", "c" opens the next, the end enters "c".
    EXPECT_EQ(seen, (std::vector<Lines>{{""}, {"ab"}, {"ab", ""}, {"ab", "c"}}));
}

TEST(LineAssembler, ManyLinesInLargeChunks) {
    std::string bytes;
    Lines expected;
    for (int i = 0; i < 20000; ++i) {
        std::string line = "file.c:" + std::to_string(i) + ": warning: " + Repeat(static_cast<std::size_t>(i % 300), 'w');
        bytes += line + (i % 2 == 0 ? "\r\n" : "\n");
        for (std::size_t at = 0; at < line.size() || at == 0; at += 256) expected.push_back(line.substr(at, 256));
    }
    expected.push_back("");
    std::vector<std::size_t> cuts;
    for (std::size_t at = 4093; at < bytes.size(); at += 4093) cuts.push_back(at);
    EXPECT_EQ(AssembleInChunks(bytes, cuts), expected);
}

}  // namespace
