#include "support/TempFolder.h"

#include <atomic>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace support {

TempFolder::TempFolder(const std::string &tag) {
    // A random part keeps parallel test processes apart; creating the folder tells whether the
    // name was free.
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (;;) {
        path_ = base / ("kilnrun-" + tag + "-" + std::to_string(std::random_device{}()) + "-" +
                        std::to_string(counter++));
        if (std::filesystem::create_directory(path_)) break;
    }
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::Write(const std::string &relative, const std::string &bytes, bool executable) const {
    const std::filesystem::path file = path_ / relative;
    WriteFile(file, bytes);
    if (executable) {
        std::filesystem::permissions(file, std::filesystem::perms::owner_exec,
                                     std::filesystem::perm_options::add);
    }
    return file.string();
}

std::string TempFolder::Read(const std::string &relative) const {
    std::ifstream in(path_ / relative, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const std::filesystem::path &path, const std::string &bytes) {
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace support
