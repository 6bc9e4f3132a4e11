// The module's exports, driven in-process against the fake host.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "navigate/OutputStore.h"
#include "plugin/farapi/FARIntf.h"
#include "plugin/farapi/FARUtils.h"
#include "support/FakeHost.h"
#include "support/TempFolder.h"

extern "C" {
void FARAPI SetStartupInfo(const PluginStartupInfo *info);
void FARAPI GetPluginInfo(PluginInfo *info);
HANDLE FARAPI OpenPlugin(int openFrom, INT_PTR item);
int FARAPI ProcessEditorEvent(int event, void *param);
int FARAPI ProcessEditorInput(const INPUT_RECORD *record);
int FARAPI GetMinFarVersion();
}

namespace fs = std::filesystem;
using testing_host::FakeHost;

namespace {

using support::WriteFile;

class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(root / "module" / "Types");
        fs::create_directories(root / "src");
        host.SetModuleName((root / "module" / "Kilnrun.so").string());
        SetStartupInfo(&host.StartupInfo());
    }
    void TearDown() override {
        TheOutputStore().ReleaseOutput();
        far::ResetStartupInfo();
    }
    HANDLE Open() { return OpenPlugin(OPEN_EDITOR, 0); }

    support::TempFolder folder{"module"};
    const fs::path root = folder.Path();
    FakeHost host;
};

TEST_F(ModuleTest, AnswersTheHostsQuestions) {
    EXPECT_EQ(GetMinFarVersion(), 84017478);
    PluginInfo info;
    std::memset(&info, 0x5A, sizeof(info));
    GetPluginInfo(&info);
    EXPECT_EQ(info.StructSize, 40);
    EXPECT_EQ(info.Flags, 6u);
    EXPECT_EQ(info.DiskMenuStringsNumber, 0);
    ASSERT_EQ(info.PluginMenuStringsNumber, 1);
    EXPECT_STREQ(info.PluginMenuStrings[0], "Kilnrun");
    EXPECT_EQ(info.PluginConfigStringsNumber, 0);
    EXPECT_EQ(info.CommandPrefix, nullptr);
    // Fields the module does not own are left alone.
    void *untouched;
    std::memset(&untouched, 0x5A, sizeof(untouched));
    EXPECT_EQ(static_cast<const void *>(info.DiskMenuStrings), untouched);

    host.messages[2] = "Renamed";  // the string is fetched again on every call
    GetPluginInfo(&info);
    EXPECT_STREQ(info.PluginMenuStrings[0], "Renamed");
}

TEST_F(ModuleTest, KeepsItsOwnCopyOfTheServiceTable) {
    PluginStartupInfo changing = host.StartupInfo();
    SetStartupInfo(&changing);
    std::memset(&changing, 0, sizeof(changing));  // the host's record may go away
    EXPECT_STREQ(far::GetMsg(0), "Ok");
}

TEST_F(ModuleTest, NonIntegerDirectiveGivesOneWarningBox) {
    // "x1" would be hexadecimal 1; a digit followed by a letter is no number at all.
    WriteFile(root / "src" / "c.ini", "#LINEMATCH=1x\nBuild=gcc %s\n");
    host.AddEditor(1, (root / "src" / "x.c").string());
    EXPECT_EQ(Open(), INVALID_HANDLE_VALUE);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].items, (std::vector<std::string>{"Error", "'1x' is not a valid integer value", "Ok"}));
    EXPECT_EQ(host.boxes[0].flags, FMSG_WARNING);
    EXPECT_EQ(host.boxes[0].helpTopic, "Contents");
    EXPECT_EQ(host.boxes[0].buttons, 1);
    EXPECT_TRUE(host.menus.empty());
}

TEST_F(ModuleTest, MenuListsExtensionCommandsBeforeCommonOnes) {
    WriteFile(root / "module" / "Types" / "AllFiles.ini", "Common=echo\n");
    WriteFile(root / "module" / "Types" / "c.ini", "Compile=cc\n---\nLint=lint\n");
    host.AddEditor(1, (root / "src" / "x.c").string());
    Open();  // cancelled: nothing further happens
    ASSERT_EQ(host.menus.size(), 1u);
    const auto &items = host.menus[0].items;
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(host.menus[0].title, "Kilnrun");
    EXPECT_STREQ(items[0].Text, "Show output");
    EXPECT_EQ(items[1].Separator, -1);
    EXPECT_STREQ(items[2].Text, "Compile");
    EXPECT_EQ(items[3].Separator, -1);
    EXPECT_STREQ(items[4].Text, "Lint");
    EXPECT_STREQ(items[5].Text, "Common");
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(ModuleTest, NoConfigurationShowsOnlyTheFirstItem) {
    host.AddEditor(1, (root / "src" / "noext").string());
    host.menuAnswers.push_back(0);  // nothing stored yet
    Open();
    ASSERT_EQ(host.menus.size(), 1u);
    EXPECT_EQ(host.menus[0].items.size(), 1u);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].items[1], "No output");
}

TEST_F(ModuleTest, EditorEventsKeepTheTableAndReleaseTheStore) {
    host.AddEditor(3, (root / "src" / "a.c").string());
    ProcessEditorEvent(EE_READ, nullptr);
    EXPECT_EQ(TheEditorFileTable().EditorFile(3), (root / "src" / "a.c").string());
    host.Current().fileName = (root / "src" / "b.c").string();
    ProcessEditorEvent(EE_SAVE, nullptr);
    EXPECT_EQ(TheEditorFileTable().EditorFile(3), (root / "src" / "b.c").string());
    ProcessEditorEvent(EE_REDRAW, nullptr);

    auto lines = std::make_unique<TStringList>();
    lines->Append("x");
    TheOutputStore().StoreOutput(std::move(lines), 3, "cmd", TCommandOptions::Create(), root.string());
    int other = 4;
    ProcessEditorEvent(EE_CLOSE, &other);  // another editor: the store stays
    EXPECT_NE(TheOutputStore().Lines(), nullptr);
    int owner = 3;
    ProcessEditorEvent(EE_CLOSE, &owner);
    EXPECT_EQ(TheOutputStore().Lines(), nullptr);
    EXPECT_FALSE(TheEditorFileTable().Exists());
    EXPECT_EQ(ProcessEditorEvent(EE_CLOSE, nullptr), 0);  // a bad parameter is ignored
}

TEST_F(ModuleTest, KeyDownRestoresASavedTitleAndNeverConsumesTheKey) {
    INPUT_RECORD record{};
    record.EventType = KEY_EVENT;
    record.Event.KeyEvent.bKeyDown = 1;
    TheConsoleTitleSaver().SaveConsoleTitle();
    EXPECT_EQ(ProcessEditorInput(&record), 0);
    EXPECT_FALSE(TheConsoleTitleSaver().Holds());
    EXPECT_EQ(ProcessEditorInput(nullptr), 0);
}

TEST(ModuleWithoutHost, NoServicesMeansNoCrash) {
    PluginStartupInfo empty{};
    empty.StructSize = sizeof(empty);
    SetStartupInfo(&empty);
    EXPECT_EQ(OpenPlugin(OPEN_EDITOR, 0), INVALID_HANDLE_VALUE);
    PluginInfo info{};
    GetPluginInfo(&info);
    EXPECT_STREQ(info.PluginMenuStrings[0], "");
    SetStartupInfo(nullptr);
    far::ResetStartupInfo();
}

}  // namespace
