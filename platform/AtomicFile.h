#pragma once
// Replaces a file so that readers see either the old or the new content, never a mix:
// the text goes to a temporary file in the same directory, is flushed to disk and then
// renamed over the target. Missing directories are created.

#include <string>

namespace parvela {

// Raises EOSError naming the file and the system's reason when the file cannot be written.
void WriteFileAtomically(const std::string& path, const std::string& content);

// The whole content of a file; nothing (and no failure) when the file does not exist.
// Raises EOSError when the file exists but cannot be read.
bool ReadWholeFile(const std::string& path, std::string& content);

// Serialises read-modify-write cycles on a file among processes: an exclusive advisory lock
// on the file's companion "<path>.lock", held for the lifetime of the object. Raises EOSError
// when the lock file cannot be created.
class TFileUpdateLock {
public:
    explicit TFileUpdateLock(const std::string& path);
    ~TFileUpdateLock();
    TFileUpdateLock(const TFileUpdateLock&) = delete;
    TFileUpdateLock& operator=(const TFileUpdateLock&) = delete;

private:
    int fd_ = -1;
};

} // namespace parvela
