#include "tests/support/SlowModels.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

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

} // namespace parvela::test
