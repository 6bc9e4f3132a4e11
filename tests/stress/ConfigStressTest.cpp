// Configuration files far larger than anyone writes by hand, read through the real file path.
#include <gtest/gtest.h>

#include <string>

#include "config/CommandConfig.h"
#include "exec/Template.h"
#include "plugin/farapi/FARUtils.h"
#include "stress/StressSupport.h"
#include "support/FakeHost.h"
#include "support/TempFolder.h"

namespace {

/// A host whose module sits in an empty folder, so that no shipped AllFiles.ini changes the base.
class ModuleInEmptyFolder {
public:
    explicit ModuleInEmptyFolder(const std::filesystem::path &folder) {
        host_.SetModuleName((folder / "module" / "Kilnrun.so").string());
        far::SetStartupInfo(&host_.StartupInfo());
    }
    ~ModuleInEmptyFolder() { far::ResetStartupInfo(); }
    ModuleInEmptyFolder(const ModuleInEmptyFolder &) = delete;
    ModuleInEmptyFolder &operator=(const ModuleInEmptyFolder &) = delete;

private:
    testing_host::FakeHost host_;
};

TEST(ConfigStress, HundredThousandLinesAreReadWithEveryCommandAndDirective) {
    support::TempFolder folder("config-lines");
    ModuleInEmptyFolder module(folder.Path());
    // Every fifth line a directive, the others commands; the line ends vary as editors write them.
    constexpr int kLines = 100000;
    const char *ends[] = {"\r\n", "\n", "\r"};
    std::string text;
    int commands = 0;
    for (int i = 0; i < kLines; ++i) {
        if (i % 5 == 4) {
            text += "#LINEMATCH=" + std::to_string(i);
        } else {
            text += "Command " + std::to_string(i) + "=tool --line " + std::to_string(i);
            ++commands;
        }
        text += ends[i % 3];
    }
    support::WriteFile(folder.Path() / "big.ini", text);

    TCommandOptions base;
    const CommandLists lists = ReadConfiguration(base, (folder.Path() / "edited.big").string());
    ASSERT_EQ(lists.extension->Count(), static_cast<std::size_t>(commands));
    EXPECT_EQ(lists.extension->Text(0), "Command 0=tool --line 0");
    EXPECT_EQ(lists.extension->Value(commands - 1), "tool --line " + std::to_string(kLines - 2));
    // A directive after a command belongs to that command alone.
    EXPECT_EQ(lists.extension->Object(3)->LineMatch, 4);
    EXPECT_EQ(lists.extension->Object(0)->LineMatch, 1);
    EXPECT_EQ(lists.extension->Object(commands - 1)->LineMatch, kLines - 1);
    EXPECT_EQ(base.LineMatch, 1);
}

TEST(ConfigStress, AMegabyteLineIsReadAndExpandedWhole) {
    support::TempFolder folder("config-long");
    ModuleInEmptyFolder module(folder.Path());
    const std::string longArgument(1 << 20, 'q');
    const std::string longPrompt(1 << 20, 'p');
    support::WriteFile(folder.Path() / "big.ini",
                       "#ASK=" + longPrompt + "\r\nLong=tool %1:s " + longArgument + "\r\nShort=tool\r\n");

    TCommandOptions base;
    const CommandLists lists = ReadConfiguration(base, (folder.Path() / "edited.big").string());
    ASSERT_EQ(lists.extension->Count(), 2u);
    EXPECT_EQ(lists.extension->Name(0), "Long");
    EXPECT_EQ(lists.extension->Value(0).size(), longArgument.size() + 10);
    EXPECT_EQ(lists.extension->Object(1)->Ask, longPrompt);

    TemplateArguments args;
    args[1] = "dir";
    EXPECT_EQ(ExpandTemplate(lists.extension->Value(0), args), "tool dir " + longArgument);
}

}  // namespace
