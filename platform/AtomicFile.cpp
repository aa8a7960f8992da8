#include "platform/AtomicFile.h"

#include "platform/Exceptions.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace parvela {

namespace {

namespace fs = std::filesystem;

[[noreturn]] void RaiseOSError(const std::string& action, const std::string& path, int error) {
    throw EOSError("Cannot " + action + " \"" + path + "\": " + std::strerror(error));
}

// A symbolic link is followed, so that the link stays and its target is replaced.
std::string ResolvedTarget(const std::string& path) {
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(path, error))) {
        fs::path target = fs::canonical(path, error);
        if (!error)
            return target.string();
    }
    return path;
}

void CreateParentDirectories(const fs::path& target, TFileAccess access) {
    const fs::path parent = target.parent_path();
    if (!parent.empty())
        CreateDirectories(parent.string(), access);
}

mode_t NewFileMode(TFileAccess access) {
    return access == TFileAccess::OwnerOnly ? 0600 : 0644;
}

// Existing files keep their permissions.
mode_t ModeFor(const std::string& target, TFileAccess access) {
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0)
        return info.st_mode & 07777;
    return NewFileMode(access);
}

void WriteAll(int fd, const std::string& content, const std::string& path) {
    const char* data = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            RaiseOSError("write", path, errno);
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
}

// The rename itself becomes durable only when the directory is flushed too.
void SyncDirectory(const fs::path& directory) {
    const int fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& target) : name_(TemporaryNameBeside(target)) {
        fd_ = ::mkstemp(name_.data());
        if (fd_ < 0)
            RaiseOSError("write", target, errno);
    }
    ~TemporaryFile() {
        if (fd_ >= 0)
            ::close(fd_);
        if (!committed_)
            ::unlink(name_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    void Write(const std::string& content, mode_t mode, const std::string& target) {
        WriteAll(fd_, content, target);
        if (::fchmod(fd_, mode) != 0 || ::fsync(fd_) != 0)
            RaiseOSError("write", target, errno);
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0)
            RaiseOSError("write", target, errno);
    }
    void RenameTo(const std::string& target) {
        if (::rename(name_.c_str(), target.c_str()) != 0)
            RaiseOSError("replace", target, errno);
        committed_ = true;
    }

private:
    std::string name_;
    int fd_ = -1;
    bool committed_ = false;
};

} // namespace

void WriteFileAtomically(const std::string& path, const std::string& content, TFileAccess access) {
    const std::string target = ResolvedTarget(path);
    CreateParentDirectories(target, access);
    TemporaryFile temporary(target);
    temporary.Write(content, ModeFor(target, access), target);
    temporary.RenameTo(target);
    SyncDirectory(fs::path(target).parent_path());
}

void ReplacePrivateFile(const std::string& path, const std::string& content) {
    TemporaryFile temporary(path);
    temporary.Write(content, NewFileMode(TFileAccess::OwnerOnly), path);
    temporary.RenameTo(path);
}

std::string TemporaryNameBeside(const std::string& target) {
    const std::size_t slash = target.rfind('/');
    return target.substr(0, slash == std::string::npos ? 0 : slash + 1) + ".parvela-XXXXXX";
}

std::string PermissionsText(unsigned mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", mode & 07777);
    return text;
}

void CreateDirectories(const std::string& directory, TFileAccess access) {
    std::error_code error;
    if (access == TFileAccess::Everyone) {
        fs::create_directories(directory, error);
        if (error)
            RaiseOSError("create the directory", directory, error.value());
        return;
    }
    // Level by level: create_directories knows no mode, and a mode set afterwards would
    // leave a moment in which others may enter.
    fs::path level;
    for (const fs::path& part : fs::path(directory)) {
        level /= part;
        if (::mkdir(level.c_str(), 0700) != 0 && errno != EEXIST)
            RaiseOSError("create the directory", level.string(), errno);
    }
    if (!fs::is_directory(directory, error))
        RaiseOSError("create the directory", directory, ENOTDIR);
}

bool ReadWholeFile(const std::string& path, std::string& content) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return false;
        RaiseOSError("read", path, errno);
    }
    std::string text;
    char buffer[8192];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count == 0)
            break;
        if (count < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            ::close(fd);
            RaiseOSError("read", path, error);
        }
        text.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(fd);
    content = std::move(text);
    return true;
}

TFileUpdateLock::TFileUpdateLock(const std::string& path, TFileAccess access) {
    const std::string target = ResolvedTarget(path);
    CreateParentDirectories(target, access);
    const std::string lockPath = target + ".lock";
    fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, NewFileMode(access));
    if (fd_ < 0)
        RaiseOSError("write", target, errno);
    while (::flock(fd_, LOCK_EX) != 0) {
        if (errno != EINTR) {
            const int error = errno;
            ::close(fd_);
            RaiseOSError("lock", target, error);
        }
    }
}

TFileUpdateLock::~TFileUpdateLock() {
    ::close(fd_); // releases the lock
}

} // namespace parvela
