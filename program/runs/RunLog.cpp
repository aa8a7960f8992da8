#include "program/runs/RunLog.h"

#include "framework/Format.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace parvela {

namespace {

bool WriteWhole(int descriptor, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t result = ::write(descriptor, text.data() + written, text.size() - written);
        if (result < 0 && errno == EINTR)
            continue;
        if (result <= 0)
            return false;
        written += static_cast<std::size_t>(result);
    }
    return true;
}

} // namespace

std::string RunLogLine(const TModelRunRecord& run, int assessmentID, const std::string& caption,
                       bool valid) {
    std::string field = caption;
    std::replace_if(
        field.begin(), field.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; },
        ' ');
    return Format("%s\t%d\t%s\t%s\t%d\t%.3f\t%s", FormatDateTime("yyyy-mm-dd hh:nn:ss", run.Start),
                  assessmentID, field, run.Model, run.ExitCode, run.Seconds,
                  valid ? "valid" : "not valid");
}

bool AppendRunLog(const std::string& path, const std::vector<std::string>& lines) {
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return false;
    // On a network file system an append is only whole under a lock, which also makes the
    // client learn the file's current end; a file system without locks still gets the
    // appends.
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    while (::fcntl(descriptor, F_SETLKW, &lock) != 0 && errno == EINTR) {
    }
    bool ok = true;
    for (const std::string& line : lines)
        ok = WriteWhole(descriptor, line + "\r\n") && ok;
    return ::close(descriptor) == 0 && ok;
}

} // namespace parvela
