// Configuration loading and ParseCommandList on arbitrary bytes, in memory and through a real
// file read by ReadConfiguration.
//
// Properties: the only failure is the integer message; after parsing no directive is left and
// every command carries its own option set; loading never yields more lines than the bytes
// allow, and reading the same bytes from a file gives the same commands as parsing them in memory.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "config/CommandConfig.h"
#include "config/TStringList.h"
#include "fuzz/FuzzCheck.h"

namespace fs = std::filesystem;

namespace {

bool IsIntegerMessage(const std::string &message) {
    return message.size() >= 2 && message.front() == '\'' &&
           message.find("' is not a valid integer value") != std::string::npos;
}

bool IsDirective(const std::string &name) { return !name.empty() && name[0] == '#'; }

/// Parses `bytes` as one loaded file; nullopt when an integer directive fails.
std::optional<TStringList> ParseInMemory(std::string_view bytes, TCommandOptions &base) {
    TStringList list;
    list.LoadFromBytes(bytes);
    FUZZ_CHECK(list.Count() <= bytes.size());
    try {
        ParseCommandList(base, list);
    } catch (const std::runtime_error &error) {
        FUZZ_CHECK(IsIntegerMessage(error.what()));
        return std::nullopt;
    }
    for (std::size_t i = 0; i < list.Count(); ++i) {
        FUZZ_CHECK(list.Object(i) != nullptr);
        std::string name = list.Name(i);
        for (char &c : name)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        FUZZ_CHECK(!IsDirective(name));
    }
    return list;
}

/// A folder of this process's own, for the per-extension file.
const fs::path &ScratchDir() {
    static const fs::path dir = [] {
        fs::path path = fs::temp_directory_path() / ("kilnrun-fuzz-config-" + std::to_string(::getpid()));
        fs::create_directories(path);
        return path;
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    TCommandOptions memoryBase;
    std::optional<TStringList> inMemory = ParseInMemory(bytes, memoryBase);

    // The same bytes as the edited file's own configuration file.
    const fs::path file = ScratchDir() / "fz.ini";
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(size));
    TCommandOptions fileBase;
    try {
        CommandLists lists = ReadConfiguration(fileBase, (ScratchDir() / "edited.fz").string());
        FUZZ_CHECK(inMemory.has_value());
        FUZZ_CHECK(lists.common != nullptr && lists.extension != nullptr);
        // A Types folder in the working directory would change the base; run from a clean one.
        if (!lists.common->Empty()) return 0;
        FUZZ_CHECK(lists.extension->Count() == inMemory->Count());
        for (std::size_t i = 0; i < inMemory->Count(); ++i) {
            FUZZ_CHECK(lists.extension->Text(i) == inMemory->Text(i));
            FUZZ_CHECK(lists.extension->Object(i)->RegExp == inMemory->Object(i)->RegExp);
            FUZZ_CHECK(lists.extension->Object(i)->LineMatch == inMemory->Object(i)->LineMatch);
        }
    } catch (const std::runtime_error &error) {
        FUZZ_CHECK(!inMemory.has_value());
        FUZZ_CHECK(IsIntegerMessage(error.what()));
    }
    return 0;
}
