#include "platform/ExecutablePath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace parvela {
namespace {

TEST(ExecutablePath, IsTheRunningTestProgram) {
    const std::string path = ExecutablePath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.front(), '/');
    EXPECT_EQ(std::filesystem::path(path).filename(), "platform_tests");
    EXPECT_EQ(std::filesystem::canonical(path),
              std::filesystem::canonical(std::string(PARVELA_BIN_DIR) + "/platform_tests"));
    struct stat ours {
    }, file{};
    ASSERT_EQ(::stat("/proc/self/exe", &ours), 0);
    ASSERT_EQ(::stat(path.c_str(), &file), 0);
    EXPECT_EQ(ours.st_ino, file.st_ino);
}

TEST(ExecutablePath, DirectoryEndsWithASlash) {
    const std::string directory = ExecutableDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.back(), '/');
    EXPECT_EQ(directory + "platform_tests", ExecutablePath());
    EXPECT_EQ(std::filesystem::canonical(directory), std::filesystem::canonical(PARVELA_BIN_DIR));
}

TEST(ExecutablePath, WithExtensionNamesTheSettingsFileBesideIt) {
    EXPECT_EQ(ExecutablePathWithExtension(".ini"), ExecutableDirectory() + "platform_tests.ini");
}

TEST(ChangeFileExtension, ReplacesOrAddsTheExtensionOfTheFileName) {
    const struct {
        const char* path;
        const char* extension;
        const char* expected;
    } cases[] = {
        {"/opt/parvela/parvela", ".ini", "/opt/parvela/parvela.ini"},
        {"/opt/parvela/parvela.exe", ".ini", "/opt/parvela/parvela.ini"},
        {"/opt/parvela/A.B.exe", ".ini", "/opt/parvela/A.B.ini"},
        {"/opt/parvela.d/parvela", ".ini", "/opt/parvela.d/parvela.ini"},
        {"parvela", ".ini", "parvela.ini"},
        {"/opt/parvela/parvela.exe", ".htm", "/opt/parvela/parvela.htm"},
        {"/opt/parvela/parvela.exe", "", "/opt/parvela/parvela"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ChangeFileExtension(c.path, c.extension), c.expected);
    }
}

} // namespace
} // namespace parvela
