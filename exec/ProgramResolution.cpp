#include "exec/ProgramResolution.h"

#include <array>
#include <stdexcept>

#include "config/Dirs.h"
#include "config/TextRules.h"

namespace {

using platform::Current;
using platform::PathStyle;

constexpr std::uint16_t kConsoleSubsystem = 3;

std::string Quoted(const std::string &program, const std::string &arguments) {
    return "\"" + program + "\" " + arguments;
}

[[noreturn]] void Fail(const std::string &message) { throw std::runtime_error(message); }

const char *const kUnsupportedImage = "Executable image is not a supported type";

/// A 32-bit (PE32) or 64-bit (PE32+) Windows image: both carry the subsystem in their header,
/// and a 32-bit process starts either kind with the same command line.
bool IsPeImage(std::uint32_t binaryType) {
    return binaryType == platform::kBinary32Bit || binaryType == platform::kBinary64Bit;
}

std::string ResolveWindows(const std::string &program, const std::string &arguments) {
    platform::Platform &system = Current();
    const std::string extension = UpperAscii(FileExtension(program, PathStyle::Windows));
    if (extension == ".BAT" || (extension == ".CMD" && system.IsNtPlatform())) {
        return Quoted(program, arguments);
    }
    if (!extension.empty() && extension != ".EXE" && extension != ".COM") {
        Fail(program + " has invalid file extension");
    }
    std::optional<std::string> found = system.FindOnSearchPath(program, ".EXE");
    if (!found) Fail("Could not find file " + program);
    ImageType image = GetImageType(*found);
    if (!image.ok) Fail("Could not determine type of " + *found);
    if (image.binaryType == platform::kBinaryDos && system.IsNtPlatform()) {
        return "cmd /c\"" + Quoted(*found, arguments) + "\"";
    }
    if (IsPeImage(image.binaryType) && image.subsystem == kConsoleSubsystem) {
        return Quoted(*found, arguments);
    }
    Fail(kUnsupportedImage);
}

std::string ResolvePosix(const std::string &program, const std::string &arguments) {
    platform::Platform &system = Current();
    // The backend's search takes a name holding "/" as it is and looks any other up on PATH.
    std::optional<std::string> found = system.FindOnSearchPath(program, "");
    if (!found) Fail("Could not find file " + program);
    std::optional<std::uint32_t> type = system.BinaryTypeOf(*found);
    if (!type) Fail("Could not determine type of " + *found);
    if (*type != platform::kBinaryNative) Fail(kUnsupportedImage);
    return Quoted(*found, arguments);
}

std::uint32_t LittleEndian32(const unsigned char *bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

std::uint16_t LittleEndian16(const unsigned char *bytes) {
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

/// Reads exactly `size` bytes unless the file ends first; returns the count read.
std::size_t ReadUpTo(platform::NativeHandle file, unsigned char *buffer, std::size_t size) {
    std::size_t have = 0;
    while (have < size) {
        long count = Current().ReadFile(file, buffer + have, size - have);
        if (count <= 0) break;
        have += static_cast<std::size_t>(count);
    }
    return have;
}

/// The subsystem field of a PE image, or nullopt when the headers end before it. The field
/// stands at the same offset in the optional headers of PE32 (224 bytes) and PE32+ (240 bytes)
/// images; only the bytes up to PE32's size are read.
std::optional<std::uint16_t> ReadSubsystem(platform::NativeHandle file) {
    constexpr std::size_t kDosHeaderSize = 64;
    constexpr std::size_t kNewHeaderOffsetField = 60;
    constexpr std::size_t kFileHeaderSize = 20;
    constexpr std::size_t kOptionalHeaderSize = 224;
    constexpr std::size_t kSubsystemField = 68;

    std::array<unsigned char, kDosHeaderSize> dosHeader{};
    if (ReadUpTo(file, dosHeader.data(), dosHeader.size()) < dosHeader.size() ||
        LittleEndian16(dosHeader.data()) != 0x5A4D) {
        throw std::runtime_error("Dos signature not present");
    }
    std::array<unsigned char, 4> signature{};
    if (!Current().SetFilePointer(file, LittleEndian32(dosHeader.data() + kNewHeaderOffsetField)) ||
        ReadUpTo(file, signature.data(), signature.size()) < signature.size() ||
        signature != std::array<unsigned char, 4>{'P', 'E', 0, 0}) {
        throw std::runtime_error("NT signature not present");
    }
    std::array<unsigned char, kFileHeaderSize> fileHeader{};
    std::array<unsigned char, kOptionalHeaderSize> optionalHeader{};
    if (ReadUpTo(file, fileHeader.data(), fileHeader.size()) < fileHeader.size()) return std::nullopt;
    std::size_t have = ReadUpTo(file, optionalHeader.data(), optionalHeader.size());
    if (have < kSubsystemField + 2) return std::nullopt;
    return LittleEndian16(optionalHeader.data() + kSubsystemField);
}

}  // namespace

ImageType GetImageType(const std::string &fileName) {
    ImageType image;
    std::optional<std::uint32_t> type = Current().BinaryTypeOf(fileName);
    if (!type) return image;
    image.ok = true;
    image.binaryType = *type;
    if (!IsPeImage(*type)) return image;
    platform::UniqueHandle file(Current().OpenFileForRead(fileName));
    if (!file.Valid()) return image;
    image.subsystem = ReadSubsystem(file.Get());
    return image;
}

std::string ResolveProgram(const std::string &program, const std::string &arguments,
                           PathStyle rules) {
    return rules == PathStyle::Windows ? ResolveWindows(program, arguments)
                                       : ResolvePosix(program, arguments);
}
