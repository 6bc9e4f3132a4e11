#include "config/Dirs.h"

#include <gtest/gtest.h>

#include "config/ConfigTestSupport.h"

namespace {

using platform::PathStyle;

// The current directory that the fake platform reports, in each rule set's spelling.
const char *CurrentDirFor(PathStyle style) { return style == PathStyle::Windows ? "D:\\work" : "/work"; }

struct PathCase {
    PathStyle style;
    std::string path;
    std::string dir;       // PathDir
    std::string dirOrCurrent;
    std::string fileName;  // FileNamePart
    std::string expanded;  // ExpandPathName
    std::string extension;
};

class PathOperations : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathOperations, FollowTheRulesOfTheirStyle) {
    const PathCase &c = GetParam();
    configtest::FixedDirectoryPlatform fake(CurrentDirFor(c.style));
    platform::ScopedPlatform installed(fake);
    EXPECT_EQ(PathDir(c.path, c.style), c.dir);
    EXPECT_EQ(PathDirOrCurrent(c.path, c.style), c.dirOrCurrent);
    EXPECT_EQ(FileNamePart(c.path, c.style), c.fileName);
    EXPECT_EQ(ExpandPathName(c.path, c.style), c.expanded);
    EXPECT_EQ(FileExtension(c.path, c.style), c.extension);
}

constexpr PathStyle W = PathStyle::Windows;
constexpr PathStyle P = PathStyle::Posix;

INSTANTIATE_TEST_SUITE_P(
    Windows, PathOperations,
    ::testing::Values(
        PathCase{W, "C:\\main.c", "C:\\", "C:\\", "main.c", "C:\\main.c", ".c"},
        PathCase{W, "C:\\src\\main.c", "C:\\src", "C:\\src", "main.c", "C:\\src\\main.c", ".c"},
        PathCase{W, "main.c", "", "D:\\work", "main.c", "D:\\work\\main.c", ".c"},
        PathCase{W, "C:main.c", "C:", "C:", "main.c", "C:\\main.c", ".c"},
        PathCase{W, "\\main.c", "\\", "\\", "main.c", "\\main.c", ".c"},
        PathCase{W, "\\\\server\\share\\a.pas", "\\\\server\\share", "\\\\server\\share", "a.pas",
                 "\\\\server\\share\\a.pas", ".pas"},
        PathCase{W, "C:\\src\\\\x.c", "C:\\src\\\\", "C:\\src\\\\", "x.c", "C:\\src\\\\x.c", ".c"},
        PathCase{W, "C:\\my.dir\\Makefile", "C:\\my.dir", "C:\\my.dir", "Makefile",
                 "C:\\my.dir\\Makefile", ""},
        PathCase{W, "C:\\src\\archive.tar.gz", "C:\\src", "C:\\src", "archive.tar.gz",
                 "C:\\src\\archive.tar.gz", ".gz"},
        PathCase{W, "C:\\src\\.profile", "C:\\src", "C:\\src", ".profile", "C:\\src\\.profile",
                 ".profile"},
        PathCase{W, "C:\\src\\name.", "C:\\src", "C:\\src", "name.", "C:\\src\\name.", "."},
        PathCase{W, "C:\\src\\", "C:\\src", "C:\\src", "", "C:\\src\\", ""},
        PathCase{W, "/home/a.c", "", "D:\\work", "/home/a.c", "D:\\work\\/home/a.c", ".c"},
        PathCase{W, "", "", "D:\\work", "", "D:\\work\\", ""}));

INSTANTIATE_TEST_SUITE_P(
    Posix, PathOperations,
    ::testing::Values(
        PathCase{P, "/main.c", "/", "/", "main.c", "/main.c", ".c"},
        PathCase{P, "/src/main.c", "/src", "/src", "main.c", "/src/main.c", ".c"},
        PathCase{P, "main.c", "", "/work", "main.c", "/work/main.c", ".c"},
        PathCase{P, "src/main.c", "src", "src", "main.c", "src/main.c", ".c"},
        PathCase{P, "//main.c", "//", "//", "main.c", "//main.c", ".c"},
        PathCase{P, "/my.dir/Makefile", "/my.dir", "/my.dir", "Makefile", "/my.dir/Makefile", ""},
        PathCase{P, "/src/.bashrc", "/src", "/src", ".bashrc", "/src/.bashrc", ".bashrc"},
        PathCase{P, "C:\\src\\main.c", "", "/work", "C:\\src\\main.c", "/work/C:\\src\\main.c", ".c"},
        PathCase{P, "/src/", "/src", "/src", "", "/src/", ""}));

struct JoinCase {
    PathStyle style;
    std::string dir;
    std::string name;
    std::string joined;
};

class JoinPathRules : public ::testing::TestWithParam<JoinCase> {};

TEST_P(JoinPathRules, AddsOneSeparatorWhenMissing) {
    EXPECT_EQ(JoinPath(GetParam().dir, GetParam().name, GetParam().style), GetParam().joined);
}

INSTANTIATE_TEST_SUITE_P(Both, JoinPathRules,
                         ::testing::Values(JoinCase{W, "C:\\src", "a.c", "C:\\src\\a.c"},
                                           JoinCase{W, "C:\\", "a.c", "C:\\a.c"},
                                           JoinCase{W, "C:", "a.c", "C:\\a.c"},
                                           JoinCase{W, "C:\\src", "Types\\c.ini", "C:\\src\\Types\\c.ini"},
                                           JoinCase{W, "C:/src/", "a.c", "C:/src/\\a.c"},
                                           JoinCase{P, "/src", "a.c", "/src/a.c"},
                                           JoinCase{P, "/", "a.c", "/a.c"},
                                           JoinCase{P, "/src/", "a.c", "/src/a.c"},
                                           JoinCase{P, "src\\", "a.c", "src\\/a.c"}));

struct ResolveCase {
    PathStyle style;
    std::string folder;
    std::string name;
    bool relative;  // IsRelativePath of the name
    std::string resolved;
};

class ResolveInFolderRules : public ::testing::TestWithParam<ResolveCase> {};

TEST_P(ResolveInFolderRules, JoinsOnlyRelativeNames) {
    const ResolveCase &c = GetParam();
    EXPECT_EQ(IsRelativePath(c.name, c.style), c.relative);
    EXPECT_EQ(ResolveInFolder(c.folder, c.name, c.style), c.resolved);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, ResolveInFolderRules,
    ::testing::Values(ResolveCase{W, "C:\\p\\src", "util.c", true, "C:\\p\\src\\util.c"},
                      ResolveCase{W, "C:\\p\\src", "inc/util.h", true, "C:\\p\\src\\inc\\util.h"},
                      ResolveCase{W, "C:\\p\\src", ".\\main.c", true, "C:\\p\\src\\main.c"},
                      ResolveCase{W, "C:\\p\\src", "..\\include\\x.h", true, "C:\\p\\include\\x.h"},
                      ResolveCase{W, "C:\\p\\q", "../../x.h", true, "C:\\x.h"},
                      ResolveCase{W, "C:\\", "..\\x.h", true, "C:\\..\\x.h"},  // the root stays
                      ResolveCase{W, "C:\\", "x.h", true, "C:\\x.h"},
                      ResolveCase{W, "\\\\srv\\share\\src", "a//b.c", true, "\\\\srv\\share\\src\\a\\b.c"},
                      ResolveCase{W, "C:\\p", "D:\\q\\x.c", false, "D:\\q\\x.c"},
                      ResolveCase{W, "C:\\p", "d:x.c", false, "d:x.c"},
                      ResolveCase{W, "C:\\p", "\\q\\x.c", false, "\\q\\x.c"},
                      ResolveCase{W, "C:\\p", "/q/./x.c", false, "/q/./x.c"},
                      ResolveCase{W, "", "..\\x.c", true, "..\\x.c"}));  // no folder: as it stands

INSTANTIATE_TEST_SUITE_P(
    Posix, ResolveInFolderRules,
    ::testing::Values(ResolveCase{P, "/p/src", "util.c", true, "/p/src/util.c"},
                      ResolveCase{P, "/p/src", "./main.c", true, "/p/src/main.c"},
                      ResolveCase{P, "/p/src", "../include/./x.h", true, "/p/include/x.h"},
                      ResolveCase{P, "/p/src", "a/../../../../x.h", true, "/../x.h"},
                      ResolveCase{P, "/p/src", "inc\\util.h", true, "/p/src/inc\\util.h"},
                      ResolveCase{P, "/p/src", "/q/../x.c", false, "/q/../x.c"},
                      ResolveCase{P, "/p/src", "C:\\x.c", true, "/p/src/C:\\x.c"}));

TEST(Dirs, DelimitersOfEachStyle) {
    EXPECT_TRUE(IsPathDelimiter('\\', W));
    EXPECT_TRUE(IsPathDelimiter(':', W));
    EXPECT_FALSE(IsPathDelimiter('/', W));
    EXPECT_TRUE(IsPathDelimiter('/', P));
    EXPECT_FALSE(IsPathDelimiter('\\', P));
    EXPECT_FALSE(IsPathDelimiter(':', P));
    EXPECT_EQ(DirectorySeparator(W), '\\');
    EXPECT_EQ(DirectorySeparator(P), '/');
    EXPECT_EQ(DirectorySeparator(), platform::NativePathStyle() == W ? '\\' : '/');
}

TEST(Dirs, BareNameGetsTheRealCurrentDirectory) {
    std::string current = platform::Current().CurrentDirectory();
    ASSERT_FALSE(current.empty());
    EXPECT_EQ(PathDirOrCurrent("main.c"), current);
    EXPECT_EQ(ExpandPathName("main.c"), JoinPath(current, "main.c"));
}

TEST(Dirs, ModuleDirAndTypesFileFollowTheModuleName) {
    bool windows = platform::NativePathStyle() == W;
    configtest::FakeHost host(windows ? "C:\\Far\\Plugins\\Kilnrun\\Kilnrun.dll"
                                      : "/opt/far/plugins/kilnrun/Kilnrun.so");
    if (windows) {
        EXPECT_EQ(ModuleDir(), "C:\\Far\\Plugins\\Kilnrun");
        EXPECT_EQ(TypesFile("AllFiles.ini"), "C:\\Far\\Plugins\\Kilnrun\\Types\\AllFiles.ini");
    } else {
        EXPECT_EQ(ModuleDir(), "/opt/far/plugins/kilnrun");
        EXPECT_EQ(TypesFile("AllFiles.ini"), "/opt/far/plugins/kilnrun/Types/AllFiles.ini");
    }
}

TEST(Dirs, ModuleInTheRootKeepsTheRoot) {
    bool windows = platform::NativePathStyle() == W;
    configtest::FakeHost host(windows ? "C:\\Kilnrun.dll" : "/Kilnrun.so");
    EXPECT_EQ(TypesFile("c.ini"), windows ? "C:\\Types\\c.ini" : "/Types/c.ini");
}

}  // namespace
