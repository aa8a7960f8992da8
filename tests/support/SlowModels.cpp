#include "tests/support/SlowModels.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace parvela::test {

std::string ModelScript(const std::string& body) {
    return "#!/bin/sh\n[ \"$1\" = --version ] && { echo 'test stand-in'; exit 0; }\n" + body + "\n";
}

std::string SlowModelBody(const std::string& directory) {
    return "cut -d' ' -f5 /proc/$$/stat > '" + directory +
           "/group-'\"$(basename \"$1\" | cut -d. -f1)\"\ntrap '' TERM\nsleep 60\n";
}

int NotedProcessGroup(const std::string& directory, int assessmentID) {
    std::ifstream file(directory + "/group-" + std::to_string(assessmentID));
    std::string line;
    // The line is complete once its line feed is there.
    if (!std::getline(file, line) || file.eof())
        return 0;
    return std::atoi(line.c_str());
}

bool ProcessGroupRuns(int group) {
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line) || line.rfind(')') == std::string::npos)
            continue;
        std::istringstream fields(line.substr(line.rfind(')') + 1));
        char state = 0;
        int parent = 0, processGroup = 0;
        if (fields >> state >> parent >> processGroup && processGroup == group && state != 'Z')
            return true;
    }
    return false;
}

} // namespace parvela::test
