// The form of the shipped command files: line ends, directive spelling, titles, prompts, templates
// and programs, and the agreement of the Windows and the Linux sets.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "dist/ShippedConfig.h"
#include "exec/RunCommand.h"
#include "exec/Template.h"
#include "navigate/ParseErrorLine.h"

namespace {

using shipped::ConfigSet;

struct FileCase {
    ConfigSet set;
    std::string name;
};

void PrintTo(const FileCase &file, std::ostream *out) { *out << shipped::SetName(file.set) << "/" << file.name; }

std::vector<FileCase> AllFiles() {
    std::vector<FileCase> files;
    for (ConfigSet set : {ConfigSet::Windows, ConfigSet::Linux}) {
        for (const std::string &name : shipped::IniFileNames(set)) files.push_back({set, name});
    }
    return files;
}

std::string FileCaseName(const ::testing::TestParamInfo<FileCase> &info) {
    std::string name = std::string(info.param.set == ConfigSet::Windows ? "dist_" : "examples_") + info.param.name;
    for (char &c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name;
}

std::string Upper(std::string text) {
    for (char &c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

/// The lines of a file as the test reads them: split on LF with a CR before it dropped.
std::vector<std::string> RawLines(const std::string &bytes) {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    while (start < bytes.size()) {
        std::string::size_type end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

class ShippedFileTest : public ::testing::TestWithParam<FileCase> {
protected:
    shipped::ConfigFile Load() const { return shipped::LoadConfig(GetParam().set, GetParam().name); }
};

TEST_P(ShippedFileTest, LineEndsSuitThePlatform) {
    const std::string bytes = shipped::ReadBytes(shipped::SetFolder(GetParam().set) + "/" + GetParam().name);
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.find('\0'), std::string::npos) << "a NUL byte ends the text early";
    for (std::string::size_type i = 0; i < bytes.size(); ++i) {
        if (GetParam().set == ConfigSet::Windows) {
            // Windows users edit these files: every line ends in CR LF, the last one too.
            if (bytes[i] == '\n') {
                ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at byte " << i;
            }
            if (bytes[i] == '\r') {
                ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "bare CR at byte " << i;
            }
        } else {
            ASSERT_NE(bytes[i], '\r') << "CR at byte " << i;
        }
    }
    EXPECT_EQ(bytes.back(), '\n') << "the last line has no line end";
}

TEST_P(ShippedFileTest, EveryLineIsACommandOrAKnownDirective) {
    static const std::set<std::string> kDirectives = {"#SAVE",      "#TOMENU",      "#REGEXP",    "#LINEMATCH",
                                                      "#COLUMNMATCH", "#FILEMATCH", "#CDFILEDIR", "#AUTOJUMP",
                                                      "#ASK",       "#AUTOEXIT"};
    static const std::set<std::string> kSwitches = {"#SAVE", "#TOMENU", "#CDFILEDIR", "#AUTOJUMP", "#AUTOEXIT"};
    const std::vector<std::string> lines = RawLines(Load().bytes);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string &line = lines[i];
        SCOPED_TRACE("line " + std::to_string(i + 1) + ": \"" + line + "\"");
        const std::string::size_type equals = line.find('=');
        // A line without "=" (a blank line, a would-be comment) becomes a command without a title.
        ASSERT_NE(equals, std::string::npos);
        ASSERT_GT(equals, 0u);
        const std::string name = Upper(line.substr(0, equals));
        const std::string value = line.substr(equals + 1);
        if (name.front() != '#') {
            EXPECT_NE(line.front(), ' ') << "a title that begins with a blank";
            EXPECT_FALSE(value.empty()) << "a command without a template";
            continue;
        }
        EXPECT_TRUE(kDirectives.count(name)) << "an unknown directive is dropped without a word";
        if (kSwitches.count(name)) {
            EXPECT_TRUE(value == "TRUE" || value == "FALSE") << "only TRUE switches on";
        }
    }
}

TEST_P(ShippedFileTest, TitlesAreUniqueAndPromptsFitTheDialog) {
    std::set<std::string> titles;
    for (const shipped::Command &command : Load().commands) {
        SCOPED_TRACE(command.title);
        EXPECT_TRUE(titles.insert(command.title).second) << "two commands with one title";
        const bool asks = command.title.size() > 3 && command.title.compare(command.title.size() - 3, 3, "...") == 0;
        // A title ending in "..." promises a question, and only such titles ask one.
        EXPECT_EQ(!command.options.Ask.empty(), asks);
        EXPECT_LE(command.options.Ask.size(), 40u) << "the dialog shows the first 40 characters only";
        EXPECT_EQ(command.options.AutoJump, command.title.find("jump to first error") != std::string::npos);
        EXPECT_FALSE(command.options.AutoExit);
    }
}

TEST_P(ShippedFileTest, CapturedCommandsHaveExpressionsThatCompile) {
    for (const shipped::Command &command : Load().commands) {
        if (!command.options.ToMenu) continue;
        SCOPED_TRACE(command.title);
        // Cancelling the output menu parses the empty line: the expression must compile.
        EXPECT_NO_THROW(ParseErrorLine("", command.options));
        EXPECT_GE(command.options.LineMatch, 0);
        EXPECT_LE(command.options.LineMatch, 14);
        EXPECT_GE(command.options.ColumnMatch, 0);
        EXPECT_LE(command.options.ColumnMatch, 14);
        EXPECT_GE(command.options.FileMatch, 0);
        EXPECT_LE(command.options.FileMatch, 14);
    }
}

TEST_P(ShippedFileTest, TemplatesExpandAndQuoteNamesWithBlanks) {
    const bool windows = GetParam().set == ConfigSet::Windows;
    const std::string fileName = windows ? "C:\\work dir\\my prog.c" : "/work dir/my prog.c";
    TemplateArguments arguments =
        MakePathArguments(fileName, windows ? platform::PathStyle::Windows : platform::PathStyle::Posix);
    arguments[8] = "--flag";
    for (const shipped::Command &command : Load().commands) {
        SCOPED_TRACE(command.title + "=" + command.templ);
        std::string line;
        ASSERT_NO_THROW(line = ExpandTemplate(command.templ, arguments));
        EXPECT_LE(line.size(), 254u);
        // cmd /c drops the outermost pair of quotes of a line such as cmd /c ""my prog.bat" -x".
        const std::string cmdPrefix = "cmd /c \"";
        if (line.rfind(cmdPrefix, 0) == 0 && line.back() == '"') {
            line.erase(line.size() - 1);
            line.erase(cmdPrefix.size() - 1, 1);
        }
        // Every file or folder name lands inside double quotes, or the blank splits it in two.
        for (const std::string part : {"work dir", "my prog"}) {
            for (std::string::size_type at = line.find(part); at != std::string::npos; at = line.find(part, at + 1)) {
                const auto quotes = std::count(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(at), '"');
                EXPECT_EQ(quotes % 2, 1) << "unquoted \"" << part << "\" in " << line;
            }
        }
    }
}

TEST_P(ShippedFileTest, ProgramsSuitThePlatform) {
    const bool windows = GetParam().set == ConfigSet::Windows;
    const TemplateArguments arguments = MakePathArguments(
        windows ? "C:\\src\\main.c" : "/src/main.c", windows ? platform::PathStyle::Windows : platform::PathStyle::Posix);
    for (const shipped::Command &command : Load().commands) {
        SCOPED_TRACE(command.title + "=" + command.templ);
        const std::string program = SplitProgram(ExpandTemplate(command.templ, arguments)).program;
        ASSERT_FALSE(program.empty());
        const std::string::size_type dot = program.find_last_of('.');
        const std::string::size_type slash = program.find_last_of(windows ? "\\/:" : "/");
        const std::string extension =
            dot == std::string::npos || (slash != std::string::npos && dot < slash) ? "" : Upper(program.substr(dot));
        if (windows) {
            // A captured run starts only console programs found by the path search, or batch files.
            static const std::set<std::string> kRunnable = {"", ".EXE", ".COM", ".BAT", ".CMD"};
            EXPECT_TRUE(kRunnable.count(extension)) << program;
            // A batch file is started by its name as given, without the path search: a tool's
            // batch file (npm's "tsc.cmd") would be looked for in the edited file's folder only,
            // so such tools run through "cmd /c". The edited file itself ("%2:s") is fine.
            const bool batch = extension == ".BAT" || extension == ".CMD";
            const bool namedByTemplate = SplitProgram(command.templ).program.find('%') != std::string::npos;
            if (batch && !namedByTemplate) {
                EXPECT_NE(slash, std::string::npos) << program << " is not searched for";
            }
        } else {
            static const std::set<std::string> kWindowsOnly = {"cmd", "explorer", "start"};
            EXPECT_FALSE(kWindowsOnly.count(program)) << program;
            EXPECT_NE(extension, ".EXE") << program;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(CommandFiles, ShippedFileTest, ::testing::ValuesIn(AllFiles()), FileCaseName);

TEST(ShippedSetsTest, TheCommonFileLeavesTheBaseAsItFoundIt) {
    // Directives above the common file's first command would change every command of every
    // per-extension file.
    for (ConfigSet set : {ConfigSet::Windows, ConfigSet::Linux}) {
        SCOPED_TRACE(shipped::SetName(set));
        const TCommandOptions base = shipped::LoadConfig(set, "AllFiles.ini").baseAfterParsing;
        const TCommandOptions defaults;
        EXPECT_EQ(base.Save, defaults.Save);
        EXPECT_EQ(base.ToMenu, defaults.ToMenu);
        EXPECT_EQ(base.RegExp, defaults.RegExp);
        EXPECT_EQ(base.LineMatch, defaults.LineMatch);
        EXPECT_EQ(base.ColumnMatch, defaults.ColumnMatch);
        EXPECT_EQ(base.FileMatch, defaults.FileMatch);
        EXPECT_EQ(base.CdFileDir, defaults.CdFileDir);
        EXPECT_EQ(base.AutoJump, defaults.AutoJump);
        EXPECT_EQ(base.Ask, defaults.Ask);
        EXPECT_EQ(base.AutoExit, defaults.AutoExit);
    }
}

TEST(ShippedSetsTest, BothSetsServeTheSameExtensions) {
    static const std::set<std::string> kWindowsOnly = {"bat.ini", "cmd.ini", "pyw.ini"};
    std::vector<std::string> windows = shipped::IniFileNames(ConfigSet::Windows);
    windows.erase(std::remove_if(windows.begin(), windows.end(), [](const std::string &name) { return kWindowsOnly.count(name) > 0; }),
                  windows.end());
    EXPECT_EQ(windows, shipped::IniFileNames(ConfigSet::Linux));
}

/// Where the two sets read one tool's output with different expressions, and why.
struct ExpressionDifference {
    const char *file;
    const char *linuxText;
    const char *windowsText;
};

const std::vector<ExpressionDifference> kExpressionDifferences = {
    // A file URL keeps the "/" of a POSIX path and loses it before a drive letter.
    {"js.ini", "(file://)?", "(file:///)?"},
    {"mjs.ini", "(file://)?", "(file:///)?"},
    {"cjs.ini", "(file://)?", "(file:///)?"},
};

TEST(ShippedSetsTest, TheSameCommandReadsOutputTheSameWayOnBothPlatforms) {
    int compared = 0;
    for (const std::string &file : shipped::IniFileNames(ConfigSet::Linux)) {
        const shipped::ConfigFile linuxFile = shipped::LoadConfig(ConfigSet::Linux, file);
        const shipped::ConfigFile windowsFile = shipped::LoadConfig(ConfigSet::Windows, file);
        for (const shipped::Command &linuxCommand : linuxFile.commands) {
            const shipped::Command *windowsCommand = windowsFile.Find(linuxCommand.title);
            if (!linuxCommand.options.ToMenu || windowsCommand == nullptr) continue;
            SCOPED_TRACE(file + " \"" + linuxCommand.title + "\"");
            std::string expected = linuxCommand.options.RegExp;
            for (const ExpressionDifference &difference : kExpressionDifferences) {
                const std::string::size_type at = expected.find(difference.linuxText);
                if (file == difference.file && at != std::string::npos)
                    expected.replace(at, std::string(difference.linuxText).size(), difference.windowsText);
            }
            EXPECT_EQ(windowsCommand->options.RegExp, expected);
            EXPECT_EQ(windowsCommand->options.LineMatch, linuxCommand.options.LineMatch);
            EXPECT_EQ(windowsCommand->options.ColumnMatch, linuxCommand.options.ColumnMatch);
            EXPECT_EQ(windowsCommand->options.FileMatch, linuxCommand.options.FileMatch);
            EXPECT_TRUE(windowsCommand->options.ToMenu);
            ++compared;
        }
    }
    EXPECT_GT(compared, 50);
}

TEST(ShippedSetsTest, TheDemoCommandCompilesWithGccIntoTheOutputMenu) {
    const shipped::ConfigFile config = shipped::LoadConfig(ConfigSet::Linux, "c.ini");
    const shipped::Command *menu = config.Find("Compile with GCC");
    const shipped::Command *jump = config.Find("Compile with GCC (jump to first error)");
    ASSERT_NE(menu, nullptr);
    ASSERT_NE(jump, nullptr);
    EXPECT_EQ(menu->templ.rfind("gcc ", 0), 0u);
    EXPECT_EQ(jump->templ, menu->templ);
    EXPECT_TRUE(menu->options.ToMenu);
    EXPECT_FALSE(menu->options.AutoJump);
    EXPECT_TRUE(jump->options.ToMenu);
    EXPECT_TRUE(jump->options.AutoJump);
    EXPECT_TRUE(menu->options.Save);
    EXPECT_TRUE(menu->options.CdFileDir);
}

}  // namespace
