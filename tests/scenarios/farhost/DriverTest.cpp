#include "host/Driver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

namespace farhost {
namespace {

MenuView Menu(std::initializer_list<const char *> texts) {
    MenuView menu;
    menu.title = "Kilnrun";
    for (const char *text : texts) {
        FarMenuItem item{};
        if (std::strcmp(text, "---") == 0)
            item.Separator = -1;
        else
            CopyBounded(item.Text, sizeof item.Text, text);
        menu.items.push_back(item);
    }
    return menu;
}

std::vector<FarDialogItem> AskDialog() {
    std::vector<FarDialogItem> items(6);
    std::memset(items.data(), 0, items.size() * sizeof(FarDialogItem));
    items[2].Type = DI_EDIT;
    items[2].Focus = 1;
    items[4].Type = DI_BUTTON;
    items[4].DefaultButton = 1;
    items[5].Type = DI_BUTTON;
    return items;
}

MenuAnswer ByIndex(int index) { return {MenuAnswer::Kind::Index, index, "", "answer menu " + std::to_string(index)}; }
MenuAnswer ByText(const char *text) { return {MenuAnswer::Kind::Text, -1, text, "answer menu text"}; }

TEST(ScriptDriverTest, MenuAnswersAreTakenInOrder) {
    ScriptDriver driver;
    MenuView menu = Menu({"Show output", "---", "Build", "Run"});
    driver.Queue(ByIndex(3));
    driver.Queue(ByText("Build"));
    driver.Queue(MenuAnswer{MenuAnswer::Kind::Cancel, -1, "", "cancel"});
    EXPECT_EQ(driver.ChooseMenuItem(menu), 3);
    EXPECT_EQ(driver.ChooseMenuItem(menu), 2);
    EXPECT_EQ(driver.ChooseMenuItem(menu), -1);
    EXPECT_TRUE(driver.TakeUnused().empty());
}

TEST(ScriptDriverTest, MenuAnswersThatDoNotFitFail) {
    MenuView menu = Menu({"Show output", "---", "Build"});
    struct {
        MenuAnswer answer;
        const char *why;
    } cases[] = {{ByIndex(3), "has no item 3"},
                 {ByIndex(-2), "has no item -2"},
                 {ByIndex(1), "is a separator"},
                 {ByText("build"), "has no item \"build\""},
                 {ByText(""), "has no item \"\""}};
    for (const auto &c : cases) {
        ScriptDriver driver;
        driver.Queue(c.answer);
        try {
            driver.ChooseMenuItem(menu);
            ADD_FAILURE() << "no failure for " << c.why;
        } catch (const DriverFailure &failure) {
            EXPECT_NE(std::string(failure.what()).find(c.why), std::string::npos) << failure.what();
        }
    }
}

TEST(ScriptDriverTest, AMenuOrDialogWithoutAnAnswerFailsAndAMessageGetsItsFirstButton) {
    ScriptDriver driver;
    EXPECT_THROW(driver.ChooseMenuItem(Menu({"a"})), DriverFailure);
    std::vector<FarDialogItem> items = AskDialog();
    EXPECT_THROW(driver.AnswerDialog(items), DriverFailure);
    EXPECT_EQ(driver.AnswerMessage(MessageView{{"Error", "text", "Ok"}, 1}), 0);
}

TEST(ScriptDriverTest, DialogAnswersFillTheFocusedEditAndPickTheWayOut) {
    std::vector<FarDialogItem> items = AskDialog();
    ScriptDriver driver;
    driver.Queue(DialogScriptAnswer{DialogScriptAnswer::Close::DefaultButton, "make all", -1, "ok"});
    driver.Queue(DialogScriptAnswer{DialogScriptAnswer::Close::Escape, std::nullopt, -1, "cancel"});
    driver.Queue(DialogScriptAnswer{DialogScriptAnswer::Close::Item, "x", 5, "item 5"});
    DialogAnswer ok = driver.AnswerDialog(items);
    EXPECT_EQ(ok.closingItem, 4);
    ASSERT_EQ(ok.edits.size(), 1u);
    EXPECT_EQ(ok.edits[0], (std::pair<int, std::string>{2, "make all"}));
    DialogAnswer escape = driver.AnswerDialog(items);
    EXPECT_EQ(escape.closingItem, -1);
    EXPECT_TRUE(escape.edits.empty());
    EXPECT_EQ(driver.AnswerDialog(items).closingItem, 5);
}

TEST(ScriptDriverTest, DialogAnswersThatDoNotFitFail) {
    std::vector<FarDialogItem> noEdit = AskDialog();
    noEdit[2].Type = DI_TEXT;
    noEdit[4].DefaultButton = 0;
    ScriptDriver driver;
    driver.Queue(DialogScriptAnswer{DialogScriptAnswer::Close::Escape, "text", -1, "text"});
    EXPECT_THROW(driver.AnswerDialog(noEdit), DriverFailure);
    driver.Queue(DialogScriptAnswer{DialogScriptAnswer::Close::DefaultButton, std::nullopt, -1, "ok"});
    EXPECT_THROW(driver.AnswerDialog(noEdit), DriverFailure);
    driver.Queue(DialogScriptAnswer{DialogScriptAnswer::Close::Item, std::nullopt, 6, "item 6"});
    EXPECT_THROW(driver.AnswerDialog(noEdit), DriverFailure);
}

TEST(ScriptDriverTest, UnusedAnswersAreReportedOnce) {
    ScriptDriver driver;
    driver.Queue(ByIndex(2));
    driver.Queue(MessageAnswer{0, "answer message 0"});
    EXPECT_EQ(driver.TakeUnused(), (std::vector<std::string>{"answer menu 2", "answer message 0"}));
    EXPECT_TRUE(driver.TakeUnused().empty());
}

TEST(ScriptDriverTest, WithoutAQueuedAnswerThePersonIsAsked) {
    std::istringstream input("3\n");
    std::ostringstream prompts;
    InteractiveDriver person(input, prompts);
    ScriptDriver driver(&person);
    EXPECT_EQ(driver.ChooseMenuItem(Menu({"a", "---", "b", "c"})), 3);
}

TEST(InteractiveDriverTest, MenuChoicesComeFromTheInput) {
    std::istringstream input("7\n1\nx\n\n2\nc\n");
    std::ostringstream prompts;
    InteractiveDriver person(input, prompts);
    MenuView menu = Menu({"a", "---", "b"});
    menu.items[2].Selected = 1;
    EXPECT_EQ(person.ChooseMenuItem(menu), 2);   // 7 and 1 (the separator) and x are refused, Enter takes "b"
    EXPECT_EQ(person.ChooseMenuItem(menu), 2);
    EXPECT_EQ(person.ChooseMenuItem(menu), -1);  // c cancels
    EXPECT_EQ(person.ChooseMenuItem(menu), -1);  // so does the end of input
    EXPECT_NE(prompts.str().find("no such item"), std::string::npos);
    EXPECT_NE(prompts.str().find("  > 2. b"), std::string::npos) << prompts.str();
}

TEST(InteractiveDriverTest, DialogsAskForEachEditFieldThenTheWayOut) {
    std::istringstream input("make all\n\n\n5\n");
    std::ostringstream prompts;
    InteractiveDriver person(input, prompts);
    std::vector<FarDialogItem> items = AskDialog();
    DialogAnswer first = person.AnswerDialog(items);
    EXPECT_EQ(first.closingItem, 4);
    ASSERT_EQ(first.edits.size(), 1u);
    EXPECT_EQ(first.edits[0].second, "make all");
    DialogAnswer second = person.AnswerDialog(items);  // Enter keeps the field, 5 closes
    EXPECT_TRUE(second.edits.empty());
    EXPECT_EQ(second.closingItem, 5);
    EXPECT_EQ(person.AnswerDialog(items).closingItem, -1);  // end of input
}

TEST(InteractiveDriverTest, MessagesWaitForEnter) {
    std::istringstream input("\n1\n");
    std::ostringstream prompts;
    InteractiveDriver person(input, prompts);
    EXPECT_EQ(person.AnswerMessage(MessageView{{"Error", "text", "Ok"}, 1}), 0);
    EXPECT_EQ(person.AnswerMessage(MessageView{{"Title", "Yes", "No"}, 2}), 1);
    EXPECT_EQ(person.AnswerMessage(MessageView{{"Error", "Ok"}, 1}), -1);
}

TEST(BoundedTextTest, ReadsNoFurtherThanTheFieldAndCopiesTerminated) {
    char field[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(BoundedText(field, sizeof field), "abcd");
    CopyBounded(field, sizeof field, "longer text");
    EXPECT_STREQ(field, "lon");
    CopyBounded(field, sizeof field, "");
    EXPECT_STREQ(field, "");
}

}  // namespace
}  // namespace farhost
