#include "AtomicFile.h"

#include "framework/Exceptions.h"

#include <cerrno>
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

void CreateParentDirectories(const fs::path& target) {
    const fs::path parent = target.parent_path();
    if (parent.empty())
        return;
    std::error_code error;
    fs::create_directories(parent, error);
    if (error)
        RaiseOSError("create the directory", parent.string(), error.value());
}

// Existing files keep their permissions; new ones are readable by everyone.
mode_t ModeFor(const std::string& target) {
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0)
        return info.st_mode & 07777;
    return 0644;
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
    explicit TemporaryFile(const std::string& target) : name_(target + ".XXXXXX") {
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

void WriteFileAtomically(const std::string& path, const std::string& content) {
    const std::string target = ResolvedTarget(path);
    CreateParentDirectories(target);
    TemporaryFile temporary(target);
    temporary.Write(content, ModeFor(target), target);
    temporary.RenameTo(target);
    SyncDirectory(fs::path(target).parent_path());
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

TFileUpdateLock::TFileUpdateLock(const std::string& path) {
    const std::string target = ResolvedTarget(path);
    CreateParentDirectories(target);
    const std::string lockPath = target + ".lock";
    fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
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
