#include "program/system/DirectoryTree.h"

#include <filesystem>

namespace parvela {

namespace fs = std::filesystem;

namespace {

void DeleteEntry(const fs::directory_entry& entry);

void DeleteChildren(const fs::path& directory) {
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error))
        DeleteEntry(*it);
}

void DeleteEntry(const fs::directory_entry& entry) {
    std::error_code error;
    // A link is an entry of its own: it is removed, never what it points to.
    if (entry.is_symlink(error) || !entry.is_directory(error)) {
        fs::remove(entry.path(), error);
        return;
    }
    DeleteChildren(entry.path());
    fs::remove(entry.path(), error);
}

} // namespace

bool DeleteDirectoryTree(const std::string& directory) {
    std::error_code error;
    fs::file_status status = fs::symlink_status(directory, error);
    if (error || !fs::exists(status))
        return false;
    if (fs::is_symlink(status)) {
        // The tree's own root as a link: remove the link, keep what it points to.
        if (!fs::is_directory(directory, error))
            return false;
        fs::remove(directory, error);
        return true;
    }
    if (!fs::is_directory(status))
        return false;
    DeleteChildren(directory);
    fs::remove(directory, error);
    return true;
}

} // namespace parvela
