#include "program/connection/ProgramIdentity.h"

#include "framework/Format.h"
#include "platform/VersionBlock.h"

#include <iostream>

namespace parvela {

std::string ProgramTitle() {
    return Format("%s_%s", ProgramName, ProgramVersion);
}

std::string VersionLine(const std::string& command) {
    std::string line = command + " " + ProgramVersion;
    if (const std::optional<TFileVersion> file = FileVersion())
        line += Format(" (file version %d.%d.%d.%d)", file->Major, file->Minor, file->Release,
                       file->Build);
    return line;
}

std::optional<int> AnswerHelpOrVersion(int argc, char** argv, const std::string& command,
                                       const std::string& help) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "--version") {
            std::cout << (argument == "--help" ? help : VersionLine(command) + "\n");
            return 0;
        }
        if (argument.rfind("--", 0) == 0)
            ++i;
    }
    return std::nullopt;
}

} // namespace parvela
