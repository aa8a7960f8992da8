#include "program/system/DesktopOpener.h"

#include "framework/Format.h"
#include "program/system/ChildProcess.h"
#include "program/system/Messages.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace parvela {

namespace fs = std::filesystem;

namespace {

std::string Opener() {
    const char* configured = std::getenv("PARVELA_OPENER");
    return configured && *configured ? configured : "xdg-open";
}

// Runs the desktop's opener on the target and returns its exit code (-1: not started).
int RunOpener(const std::string& target, const std::vector<std::string>& extraArguments,
              const std::string& directory) {
    std::vector<std::string> arguments{target};
    arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
    TChildProcess opener;
    if (!opener.Start(Opener(), arguments, directory, {}, false))
        return -1;
    return opener.WaitProcessingEvents(false);
}

// The parameters split into arguments as a command line of the original platform is: blanks
// and tabs separate; double quotes group (a quote inside quotes written twice is one quote);
// 2n backslashes before a quote are n backslashes, 2n+1 are n and a literal quote; other
// backslashes are themselves.
std::vector<std::string> CommandLineArguments(const std::string& parameters) {
    std::vector<std::string> arguments;
    std::string argument;
    bool inArgument = false;
    bool quoted = false;
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        const char c = parameters[i];
        if ((c == ' ' || c == '\t') && !quoted) {
            if (inArgument)
                arguments.push_back(std::move(argument));
            argument.clear();
            inArgument = false;
            continue;
        }
        inArgument = true;
        if (c == '\\') {
            const std::size_t end = parameters.find_first_not_of('\\', i);
            const std::size_t count = (end == std::string::npos ? parameters.size() : end) - i;
            const bool beforeQuote = end != std::string::npos && parameters[end] == '"';
            argument.append(beforeQuote ? count / 2 : count, '\\');
            if (beforeQuote && count % 2 == 1) {
                argument += '"';
                i = end;
            } else {
                i += count - 1;
            }
        } else if (c != '"') {
            argument += c;
        } else if (quoted && i + 1 < parameters.size() && parameters[i + 1] == '"') {
            argument += '"';
            ++i;
        } else {
            quoted = !quoted;
        }
    }
    if (inArgument)
        arguments.push_back(std::move(argument));
    return arguments;
}

} // namespace

bool StartProgram(const std::string& fileName, const std::string& parameters,
                  const std::string& directory) {
    std::string workingDirectory =
        directory.empty() ? fs::path(fileName).parent_path().string() : directory;
    if (workingDirectory.size() > 1 && workingDirectory.back() == '/')
        workingDirectory.pop_back();
    return RunOpener(fileName, CommandLineArguments(parameters), workingDirectory) == 0;
}

void OpenDocument(const std::string& target) {
    int result = RunOpener(target, {}, {});
    if (result != 0)
        ShowError(Format("Error executing %s (errorcode %d)", target, result));
}

} // namespace parvela
