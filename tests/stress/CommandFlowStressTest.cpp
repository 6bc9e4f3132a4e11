// A thousand whole command flows through the module's exports against the in-process fake host:
// menu, captured run of the real test program, jump to the reported position, a failing command
// and the stored output, over and over, with no handle left open.
#include <gtest/gtest.h>

#include <filesystem>

#include "navigate/OutputStore.h"
#include "plugin/farapi/FARIntf.h"
#include "plugin/farapi/FARUtils.h"
#include "programs/TestPrograms.h"
#include "stress/StressSupport.h"
#include "support/FakeHost.h"
#include "support/TempFolder.h"

extern "C" {
void FARAPI SetStartupInfo(const PluginStartupInfo *info);
HANDLE FARAPI OpenPlugin(int openFrom, INT_PTR item);
int FARAPI ProcessEditorEvent(int event, void *param);
}

namespace fs = std::filesystem;

namespace {

constexpr int kBuildItem = 2;    // after "Show output" and the separator
constexpr int kMissingItem = 3;  // a command whose program does not exist
constexpr int kShowOutputItem = 0;

class CommandFlowStress : public ::testing::Test {
protected:
    void SetUp() override {
        startDirectory = fs::current_path();
        const fs::path src = folder.Path() / "src";
        support::WriteFile(folder.Path() / "module" / "Types" / "AllFiles.ini", "#SAVE=false\r\n");
        support::WriteFile(src / "c.ini",
                           "#TOMENU=true\r\n#AUTOJUMP=true\r\n#REGEXP=^(.+?):(\\d+):(\\d+):\r\n"
                           "#LINEMATCH=2\r\n#COLUMNMATCH=3\r\n"
                           "Build=" KILNRUN_TESTPROG_PATH " out:note\\r\\n out:main.c:3:4:\\serror\\r\\n\r\n"
                           "Missing=" + (folder.Path() / "no-such-compiler").string() + " -c\r\n");
        support::WriteFile(src / "main.c", "int main(void)\n{\n    return x;\n}\n");
        host.SetModuleName((folder.Path() / "module" / "Kilnrun.so").string());
        SetStartupInfo(&host.StartupInfo());
        host.AddEditor(1, (src / "main.c").string(), {"int main(void)", "{", "    return x;", "}"});
        ProcessEditorEvent(EE_READ, nullptr);
    }

    void TearDown() override {
        TheOutputStore().ReleaseOutput();
        far::ResetStartupInfo();
        fs::current_path(startDirectory);  // the flow moves into the edited file's folder
    }

    void Forget() {
        host.calls.clear();
        host.menus.clear();
        host.boxes.clear();
        host.positions.clear();
    }

    support::TempFolder folder{"flow"};
    testing_host::FakeHost host;
    fs::path startDirectory;
};

TEST_F(CommandFlowStress, AThousandFlowsJumpFailAndShowOutputWithNoHandleLeft) {
    const std::size_t flows = stress::Scaled(1000);
    // One round first: lasting handles of the runtime are opened by then.
    host.menuAnswers = {kBuildItem};
    OpenPlugin(OPEN_EDITOR, 0);
    Forget();
    const std::optional<long> before = stress::OpenHandleCount();

    for (std::size_t flow = 0; flow < flows; ++flow) {
        switch (flow % 3) {
            case 0:
                host.menuAnswers = {kBuildItem};
                OpenPlugin(OPEN_EDITOR, 0);
                ASSERT_EQ(host.positions.size(), 1u) << "flow " << flow;
                EXPECT_EQ(host.positions[0].CurLine, 2);
                EXPECT_EQ(host.positions[0].CurPos, 3);
                ASSERT_TRUE(host.boxes.empty()) << host.boxes[0].items.at(1);
                break;
            case 1:
                host.menuAnswers = {kMissingItem};
                OpenPlugin(OPEN_EDITOR, 0);
                ASSERT_EQ(host.boxes.size(), 1u) << "flow " << flow;
                EXPECT_EQ(host.boxes[0].items.at(1).rfind("Could not find file", 0), 0u) << host.boxes[0].items.at(1);
                break;
            default:
                // The failed run left the stored output of the last good one in place.
                host.menuAnswers = {kShowOutputItem, 1};
                OpenPlugin(OPEN_EDITOR, 0);
                ASSERT_EQ(host.menus.size(), 2u) << "flow " << flow;
                ASSERT_GE(host.menus[1].items.size(), 2u);
                EXPECT_STREQ(host.menus[1].items[1].Text, "main.c:3:4: error");
                ASSERT_EQ(host.positions.size(), 1u);
                EXPECT_EQ(host.positions[0].CurLine, 2);
                break;
        }
        Forget();
    }
    if (!before) GTEST_SKIP() << "this system cannot count the process's open handles";
    EXPECT_EQ(stress::OpenHandleCount(), before) << "after " << flows << " flows";
}

}  // namespace
