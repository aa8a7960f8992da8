#include "program/system/ProcessGroups.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace parvela {

namespace fs = std::filesystem;

std::vector<int> ProcessesOfGroup(int group, const std::string& workingBelow) {
    std::vector<int> members;
    std::error_code error;
    for (fs::directory_iterator it("/proc", error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream stat(it->path() / "stat");
        std::string line;
        if (!std::getline(stat, line))
            continue;
        // pid (comm) state ppid pgrp ...; the command may hold blanks and parentheses.
        const std::size_t close = line.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream fields(line.substr(close + 1));
        char state = 0;
        long parent = 0, processGroup = 0;
        if (!(fields >> state >> parent >> processGroup) || processGroup != group || state == 'Z' ||
            state == 'X')
            continue;
        if (!workingBelow.empty()) {
            const std::string directory = fs::read_symlink(it->path() / "cwd", error).string();
            error.clear();
            if (directory != workingBelow && directory.rfind(workingBelow + "/", 0) != 0)
                continue;
        }
        members.push_back(std::stoi(name));
    }
    return members;
}
bool GroupHasLiveProcess(int group) {
    return !ProcessesOfGroup(group).empty();
}

} // namespace parvela
