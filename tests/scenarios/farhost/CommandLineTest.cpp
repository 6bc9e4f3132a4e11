#include "host/CommandLine.h"

#include <gtest/gtest.h>

namespace farhost {
namespace {

TEST(CommandLineTest, TakesOptionsAndOneScript) {
    std::string error;
    std::optional<CommandLine> line =
        ParseCommandLine({"--module", "Kilnrun.so", "--expect", "e.transcript", "--output", "a.transcript",
                          "--language", "Russian", "--open", "x.c", "--open", "y.c", "-i", "s.farhost"},
                         error);
    ASSERT_TRUE(line) << error;
    EXPECT_EQ(line->modulePath, "Kilnrun.so");
    EXPECT_EQ(line->expectPath, "e.transcript");
    EXPECT_EQ(line->outputPath, "a.transcript");
    EXPECT_EQ(line->language, "Russian");
    EXPECT_EQ(line->openFiles, (std::vector<std::string>{"x.c", "y.c"}));
    EXPECT_TRUE(line->interactive);
    EXPECT_EQ(line->scriptPath, "s.farhost");
    EXPECT_FALSE(line->help);
}

TEST(CommandLineTest, RefusesWhatItCannotUse) {
    const std::vector<std::vector<std::string>> bad = {
        {"--module"}, {"--frobnicate"}, {"a.farhost", "b.farhost"}, {"--expect", "e.transcript"}};
    for (const auto &args : bad) {
        std::string error;
        EXPECT_FALSE(ParseCommandLine(args, error)) << args.front();
        EXPECT_FALSE(error.empty());
    }
}

TEST(CommandLineTest, UsageNamesEveryOption) {
    std::string usage = Usage();
    for (const char *option : {"--module", "--open", "--interactive", "--expect", "--output", "--language", "--help"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}

}  // namespace
}  // namespace farhost
