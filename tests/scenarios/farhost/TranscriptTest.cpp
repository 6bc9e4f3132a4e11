#include "host/Transcript.h"

#include <gtest/gtest.h>

#include <sstream>

namespace farhost {
namespace {

struct MaskCase {
    const char *text;
    const char *masked;
};

class PathMaskTest : public ::testing::TestWithParam<MaskCase> {};

TEST_P(PathMaskTest, ReplacesRootsByPlaceholders) {
    PathMask mask;
    mask.Add("/build/scratch/case", "$DIR");
    mask.Add("/build", "$MODULE_DIR");
    mask.Add("Z:\\build\\scratch\\case\\", "$DIR");
    EXPECT_EQ(mask.Apply(GetParam().text), GetParam().masked);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PathMaskTest,
    ::testing::Values(MaskCase{"/build/scratch/case/x.c", "$DIR/x.c"},  // the longer root wins
                      MaskCase{"/build/Kilnrun.so", "$MODULE_DIR/Kilnrun.so"},
                      MaskCase{"/build/scratch/case", "$DIR"},
                      MaskCase{"/buildings/x", "/buildings/x"},  // not a folder boundary
                      MaskCase{"/build/scratch/cases/x", "$MODULE_DIR/scratch/cases/x"},
                      MaskCase{"Z:\\build\\scratch\\case\\sub\\x.c:12: error", "$DIR/sub/x.c:12: error"},
                      MaskCase{"gcc Z:\\build\\scratch\\case\\x.c -o a\\b", "gcc $DIR/x.c -o a\\b"},
                      MaskCase{"'/build/scratch/case/a b'", "'$DIR/a b'"},
                      MaskCase{"two /build/scratch/case/a and /build/scratch/case/b", "two $DIR/a and $DIR/b"},
                      MaskCase{"", ""}));

TEST(QuoteTest, EscapesWhatWouldNotReadBack) {
    EXPECT_EQ(Quote("plain"), "\"plain\"");
    EXPECT_EQ(Quote("say \"hi\" C:\\x"), "\"say \\\"hi\\\" C:\\\\x\"");
    EXPECT_EQ(Quote("a\tb\r\n"), "\"a\\tb\\r\\n\"");
    EXPECT_EQ(Quote(std::string("\x01\x7f", 2)), "\"\\x01\\x7F\"");
    EXPECT_EQ(Quote(std::string("\0", 1)), "\"\\x00\"");
    EXPECT_EQ(Quote("\x80\xff"), "\"\x80\xff\"");  // 8-bit text stays as it is
}

TEST(TranscriptTest, IndentsNestedCallsAndEchoesAtOnce) {
    std::ostringstream echo;
    Transcript transcript(&echo);
    transcript.Line("OpenPlugin(OPEN_EDITOR, 0)");
    {
        Transcript::Nest nest(transcript);
        transcript.Line("Menu(...)");
        transcript.Detail("[0] \"Build\"");
    }
    transcript.Line("OpenPlugin -> INVALID_HANDLE_VALUE");
    std::vector<std::string> expected = {"OpenPlugin(OPEN_EDITOR, 0)", "  Menu(...)", "    [0] \"Build\"",
                                         "OpenPlugin -> INVALID_HANDLE_VALUE"};
    EXPECT_EQ(transcript.Lines(), expected);
    EXPECT_EQ(echo.str(), "OpenPlugin(OPEN_EDITOR, 0)\n  Menu(...)\n    [0] \"Build\"\nOpenPlugin -> INVALID_HANDLE_VALUE\n");
}

TEST(TranscriptTest, TextIsMaskedThenQuoted) {
    Transcript transcript;
    transcript.Mask().Add("C:\\work", "$DIR");
    EXPECT_EQ(transcript.Text("C:\\work\\x.c"), "\"$DIR/x.c\"");
    EXPECT_EQ(transcript.Plain("C:\\work\\x.c"), "$DIR/x.c");
}

TEST(CompareTranscriptTest, AgreesDespiteCarriageReturnsAndFinalLineEnd) {
    std::vector<std::string> lines = {"a", "  b"};
    EXPECT_FALSE(CompareTranscript(lines, "a\r\n  b\r\n"));
    EXPECT_FALSE(CompareTranscript(lines, "a\n  b"));
    EXPECT_FALSE(CompareTranscript({}, ""));
}

TEST(CompareTranscriptTest, ReportsTheFirstDifferenceWithContext) {
    std::vector<std::string> lines = {"one", "two", "three", "four", "five"};
    std::optional<std::string> report = CompareTranscript(lines, "one\ntwo\nthree\nFOUR\nfive\n");
    ASSERT_TRUE(report);
    EXPECT_NE(report->find("at line 4"), std::string::npos) << *report;
    EXPECT_NE(report->find("  > FOUR"), std::string::npos) << *report;
    EXPECT_NE(report->find("  > four"), std::string::npos) << *report;
    EXPECT_NE(report->find("    three"), std::string::npos) << *report;
}

TEST(CompareTranscriptTest, ReportsMissingAndExtraLines) {
    std::optional<std::string> shorter = CompareTranscript({"one"}, "one\ntwo\n");
    ASSERT_TRUE(shorter);
    EXPECT_NE(shorter->find("at line 2"), std::string::npos);
    EXPECT_NE(shorter->find("actual:  (end of transcript)"), std::string::npos) << *shorter;
    std::optional<std::string> longer = CompareTranscript({"one", "two"}, "one\n");
    ASSERT_TRUE(longer);
    EXPECT_NE(longer->find("expected:  (end of transcript)"), std::string::npos) << *longer;
}

}  // namespace
}  // namespace farhost
