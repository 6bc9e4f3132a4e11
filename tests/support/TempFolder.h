// A scratch folder of real files for one test.
#pragma once

#include <filesystem>
#include <string>

namespace support {

/// A fresh folder under the system's temporary folder, made when the object is and removed with
/// everything in it when the object goes. `tag` becomes part of the folder's name, so that a
/// folder left behind by a crashed run tells which tests made it. Names handed out are full
/// names in the platform's own spelling.
class TempFolder {
public:
    explicit TempFolder(const std::string &tag = "test");
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    const std::filesystem::path &Path() const { return path_; }
    /// The folder's full name.
    std::string Name() const { return path_.string(); }
    /// The full name of `relative` inside the folder, whether or not it exists.
    std::string Name(const std::string &relative) const { return (path_ / relative).string(); }

    /// Writes `bytes` exactly to `relative` inside the folder (making the folders on the way)
    /// and returns its full name; `executable` adds the owner's execute permission. Throws
    /// std::runtime_error when the file cannot be written.
    std::string Write(const std::string &relative, const std::string &bytes, bool executable = false) const;
    /// The bytes of `relative` inside the folder; empty when it cannot be read.
    std::string Read(const std::string &relative) const;

private:
    std::filesystem::path path_;
};

/// Writes `bytes` exactly to the file `path` (making the folders on the way); throws
/// std::runtime_error when it cannot.
void WriteFile(const std::filesystem::path &path, const std::string &bytes);

}  // namespace support
