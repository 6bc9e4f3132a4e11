// Every captured command of the Windows set, made into the command line that its run starts:
// the template expanded for a sample file, the program split off as the run splits it, and the
// program resolved by the Windows rules - on every build with a fake system on which every tool
// is installed, and under Wine through the real system for the programs that Wine has.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "config/Dirs.h"
#include "dist/ShippedConfig.h"
#include "exec/ConsoleApp.h"
#include "exec/RunCommand.h"
#include "exec/Template.h"
#include "support/ForwardingPlatform.h"

namespace {

using platform::PathStyle;
using shipped::ConfigSet;

/// One captured command made ready to run for one sample file.
struct CapturedLine {
    std::string where;   // "file.ini: title" for failure messages
    std::string folder;  // the sample file's folder, with a trailing backslash
    std::string line;    // the template expanded, environment references too
    ProgramAndArguments split;
};

/// Every captured command of every Windows command file, for a plain and a blank-holding file.
std::vector<CapturedLine> CapturedLines() {
    std::vector<CapturedLine> lines;
    for (const std::string folder : {"C:\\src\\", "C:\\work dir\\"}) {
        const std::string file = folder + (folder.find(' ') == std::string::npos ? "main.c" : "my prog.c");
        TemplateArguments arguments = MakePathArguments(file, PathStyle::Windows);
        arguments[8] = "-v \"an argument\"";
        for (const std::string &name : shipped::IniFileNames(ConfigSet::Windows)) {
            for (const shipped::Command &command : shipped::LoadConfig(ConfigSet::Windows, name).commands) {
                if (!command.options.ToMenu) continue;
                const std::string line = ExpandEnvironment(ExpandTemplate(command.templ, arguments));
                lines.push_back({name + ": " + command.title + " (" + file + ")", folder, line, SplitProgram(line)});
            }
        }
    }
    return lines;
}

bool IsBatchFile(const std::string &program) {
    std::string extension = FileExtension(program, PathStyle::Windows);
    for (char &c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".bat" || extension == ".cmd";
}

/// The headers of a 64-bit console image: DOS header, "PE" signature, file header and the PE32+
/// optional header with its subsystem field (offset 68) set to the console.
std::string Console64Headers() {
    std::string bytes(128 + 4 + 20 + 240, '\0');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    bytes[60] = static_cast<char>(128);
    std::memcpy(&bytes[128], "PE", 2);
    bytes[152] = 0x0B;  // PE32+ magic 0x20B
    bytes[153] = 0x02;
    bytes[152 + 68] = 3;
    return bytes;
}

/// A Windows system on which every searched tool is a 64-bit console image: a bare name is
/// found in C:\Tools with ".exe" added when it has no extension, ".\name" in the sample file's
/// folder. Image files read back the console headers from memory.
class ToolsInstalled : public support::ForwardingPlatform {
public:
    std::string folder;
    std::vector<std::string> searches;
    int opened = 0;
    int closed = 0;

    static std::string WhereFound(const std::string &name, const std::string &folder) {
        const std::string found = name.starts_with(".\\") ? folder + name.substr(2)
                                  : name.find_first_of("\\/:") == std::string::npos ? "C:\\Tools\\" + name
                                                                                    : name;
        return FileExtension(found, PathStyle::Windows).empty() ? found + ".exe" : found;
    }

    std::optional<std::string> FindOnSearchPath(const std::string &name, const std::string &extension) override {
        searches.push_back(name + "|" + extension);
        return WhereFound(name, folder);
    }
    std::optional<std::uint32_t> BinaryTypeOf(const std::string &) override { return platform::kBinary64Bit; }
    bool IsNtPlatform() override { return true; }
    platform::NativeHandle OpenFileForRead(const std::string &) override {
        ++opened;
        position_ = 0;
        return kImage;
    }
    bool SetFilePointer(platform::NativeHandle file, std::uint32_t offset) override {
        if (file != kImage) return real().SetFilePointer(file, offset);
        position_ = std::min<std::size_t>(offset, image_.size());
        return true;
    }
    long ReadFile(platform::NativeHandle file, void *buffer, std::size_t size) override {
        if (file != kImage) return real().ReadFile(file, buffer, size);
        const std::size_t count = std::min(size, image_.size() - position_);
        std::memcpy(buffer, image_.data() + position_, count);
        position_ += count;
        return static_cast<long>(count);
    }
    void CloseHandle(platform::NativeHandle file) override {
        if (file == kImage) ++closed;
        else real().CloseHandle(file);
    }

private:
    static constexpr platform::NativeHandle kImage = 0x1A6E;
    const std::string image_ = Console64Headers();
    std::size_t position_ = 0;
};

TEST(ShippedResolutionTest, EveryCapturedCommandResolvesToAQuotedProgramAndItsArguments) {
    int resolved = 0;
    for (const CapturedLine &c : CapturedLines()) {
        SCOPED_TRACE(c.where + ": " + c.line);
        ToolsInstalled fake;
        fake.folder = c.folder;
        std::string commandLine;
        {
            platform::ScopedPlatform installed(fake);
            ASSERT_NO_THROW(commandLine = ResolveProgram(c.split.program, c.split.arguments, PathStyle::Windows));
        }
        EXPECT_EQ(fake.opened, fake.closed) << "the image file was left open";
        if (IsBatchFile(c.split.program)) {
            // A batch file runs by the name given, without a search.
            EXPECT_TRUE(fake.searches.empty());
            EXPECT_EQ(commandLine, "\"" + c.split.program + "\" " + c.split.arguments);
        } else {
            EXPECT_EQ(fake.searches, std::vector<std::string>{c.split.program + "|.EXE"});
            const std::string found = ToolsInstalled::WhereFound(c.split.program, c.folder);
            EXPECT_EQ(commandLine, "\"" + found + "\" " + c.split.arguments);
        }
        if (c.line.starts_with("cmd /c ")) {
            // The interpreter gets the whole line after its own name, quotes and all.
            EXPECT_EQ(commandLine, "\"C:\\Tools\\cmd.exe\" " + c.line.substr(4));
        }
        ++resolved;
    }
    std::cout << "captured command lines resolved on the fake system: " << resolved << "\n";
    EXPECT_GT(resolved, 200);
}

#if defined(_WIN32)
TEST(ShippedResolutionTest, UnderWineTheProgramsThatExistResolveAndTheOthersAreNotFound) {
    int resolved = 0;
    int missing = 0;
    for (const CapturedLine &c : CapturedLines()) {
        SCOPED_TRACE(c.where + ": " + c.line);
        ASSERT_FALSE(IsBatchFile(c.split.program)) << "a batch file would run without a search";
        const std::optional<std::string> found = platform::System().FindOnSearchPath(c.split.program, ".EXE");
        std::string commandLine;
        std::string failure;
        try {
            commandLine = ResolveProgram(c.split.program, c.split.arguments, PathStyle::Windows);
        } catch (const std::runtime_error &error) {
            failure = error.what();
        }
        if (found) {
            EXPECT_EQ(failure, "");
            EXPECT_EQ(commandLine, "\"" + *found + "\" " + c.split.arguments);
            ++resolved;
        } else {
            EXPECT_EQ(failure, "Could not find file " + c.split.program);
            ++missing;
        }
    }
    std::cout << "resolved by the real system: " << resolved << ", not installed: " << missing << "\n";
    EXPECT_GT(resolved, 0) << "cmd.exe at least is there";
}
#endif

}  // namespace
