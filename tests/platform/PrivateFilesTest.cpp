// What the program keeps to one user: the private temporary directory and what it refuses,
// the modes of the files and directories that the program creates, and a second user of the
// same temporary directory.

#include "platform/AtomicFile.h"
#include "platform/UserDirectories.h"

#include "platform/Exceptions.h"
#include "tests/platform/TestDirectory.h"

#include <gmock/gmock.h>

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace parvela {
namespace {

using test::ModeOf;
using test::ReadText;
using test::TScopedEnvironment;
using test::TTestDirectory;
using test::WriteText;
using ::testing::HasSubstr;

namespace fs = std::filesystem;

// The user that plays the other user of the machine.
constexpr uid_t OtherUser = 65534;

class PrivateFilesTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(tmp); }
    std::string Private() const { return tmp + "/parvela-" + std::to_string(::geteuid()); }

    TTestDirectory dir;
    std::string tmp = dir / "tmp";
    TScopedEnvironment tmpdir{"TMPDIR", tmp};
    TScopedEnvironment runtime{"XDG_RUNTIME_DIR", std::nullopt};
};

TEST_F(PrivateFilesTest, ThePrivateDirectoryIsMadeForTheUserAlone) {
    EXPECT_EQ(PrivateTemporaryDirectory(), Private() + "/");
    EXPECT_EQ(ModeOf(Private()), 0700u);
    EXPECT_EQ(PrivateTemporaryDirectory(), Private() + "/") << "found again";
    // The session's runtime directory when there is one; not one that does not exist or is
    // not absolute.
    const std::string run = dir / "run";
    fs::create_directories(run);
    {
        TScopedEnvironment session("XDG_RUNTIME_DIR", run);
        EXPECT_EQ(PrivateTemporaryDirectory(), run + "/parvela/");
        EXPECT_EQ(ModeOf(run + "/parvela"), 0700u);
    }
    for (const std::string& value : {dir / "missing", std::string("run")}) {
        TScopedEnvironment session("XDG_RUNTIME_DIR", value);
        EXPECT_EQ(PrivateTemporaryDirectory(), Private() + "/") << value;
    }
}

// What another user may have planted where our private directory belongs is refused with the
// reason and the fix, and left as it is: nothing of ours goes there, no link is followed.
TEST_F(PrivateFilesTest, WhatAnotherUserPlantedIsRefusedAndLeftAsItIs) {
    struct Case {
        const char* Name;
        std::function<void(const std::string& path, const std::string& elsewhere)> Plant;
        const char* Reason;
    };
    auto directory = [](mode_t mode, uid_t owner) {
        return [mode, owner](const std::string& path, const std::string&) {
            ASSERT_EQ(::mkdir(path.c_str(), 0700), 0);
            ASSERT_EQ(::chmod(path.c_str(), mode), 0);
            ASSERT_EQ(::chown(path.c_str(), owner, owner), 0);
        };
    };
    const std::string elsewhere = dir / "elsewhere";
    for (const Case& c :
         {Case{"a link to a directory",
               [](const std::string&path, const std::string&target) {
                   fs::create_directory_symlink(target, path);
               },
               "it is a symbolic link"},
          Case{"a file", [](const std::string&path, const std::string&) { WriteText(path, "x"); },
               "it is no directory"},
          Case{"a directory of another user", directory(0700, OtherUser),
               "it belongs to another user (uid 65534)"},
          Case{"a directory open to everyone", directory(0777, ::geteuid()),
               "other users may enter it (mode 0777)"},
          Case{"a directory open to the group", directory(0750, ::geteuid()),
               "other users may enter it (mode 0750)"}}) {
        if (::geteuid() != 0 && std::string(c.Name) == "a directory of another user")
            continue; // only root can give a directory away
        fs::remove_all(Private());
        fs::remove_all(elsewhere);
        fs::create_directories(elsewhere);
        ::chmod(elsewhere.c_str(), 0777);
        c.Plant(Private(), elsewhere);
        const unsigned planted = ModeOf(Private());
        try {
            PrivateTemporaryDirectory();
            ADD_FAILURE() << c.Name << " was taken";
        } catch (const EOSError& e) {
            EXPECT_EQ(e.Message(), "The directory \"" + Private() +
                                       "\" cannot hold this user's private files: " + c.Reason +
                                       ". Remove it, or set TMPDIR to a directory of your own.")
                << c.Name;
        }
        EXPECT_EQ(ModeOf(Private()), planted) << c.Name;
        EXPECT_EQ(ModeOf(elsewhere), 0777u) << c.Name;
        EXPECT_TRUE(fs::is_empty(elsewhere)) << c.Name;
    }
}

TEST_F(PrivateFilesTest, APrivateFileReplacesALinkAndIsTheUsersAlone) {
    const std::string report = PrivateTemporaryDirectory() + "Example.htm";
    const std::string target = dir / "target.txt";
    WriteText(target, "kept");
    fs::create_symlink(target, report);
    ReplacePrivateFile(report, "page");
    EXPECT_EQ(ReadText(target), "kept") << "the link is never followed";
    EXPECT_FALSE(fs::is_symlink(report));
    EXPECT_EQ(ReadText(report), "page");
    EXPECT_EQ(ModeOf(report), 0600u);
    ::chmod(report.c_str(), 0666);
    ReplacePrivateFile(report, "second");
    EXPECT_EQ(ReadText(report), "second");
    EXPECT_EQ(ModeOf(report), 0600u) << "an older file open to others is replaced";
}

// Files that may hold a password (the per-user settings and registry) are the owner's alone,
// as are the directories made for them; others are readable by everyone. A file that exists
// keeps the mode its owner gave it.
TEST_F(PrivateFilesTest, NewFilesAndDirectoriesGetTheModesOfTheirAccess) {
    struct Case {
        TFileAccess Access;
        const char* Folder;
        unsigned File;
        unsigned Directory;
    };
    const mode_t previous = ::umask(022);
    for (const Case& c : {Case{TFileAccess::Everyone, "shared", 0644, 0755},
                          Case{TFileAccess::OwnerOnly, "own", 0600, 0700}}) {
        const std::string file = dir / (std::string(c.Folder) + "/a/b.ini");
        WriteFileAtomically(file, "x", c.Access);
        EXPECT_EQ(ModeOf(file), c.File) << c.Folder;
        EXPECT_EQ(ModeOf(dir / c.Folder), c.Directory) << c.Folder;
        EXPECT_EQ(ModeOf(dir / (std::string(c.Folder) + "/a")), c.Directory) << c.Folder;
        ::chmod(file.c_str(), 0640);
        WriteFileAtomically(file, "y", c.Access);
        EXPECT_EQ(ModeOf(file), 0640u) << c.Folder;
        EXPECT_EQ(ReadText(file), "y");
    }
    ::umask(previous);
}

// The issue of a machine shared by two users: both make a report of an assessment named
// "Example" in the same temporary directory. Each gets a private directory and file of their
// own, and neither can read the other's.
TEST_F(PrivateFilesTest, TwoUsersOfOneTemporaryDirectoryKeepTheirFilesApart) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "acting as a second user needs root (setuid in a child process)";
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0711), 0);
    ASSERT_EQ(::chmod(tmp.c_str(), 01777), 0); // as /tmp
    const std::string ours = PrivateTemporaryDirectory() + "Example.htm";
    ReplacePrivateFile(ours, "ours");
    const std::string theirs = tmp + "/parvela-" + std::to_string(OtherUser) + "/Example.htm";
    const pid_t child = ::fork();
    if (child == 0) {
        int failures = 0;
        if (::setgid(OtherUser) != 0 || ::setuid(OtherUser) != 0)
            ::_exit(100);
        try {
            if (PrivateTemporaryDirectory() + "Example.htm" != theirs)
                failures |= 1;
            ReplacePrivateFile(theirs, "theirs");
        } catch (const std::exception&) {
            failures |= 2;
        }
        if (::open(ours.c_str(), O_RDONLY) >= 0 || errno != EACCES)
            failures |= 4;
        ::_exit(failures);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: another directory, 2: no report, 4: ours readable";
    EXPECT_EQ(ReadText(ours), "ours");
    EXPECT_EQ(ReadText(theirs), "theirs");
    struct stat info {};
    ASSERT_EQ(::lstat(theirs.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, OtherUser);
    EXPECT_EQ(ModeOf(theirs), 0600u);
    EXPECT_EQ(ModeOf(fs::path(theirs).parent_path().string()), 0700u);
}

} // namespace
} // namespace parvela
