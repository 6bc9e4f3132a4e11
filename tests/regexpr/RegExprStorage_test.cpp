// Where an object keeps its expression, program and character lists: the inline byte block and
// its heap overflow, and list settings that share the standard texts.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "RegExprTestSupport.h"
#include "regexpr/RegExprByteBlock.h"
#include "regexpr/RegExprInlineList.h"

namespace regexpr_test {
namespace {

std::vector<std::uint8_t> BytesOf(const TByteBlock<8> &block) { return {block.begin(), block.end()}; }

TEST(ByteBlock, GrowsBeyondItsInlinePartKeepingItsBytesAndZeroingNewOnes) {
    TByteBlock<8> block;
    block.assign("abcdef", 6);
    block.resize(20);
    std::vector<std::uint8_t> expected{'a', 'b', 'c', 'd', 'e', 'f'};
    expected.resize(20, 0);
    EXPECT_EQ(BytesOf(block), expected);

    // Bytes written, then cut off, come back as zero.
    block[15] = 'x';
    block.resize(10);
    block.resize(16);
    EXPECT_EQ(block[15], 0);
    block.clear();
    EXPECT_TRUE(block.empty());
    block.resize(3);
    EXPECT_EQ(BytesOf(block), (std::vector<std::uint8_t>{0, 0, 0}));
}

TEST(ByteBlock, AssignsAPartOfItself) {
    for (const std::string text : {"0123456", "0123456789abcdefghij"}) {  // inline, on the heap
        TByteBlock<8> block;
        block.assign(text.data(), text.size());
        block.assign(block.data() + 2, text.size() - 2);
        EXPECT_EQ(BytesOf(block), std::vector<std::uint8_t>(text.begin() + 2, text.end())) << text;
    }
}

TEST(InlineList, KeepsEveryItemAcrossItsGrowthAndAfterClearing) {
    struct TItem {
        int Value;
        char Tag[5];
    };
    TInlineList<TItem, 3> list;
    for (int round = 0; round < 2; ++round) {  // the second round reuses the heap block
        for (int i = 0; i < 20; ++i) list.push_back({i * 7, {'t', static_cast<char>('a' + i % 26)}});
        ASSERT_EQ(list.size(), 20u);
        for (int i = 0; i < 20; ++i) {
            EXPECT_EQ(list[static_cast<std::size_t>(i)].Value, i * 7) << round << " " << i;
            EXPECT_EQ(list[static_cast<std::size_t>(i)].Tag[1], 'a' + i % 26) << round << " " << i;
        }
        list.clear();
        EXPECT_TRUE(list.empty());
    }
}

TEST(ListSetting, SharesTheStandardTextAndCopiesAnyOther) {
    TListSetting setting;
    setting.Assign(std::string(StandardWordList), StandardWordText());
    EXPECT_TRUE(setting.IsStandard());
    EXPECT_EQ(&setting.Text(), &StandardWordText());
    setting.Assign("abc", StandardWordText());
    EXPECT_FALSE(setting.IsStandard());
    EXPECT_EQ(setting.Text(), "abc");
}

/// Changes the process-wide lists for one test and puts the standard ones back.
class ChangedDefaults {
public:
    ChangedDefaults(std::string space, std::string word) {
        RegExprDefaults().SpaceList = std::move(space);
        RegExprDefaults().WordList = std::move(word);
    }
    ~ChangedDefaults() {
        RegExprDefaults().SpaceList = std::string(StandardSpaceList);
        RegExprDefaults().WordList = std::string(StandardWordList);
    }
};

TEST(ListSetting, AnObjectKeepsTheListsItWasMadeWith) {
    std::optional<TRegExpr> custom;
    {
        ChangedDefaults changed("_", "xyz");
        custom.emplace();
    }
    EXPECT_EQ(custom->SpaceList(), "_");
    EXPECT_EQ(custom->WordList(), "xyz");
    custom->SetExpression("\\w+\\s[\\w\\s]+\\b");
    ASSERT_TRUE(custom->Exec("a1 yy_x_zz."));
    EXPECT_EQ(custom->Match(0), "yy_x_zz");

    TRegExpr standard;
    EXPECT_EQ(standard.WordList(), StandardWordList);
    standard.SetExpression("\\w+\\s[\\w\\s]+\\b");
    ASSERT_TRUE(standard.Exec("a1 yy_x_zz."));
    EXPECT_EQ(standard.Match(0), "a1 yy_x_zz");
}

TEST(ObjectStorage, LongExpressionsAndLargeProgramsLiveOnTheHeap) {
    // 700 characters of literal, and 400 classes of 8 bytes each: both beyond the inline parts.
    const std::string literal(700, 'q');
    std::string classes = "x";
    for (int i = 0; i < 400; ++i) classes += "[ab]";
    TRegExpr re;
    for (const std::string &expression : {literal, classes, std::string("(b+)c")}) {
        re.SetExpression(expression);
        EXPECT_EQ(re.Expression(), expression);
        re.CompileExpression();
        EXPECT_EQ(re.Program()[0], ProgramSignature);
        if (expression == classes) {
            EXPECT_GT(re.Program().size(), 400u * 8);
        }
    }
    EXPECT_TRUE(re.Exec("abbc"));
    EXPECT_EQ(re.Match(1), "bb");
    re.SetExpression(classes);
    EXPECT_TRUE(re.Exec("_x" + std::string(400, 'b')));
    EXPECT_FALSE(re.Exec("_x" + std::string(399, 'b')));
    re.SetExpression(literal);
    EXPECT_TRUE(re.Exec("a" + literal));
}

TEST(ObjectStorage, SetsAPartOfItsOwnExpression) {
    TRegExpr re;
    re.SetExpression("xx(\\d+)");
    re.SetExpression(re.Expression().substr(2));
    EXPECT_EQ(re.Expression(), "(\\d+)");
    ASSERT_TRUE(re.Exec("ab12"));
    EXPECT_EQ(re.Match(1), "12");
}

/// Records what an error raised during a compilation sees of the program.
class TProgramWatchingRegExpr : public TRegExpr {
public:
    void Error(std::int32_t code) override {
        ProgramSizeSeen = Program().size();
        TRegExpr::Error(code);
    }
    std::size_t ProgramSizeSeen = 99;
};

TEST(ObjectStorage, NoPartOfAProgramIsShownWhileOrAfterItFails) {
    TProgramWatchingRegExpr re;
    re.SetExpression("abc");
    re.CompileExpression();
    re.SetExpression("(abc)[d-a]");
    EXPECT_THROW(re.CompileExpression(), ERegExpr);
    EXPECT_EQ(re.ProgramSizeSeen, 0u);
    EXPECT_TRUE(re.Program().empty());
}

}  // namespace
}  // namespace regexpr_test
