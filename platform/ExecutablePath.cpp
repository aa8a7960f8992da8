#include "platform/ExecutablePath.h"

#include "platform/Exceptions.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace parvela {

std::string ExecutablePath() {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            throw EOSError(std::string("Cannot determine the path of the executable: ") +
                           std::strerror(errno));
        if (static_cast<std::size_t>(length) < buffer.size())
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        buffer.resize(buffer.size() * 2);
    }
}

std::string ExecutableDirectory() {
    return std::filesystem::path(ExecutablePath()).parent_path().string() + "/";
}

std::string ChangeFileExtension(const std::string& path, const std::string& extension) {
    return std::filesystem::path(path).replace_extension(extension).string();
}

std::string ExecutablePathWithExtension(const std::string& extension) {
    return ChangeFileExtension(ExecutablePath(), extension);
}

std::string WithTrailingSlash(std::string directory) {
    if (directory.empty() || directory.back() != '/')
        directory += '/';
    return directory;
}

} // namespace parvela
