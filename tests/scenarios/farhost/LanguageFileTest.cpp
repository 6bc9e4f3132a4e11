#include "host/LanguageFile.h"

#include <gtest/gtest.h>

#include "support/TempFolder.h"

namespace farhost {
namespace {

TEST(LanguageFileTest, MessagesAreTheQuotedLinesInOrder) {
    std::optional<LanguageFile> file = LanguageFile::Parse(
        ".Language=English,English\r\n"
        "\r\n"
        "// comment lines and labels are not messages\r\n"
        "MOk\r\n"
        "\"Ok\"\r\n"
        "  \"Cancel\"\r\n"
        "\"Say \"hi\"\"\r\n"
        "\"\"\r\n"
        "\"unterminated\r\n");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Language(), "English");
    ASSERT_EQ(file->Count(), 5u);
    EXPECT_STREQ(file->Message(0), "Ok");
    EXPECT_STREQ(file->Message(1), "Cancel");
    EXPECT_STREQ(file->Message(2), "Say \"hi\"");  // up to the line's last quote
    EXPECT_STREQ(file->Message(3), "");
    EXPECT_STREQ(file->Message(4), "unterminated");
}

TEST(LanguageFileTest, NumbersOutsideTheFileGiveNull) {
    std::optional<LanguageFile> file = LanguageFile::Parse(".Language=English,English\n\"Ok\"\n");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Message(-1), nullptr);
    EXPECT_EQ(file->Message(1), nullptr);
    EXPECT_EQ(file->Message(255), nullptr);
}

TEST(LanguageFileTest, TheFirstLineMustNameTheLanguage) {
    EXPECT_FALSE(LanguageFile::Parse("\"Ok\"\n"));
    EXPECT_FALSE(LanguageFile::Parse(""));
    EXPECT_FALSE(LanguageFile::Parse("\n.Language=English,English\n"));
    std::optional<LanguageFile> withBom = LanguageFile::Parse("\xEF\xBB\xBF.Language=Russian,Russian (x)\n\"Da\"\n");
    ASSERT_TRUE(withBom);
    EXPECT_EQ(withBom->Language(), "Russian");
}

TEST(FindLanguageFileTest, PicksTheFileOfTheLanguageWhateverItsName) {
    support::TempFolder folder("farhost");
    folder.Write("ARus.lng", ".Language=Russian,Russian\n\"Da\"\n");
    folder.Write("BEng.LNG", ".Language=English,English\n\"Yes\"\n");
    folder.Write("notes.txt", ".Language=English,English\n\"No\"\n");
    folder.Write("broken.lng", "no header\n");
    std::string chosen;
    std::optional<LanguageFile> english = FindLanguageFile(folder.Name(), "english", chosen);
    ASSERT_TRUE(english);
    EXPECT_STREQ(english->Message(0), "Yes");
    EXPECT_EQ(chosen, folder.Name("BEng.LNG"));
    std::optional<LanguageFile> russian = FindLanguageFile(folder.Name(), "Russian", chosen);
    ASSERT_TRUE(russian);
    EXPECT_STREQ(russian->Message(0), "Da");
    EXPECT_FALSE(FindLanguageFile(folder.Name(), "German", chosen));
    EXPECT_FALSE(FindLanguageFile(folder.Name("missing"), "English", chosen));
}

}  // namespace
}  // namespace farhost
