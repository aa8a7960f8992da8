#pragma once
// Replaces a file so that readers see either the old or the new content, never a mix:
// the text goes to a temporary file in the same directory, is flushed to disk and then
// renamed over the target. Missing directories are created.

#include <string>

namespace parvela {

// Who may read a file that a write creates; an existing file keeps its permissions.
enum class TFileAccess {
    // New files 0644; missing directories as the umask allows.
    Everyone,
    // New files 0600 and missing directories 0700: files that may hold passwords or other
    // private settings.
    OwnerOnly,
};

// Raises EOSError naming the file and the system's reason when the file cannot be written.
// A symbolic link at the path stays and its target is replaced.
void WriteFileAtomically(const std::string& path, const std::string& content,
                         TFileAccess access = TFileAccess::Everyone);

// Writes a file in one of this user's private directories: under a temporary name, then
// renamed over the path, so that a link at the path is replaced, never followed. The file is
// 0600. Raises EOSError naming the file and the system's reason.
void ReplacePrivateFile(const std::string& path, const std::string& content);

// A pattern for mkstemp of a temporary file in the directory of `target`: a short name of its
// own, as the target's name with a suffix might not fit in a file name.
std::string TemporaryNameBeside(const std::string& target);

// The permission bits of a file mode as four octal digits: "0644".
std::string PermissionsText(unsigned mode);

// Creates the directory and its missing parents, those it creates with 0700 for OwnerOnly.
// Raises EOSError naming the directory that cannot be created.
void CreateDirectories(const std::string& directory, TFileAccess access);

// The whole content of a file; nothing (and no failure) when the file does not exist.
// Raises EOSError when the file exists but cannot be read.
bool ReadWholeFile(const std::string& path, std::string& content);

// Serialises read-modify-write cycles on a file among processes: an exclusive advisory lock
// on the file's companion "<path>.lock", held for the lifetime of the object; the lock file
// and missing directories are made with `access`. Raises EOSError when the lock file cannot
// be created.
class TFileUpdateLock {
public:
    explicit TFileUpdateLock(const std::string& path, TFileAccess access = TFileAccess::Everyone);
    ~TFileUpdateLock();
    TFileUpdateLock(const TFileUpdateLock&) = delete;
    TFileUpdateLock& operator=(const TFileUpdateLock&) = delete;

private:
    int fd_ = -1;
};

} // namespace parvela
