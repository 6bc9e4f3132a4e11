// Files and the current directory, on real files and folders.
#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "PlatformTestSupport.h"
#include "support/TempFolder.h"

namespace {

using support::TempFolder;

platform::Platform &System() { return platform::System(); }

/// Bytes that a text-mode read would mangle: NUL, lone CR, CR LF, LF, a DOS end-of-file mark
/// and the high half.
std::string AwkwardBytes() {
    std::string bytes("a\0b\rc\r\nd\ne\x1a" "f", 11);
    for (int c = 128; c < 256; ++c) bytes += static_cast<char>(c);
    return bytes;
}

TEST(FileExists, IsTrueForAFileOnly) {
    TempFolder dir("platform");
    std::string file = dir.Write("present.txt", "x");
    std::string empty = dir.Write("empty.txt", "");
    std::filesystem::create_directory(dir.Path() / "folder");

    EXPECT_TRUE(System().FileExists(file));
    EXPECT_TRUE(System().FileExists(empty));
    EXPECT_FALSE(System().FileExists(dir.Name("folder")));
    EXPECT_FALSE(System().FileExists(dir.Path().string()));
    EXPECT_FALSE(System().FileExists(dir.Name("missing.txt")));
    EXPECT_FALSE(System().FileExists(""));
}

TEST(ReadWholeFile, GivesEveryByteUnchanged) {
    TempFolder dir("platform");
    const std::string bytes = AwkwardBytes();
    std::string read = "old contents";
    ASSERT_TRUE(System().ReadWholeFile(dir.Write("bytes.bin", bytes), read));
    EXPECT_EQ(read, bytes);
}

TEST(ReadWholeFile, ReadsAFileLargerThanOneChunk) {
    TempFolder dir("platform");
    std::string bytes;
    for (int i = 0; i < 300000; ++i) bytes += static_cast<char>(i * 7);
    std::string read;
    ASSERT_TRUE(System().ReadWholeFile(dir.Write("large.bin", bytes), read));
    EXPECT_EQ(read, bytes);
}

TEST(ReadWholeFile, GivesAnEmptyFileAsNoBytes) {
    TempFolder dir("platform");
    std::string read = "old";
    ASSERT_TRUE(System().ReadWholeFile(dir.Write("empty", ""), read));
    EXPECT_EQ(read, "");
}

TEST(ReadWholeFile, FailsForAMissingFileOrAFolder) {
    TempFolder dir("platform");
    std::string read = "kept";
    EXPECT_FALSE(System().ReadWholeFile(dir.Name("missing"), read));
    EXPECT_FALSE(System().ReadWholeFile(dir.Path().string(), read));
    EXPECT_EQ(read, "kept");
}

TEST(ReadWholeFile, FailsForAFileThatCannotBeRead) {
    TempFolder dir("platform");
    std::string file = dir.Write("locked.txt", "secret");
    std::string read;
#if defined(_WIN32)
    // A handle that shares nothing keeps every other reader out.
    HANDLE exclusive = ::CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(System().ReadWholeFile(file, read));
    ::CloseHandle(exclusive);
    EXPECT_TRUE(System().ReadWholeFile(file, read));
#else
    ASSERT_EQ(::chmod(file.c_str(), 0), 0);
    if (::access(file.c_str(), R_OK) == 0) {
        // Root reads past permissions; this file opens but refuses to be read from its start.
        file = "/proc/self/mem";
    }
    EXPECT_TRUE(System().FileExists(file));
    EXPECT_FALSE(System().ReadWholeFile(file, read));
#endif
}

TEST(OpenFileForRead, ReadsFromAnOffsetToTheEnd) {
    TempFolder dir("platform");
    std::string file = dir.Write("header.bin", std::string("MZ\0\0PE\0\0tail", 12));
    platform::UniqueHandle handle(System().OpenFileForRead(file));
    ASSERT_TRUE(handle.Valid());

    char buffer[16] = {};
    EXPECT_EQ(System().ReadFile(handle.Get(), buffer, 2), 2);
    EXPECT_EQ(std::string(buffer, 2), "MZ");
    ASSERT_TRUE(System().SetFilePointer(handle.Get(), 4));
    EXPECT_EQ(System().ReadFile(handle.Get(), buffer, sizeof buffer), 8);
    EXPECT_EQ(std::string(buffer, 8), std::string("PE\0\0tail", 8));
    // At the end of a file a read succeeds with nothing, unlike a broken pipe.
    EXPECT_EQ(System().ReadFile(handle.Get(), buffer, sizeof buffer), 0);
    ASSERT_TRUE(System().SetFilePointer(handle.Get(), 100));
    EXPECT_EQ(System().ReadFile(handle.Get(), buffer, sizeof buffer), 0);
}

TEST(OpenFileForRead, FailsForAMissingFile) {
    TempFolder dir("platform");
    EXPECT_EQ(System().OpenFileForRead(dir.Name("missing")), platform::kNoHandle);
    EXPECT_EQ(System().LastErrorCode(), platform_test::FileNotFoundCode());
}

TEST(OpenFileForRead, SharesReadingWithOtherReaders) {
    TempFolder dir("platform");
    std::string file = dir.Write("shared.txt", "abc");
    platform::UniqueHandle first(System().OpenFileForRead(file));
    platform::UniqueHandle second(System().OpenFileForRead(file));
    EXPECT_TRUE(first.Valid());
    EXPECT_TRUE(second.Valid());
    std::string read;
    EXPECT_TRUE(System().ReadWholeFile(file, read));
}

/// Puts the current directory back when a test has moved it.
class CurrentDirectoryTest : public testing::Test {
protected:
    void SetUp() override { saved_ = std::filesystem::current_path(); }
    void TearDown() override { std::filesystem::current_path(saved_); }

private:
    std::filesystem::path saved_;
};

TEST_F(CurrentDirectoryTest, RoundTrips) {
    TempFolder dir("platform");
    std::filesystem::create_directory(dir.Path() / "sub dir");
    const std::string target = std::filesystem::canonical(dir.Path() / "sub dir").string();

    ASSERT_TRUE(System().ChangeDirectory(target));
    EXPECT_EQ(std::filesystem::path(System().CurrentDirectory()), std::filesystem::path(target));
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(target));

    // A relative name is taken against the current directory.
    ASSERT_TRUE(System().ChangeDirectory(".."));
    EXPECT_EQ(std::filesystem::path(System().CurrentDirectory()),
              std::filesystem::canonical(dir.Path()));
}

TEST_F(CurrentDirectoryTest, RefusesWhatCannotBeEntered) {
    TempFolder dir("platform");
    const std::string before = System().CurrentDirectory();
    EXPECT_FALSE(System().ChangeDirectory(dir.Name("missing")));
    EXPECT_FALSE(System().ChangeDirectory(dir.Write("file.txt", "x")));
    EXPECT_EQ(System().CurrentDirectory(), before);
}

}  // namespace
