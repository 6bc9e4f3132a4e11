// A fresh folder for one test, removed with everything in it at the end.
#pragma once

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace farhost_test {

class TempFolder {
public:
    TempFolder() {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::temp_directory_path() /
                ("farhost-test-" + std::to_string(Stamp()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    std::string Path() const { return path_.string(); }
    std::string File(const std::string &name) const { return (path_ / name).string(); }
    std::string Write(const std::string &name, const std::string &bytes) const {
        std::ofstream out(path_ / name, std::ios::binary);
        out << bytes;
        return File(name);
    }
    std::string Read(const std::string &name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

private:
    static long long Stamp() {
        return static_cast<long long>(std::filesystem::file_time_type::clock::now().time_since_epoch().count());
    }
    std::filesystem::path path_;
};

}  // namespace farhost_test
