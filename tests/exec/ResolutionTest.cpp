// Which programs a captured run starts and how (both rule sets on every build, with a fake
// platform), the PE header walk on crafted files, and the system error message.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ExecTestSupport.h"
#include "exec/ConsoleApp.h"

#include "support/Failure.h"
#include "support/TempFolder.h"

namespace {

using support::FailureOf;
using platform::PathStyle;

void Put16(std::string &bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

void Put32(std::string &bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
}

/// A PE image's headers: DOS header, PE signature at 128, file header, optional header.
std::string PeHeaders(std::uint16_t subsystem, std::size_t optionalHeaderBytes = 224,
                      const std::string &signature = std::string("PE\0\0", 4)) {
    std::string bytes(128, '\0');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    Put32(bytes, 60, 128);
    bytes += signature;
    bytes += std::string(20, '\0');
    std::string optional(optionalHeaderBytes, '\0');
    if (optionalHeaderBytes >= 70) Put16(optional, 68, subsystem);
    return bytes + optional;
}

/// A 64-bit (PE32+) image's headers: the longer optional header with its own magic number.
std::string Pe64Headers(std::uint16_t subsystem, std::size_t optionalHeaderBytes = 240) {
    std::string bytes = PeHeaders(subsystem, optionalHeaderBytes);
    if (optionalHeaderBytes >= 2) Put16(bytes, 128 + 4 + 20, 0x20B);
    return bytes;
}

/// A platform whose program search, binary types and NT test are set by the test; files are real.
class ResolvingPlatform : public exec_test::ForwardingPlatform {
public:
    std::optional<std::string> FindOnSearchPath(const std::string &name, const std::string &extension) override {
        searches.push_back(name + "|" + extension);
        return found;
    }
    std::optional<std::uint32_t> BinaryTypeOf(const std::string &path) override {
        typeAsked.push_back(path);
        return binaryType;
    }
    bool IsNtPlatform() override { return nt; }

    std::optional<std::string> found;
    std::optional<std::uint32_t> binaryType;
    bool nt = true;
    std::vector<std::string> searches;
    std::vector<std::string> typeAsked;
};

/// A file that the fake search finds; its contents decide the subsystem.
enum class FoundFile { None, Console, Windowed, Console64, Windowed64, Missing };

struct ResolutionCase {
    const char *name;
    PathStyle rules;
    std::string program;
    std::string arguments;
    bool nt;
    FoundFile file;                        // what the search finds
    std::optional<std::uint32_t> type;     // the system's binary type of it
    std::string expected;                  // a command line, "!" + failure message; "$" = the found file
    std::string search;                    // the expected search request, empty for none
};

void PrintTo(const ResolutionCase &c, std::ostream *out) { *out << c.name; }

class ResolveProgramTest : public ::testing::TestWithParam<ResolutionCase> {};

std::string ReplaceFound(std::string text, const std::string &found) {
    for (std::size_t at; (at = text.find('$')) != std::string::npos;) text.replace(at, 1, found);
    return text;
}

TEST_P(ResolveProgramTest, MakesTheCommandLineOrRefuses) {
    const ResolutionCase &c = GetParam();
    support::TempFolder folder("exec");
    ResolvingPlatform fake;
    fake.nt = c.nt;
    fake.binaryType = c.type;
    switch (c.file) {
        case FoundFile::None: break;
        case FoundFile::Console: fake.found = folder.Write("tool.exe", PeHeaders(3)); break;
        case FoundFile::Windowed: fake.found = folder.Write("tool.exe", PeHeaders(2)); break;
        case FoundFile::Console64: fake.found = folder.Write("tool.exe", Pe64Headers(3)); break;
        case FoundFile::Windowed64: fake.found = folder.Write("tool.exe", Pe64Headers(2)); break;
        case FoundFile::Missing: fake.found = (folder.Path() / "gone.exe").string(); break;
    }
    const std::string found = fake.found.value_or("");
    {
        platform::ScopedPlatform installed(fake);
        std::string result;
        std::string failure = FailureOf([&] { result = ResolveProgram(c.program, c.arguments, c.rules); });
        if (c.expected.starts_with("!")) {
            EXPECT_EQ(failure, ReplaceFound(c.expected.substr(1), found));
        } else {
            EXPECT_EQ(failure, "(nothing thrown)");
            EXPECT_EQ(result, ReplaceFound(c.expected, found));
        }
    }
    EXPECT_EQ(fake.searches, c.search.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.search});
    EXPECT_TRUE(fake.OpenHandles().empty()) << "the image file was left open";
}

const std::string kBadExtension = " has invalid file extension";
const std::string kUnsupported = "!Executable image is not a supported type";

INSTANTIATE_TEST_SUITE_P(WindowsRules, ResolveProgramTest, ::testing::Values(
    ResolutionCase{"Bat", PathStyle::Windows, "build.bat", "-x", true, FoundFile::None, {}, "\"build.bat\" -x", ""},
    ResolutionCase{"BatAnyCaseOffNt", PathStyle::Windows, "C:\\a b\\Build.BaT", "", false, FoundFile::None, {},
                   "\"C:\\a b\\Build.BaT\" ", ""},
    ResolutionCase{"CmdOnNt", PathStyle::Windows, "make.cmd", "all", true, FoundFile::None, {}, "\"make.cmd\" all", ""},
    ResolutionCase{"CmdOffNt", PathStyle::Windows, "make.Cmd", "all", false, FoundFile::None, {},
                   "!make.Cmd" + kBadExtension, ""},
    ResolutionCase{"Txt", PathStyle::Windows, "notes.txt", "", true, FoundFile::Console, 0,
                   "!notes.txt" + kBadExtension, ""},
    ResolutionCase{"DotInTheDirectoryOnly", PathStyle::Windows, "C:\\v1.2\\tool", "a", true, FoundFile::Console, 0,
                   "\"$\" a", "C:\\v1.2\\tool|.EXE"},
    ResolutionCase{"NotFound", PathStyle::Windows, "tool", "a", true, FoundFile::None, 0,
                   "!Could not find file tool", "tool|.EXE"},
    ResolutionCase{"TypeUnknown", PathStyle::Windows, "tool.exe", "", true, FoundFile::Console, std::nullopt,
                   "!Could not determine type of $", "tool.exe|.EXE"},
    ResolutionCase{"DosOnNt", PathStyle::Windows, "old.com", "x y", true, FoundFile::Console, platform::kBinaryDos,
                   "cmd /c\"\"$\" x y\"", "old.com|.EXE"},
    ResolutionCase{"DosOffNt", PathStyle::Windows, "old.com", "x y", false, FoundFile::Console, platform::kBinaryDos,
                   kUnsupported, "old.com|.EXE"},
    ResolutionCase{"Console", PathStyle::Windows, "tool.EXE", "-c main.c", true, FoundFile::Console, 0,
                   "\"$\" -c main.c", "tool.EXE|.EXE"},
    ResolutionCase{"ConsoleOffNt", PathStyle::Windows, "tool", "", false, FoundFile::Console, 0, "\"$\" ", "tool|.EXE"},
    ResolutionCase{"Windowed", PathStyle::Windows, "tool", "", true, FoundFile::Windowed, 0, kUnsupported, "tool|.EXE"},
    ResolutionCase{"HeaderUnreadable", PathStyle::Windows, "tool", "", true, FoundFile::Missing, 0, kUnsupported,
                   "tool|.EXE"},
    // 64-bit images: a console program runs exactly as a 32-bit one, a windowed one is refused.
    ResolutionCase{"Console64", PathStyle::Windows, "tool.EXE", "-c main.c", true, FoundFile::Console64,
                   platform::kBinary64Bit, "\"$\" -c main.c", "tool.EXE|.EXE"},
    ResolutionCase{"Console64OffNt", PathStyle::Windows, "tool", "", false, FoundFile::Console64,
                   platform::kBinary64Bit, "\"$\" ", "tool|.EXE"},
    ResolutionCase{"Windowed64", PathStyle::Windows, "tool", "", true, FoundFile::Windowed64, platform::kBinary64Bit,
                   kUnsupported, "tool|.EXE"},
    ResolutionCase{"Console64HeaderUnreadable", PathStyle::Windows, "tool", "", true, FoundFile::Missing,
                   platform::kBinary64Bit, kUnsupported, "tool|.EXE"},
    // Other kinds stay refused, whatever their header says.
    ResolutionCase{"SixteenBit", PathStyle::Windows, "old.exe", "", true, FoundFile::Console, platform::kBinary16Bit,
                   kUnsupported, "old.exe|.EXE"},
    ResolutionCase{"Pif", PathStyle::Windows, "old.exe", "", true, FoundFile::Console, 3u, kUnsupported,
                   "old.exe|.EXE"},
    ResolutionCase{"Os2", PathStyle::Windows, "old.exe", "", true, FoundFile::Console, 5u, kUnsupported,
                   "old.exe|.EXE"}));

INSTANTIATE_TEST_SUITE_P(PosixRules, ResolveProgramTest, ::testing::Values(
    ResolutionCase{"NativeProgram", PathStyle::Posix, "gcc", "-c x.c", true, FoundFile::Console,
                   platform::kBinaryNative, "\"$\" -c x.c", "gcc|"},
    ResolutionCase{"NoExtensionRules", PathStyle::Posix, "make.bat", "", true, FoundFile::Console,
                   platform::kBinaryNative, "\"$\" ", "make.bat|"},
    ResolutionCase{"NotFound", PathStyle::Posix, "./nothing", "", true, FoundFile::None, platform::kBinaryNative,
                   "!Could not find file ./nothing", "./nothing|"},
    ResolutionCase{"NotAProgram", PathStyle::Posix, "notes.txt", "", true, FoundFile::Console,
                   platform::kBinaryOther, kUnsupported, "notes.txt|"},
    ResolutionCase{"TypeUnknown", PathStyle::Posix, "tool", "", true, FoundFile::Console, std::nullopt,
                   "!Could not determine type of $", "tool|"}));

/// One binary type (32-bit unless a test sets another) for every file, so that the PE header of
/// any real file is read.
class ImagePlatform : public exec_test::ForwardingPlatform {
public:
    std::optional<std::uint32_t> BinaryTypeOf(const std::string &) override { return type; }
    std::optional<std::uint32_t> type = platform::kBinary32Bit;
};

struct ImageCase {
    const char *name;
    std::string bytes;
    std::string failure;                    // empty: no failure
    std::optional<std::uint16_t> subsystem;
    std::uint32_t type = platform::kBinary32Bit;  // what the system says the file is
};

void PrintTo(const ImageCase &c, std::ostream *out) { *out << c.name; }

class GetImageTypeTest : public ::testing::TestWithParam<ImageCase> {};

TEST_P(GetImageTypeTest, ReadsTheHeaders) {
    const ImageCase &c = GetParam();
    support::TempFolder folder("exec");
    const std::string file = folder.Write("image.exe", c.bytes);
    ImagePlatform fake;
    fake.type = c.type;
    {
        platform::ScopedPlatform installed(fake);
        ImageType image;
        EXPECT_EQ(FailureOf([&] { image = GetImageType(file); }), c.failure.empty() ? "(nothing thrown)" : c.failure);
        if (c.failure.empty()) {
            EXPECT_TRUE(image.ok);
            EXPECT_EQ(image.binaryType, c.type);
            EXPECT_EQ(image.subsystem, c.subsystem);
        }
    }
    EXPECT_TRUE(fake.OpenHandles().empty()) << "the file was left open";
}

std::string WithByte(std::string bytes, std::size_t at, char value) {
    bytes[at] = value;
    return bytes;
}

std::string WithNewHeaderAt(std::string bytes, std::uint32_t offset) {
    Put32(bytes, 60, offset);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(Files, GetImageTypeTest, ::testing::Values(
    ImageCase{"Console", PeHeaders(3), "", 3},
    ImageCase{"Windowed", PeHeaders(2), "", 2},
    ImageCase{"NoMz", WithByte(PeHeaders(3), 0, 'X'), "Dos signature not present", {}},
    ImageCase{"ZmInsteadOfMz", WithByte(WithByte(PeHeaders(3), 0, 'Z'), 1, 'M'), "Dos signature not present", {}},
    ImageCase{"Empty", "", "Dos signature not present", {}},
    ImageCase{"ShortDosHeader", "MZ" + std::string(20, '\0'), "Dos signature not present", {}},
    ImageCase{"NoPe", PeHeaders(3, 224, std::string("PX\0\0", 4)), "NT signature not present", {}},
    ImageCase{"PeWithoutZeros", PeHeaders(3, 224, "PE!!"), "NT signature not present", {}},
    ImageCase{"NewHeaderPastTheEnd", WithNewHeaderAt(PeHeaders(3), 100000), "NT signature not present", {}},
    ImageCase{"TruncatedOptionalHeader", PeHeaders(3, 60), "", std::nullopt},
    ImageCase{"OptionalHeaderJustHoldingTheSubsystem", PeHeaders(3, 70), "", 3},
    ImageCase{"Console64", Pe64Headers(3), "", 3, platform::kBinary64Bit},
    ImageCase{"Windowed64", Pe64Headers(2), "", 2, platform::kBinary64Bit},
    ImageCase{"NoMz64", WithByte(Pe64Headers(3), 0, 'X'), "Dos signature not present", {}, platform::kBinary64Bit},
    ImageCase{"NoPe64", WithByte(Pe64Headers(3), 129, 'X'), "NT signature not present", {}, platform::kBinary64Bit},
    ImageCase{"TruncatedOptionalHeader64", Pe64Headers(3, 68), "", std::nullopt, platform::kBinary64Bit},
    ImageCase{"OptionalHeader64JustHoldingTheSubsystem", Pe64Headers(3, 70), "", 3, platform::kBinary64Bit}));

TEST(GetImageType, TellsWhatTheSystemCannot) {
    ImagePlatform fake;
    platform::ScopedPlatform installed(fake);
    fake.type = std::nullopt;
    EXPECT_FALSE(GetImageType("whatever.exe").ok);

    // Not a 32-bit or 64-bit image: no header is read.
    for (std::uint32_t type : {platform::kBinaryDos, platform::kBinary16Bit}) {
        fake.type = type;
        ImageType other = GetImageType("/no/such/file.com");
        EXPECT_TRUE(other.ok);
        EXPECT_EQ(other.binaryType, type);
        EXPECT_EQ(other.subsystem, std::nullopt);
    }

    // A 32-bit image that can't be opened: the type is known, the subsystem is not.
    fake.type = platform::kBinary32Bit;
    ImageType unreadable = GetImageType("/no/such/file.exe");
    EXPECT_TRUE(unreadable.ok);
    EXPECT_EQ(unreadable.subsystem, std::nullopt);
    EXPECT_TRUE(fake.OpenHandles().empty());
}

/// System error texts set by the test.
class ErrorTextPlatform : public exec_test::ForwardingPlatform {
public:
    std::string SystemErrorText(std::uint32_t code) override {
        asked.push_back(code);
        return text;
    }
    std::string text;
    std::vector<std::uint32_t> asked;
};

struct ErrorCase {
    std::uint32_t code;
    const char *systemText;
    const char *message;
};

class SystemErrorMessageTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(SystemErrorMessageTest, TrimsTheSystemText) {
    ErrorTextPlatform fake;
    fake.text = GetParam().systemText;
    platform::ScopedPlatform installed(fake);
    EXPECT_EQ(SystemErrorMessage(GetParam().code), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Texts, SystemErrorMessageTest, ::testing::Values(
    ErrorCase{2, "The system cannot find the file specified.\r\n", "Win32 Error.  Code: 2.\nThe system cannot find the file specified"},
    ErrorCase{5, "Access is denied. . . \t ", "Win32 Error.  Code: 5.\nAccess is denied"},
    ErrorCase{6, "No dots here", "Win32 Error.  Code: 6.\nNo dots here"},
    ErrorCase{7, "Inner. dots. stay...", "Win32 Error.  Code: 7.\nInner. dots. stay"},
    ErrorCase{8, " \r\n", "Win32 Error.  Code: 8.\n"},
    ErrorCase{3221225477u, "Crash.", "Win32 Error.  Code: 3221225477.\nCrash"},
    ErrorCase{0, "ignored", "A Win32 API function failed"}));

TEST(SystemErrorMessage, UsesTheRealSystemText) {
#if defined(_WIN32)
    EXPECT_EQ(SystemErrorMessage(2).rfind("Win32 Error.  Code: 2.\n", 0), 0u);
#else
    EXPECT_EQ(SystemErrorMessage(2), "Win32 Error.  Code: 2.\nNo such file or directory");
#endif
}

}  // namespace
