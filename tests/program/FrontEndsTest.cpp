// The front ends and the model programs on the command line: --help and --version answer
// without a display, a settings file or a database, and the window program without a display
// says what is missing instead of aborting.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace parvela::test {
namespace {

struct TCommandRun {
    int ExitCode = -1;
    std::string Output; // standard output and error together
};

// Runs a program of the build without a display and without any settings of the user.
TCommandRun RunBare(const std::string& program, const std::string& arguments) {
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "
                                "HOME=/nonexistent XDG_CONFIG_HOME=/nonexistent '" +
                                std::string(PARVELA_BIN_DIR) + "/" + program + "' " + arguments +
                                " 2>&1";
    TCommandRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    std::array<char, 512> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe))
        run.Output += buffer.data();
    const int status = ::pclose(pipe);
    run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return run;
}

TEST(FrontEnds, AnswerHelpAndVersionWithoutDisplayOrDatabase) {
    struct Case {
        std::string Program;
        std::string Arguments;
        int ExitCode;
        std::vector<std::string> Parts; // the output holds each
    };
    std::vector<Case> cases = {
        {"parvela-batch",
         "--help",
         0,
         {"Usage:\n  parvela-batch run", "--jobs N", "129, 130, 131 or 143",
          "parvela-batch verify --assessment ID|--project ID|CAPTION"}},
        {"parvela-batch", "run --project 1 --help", 0, {"--shard K/N"}},
        {"parvela-batch", "--version", 0, {"parvela-batch 2.4.2_CN (file version "}},
        {"models/glidarmodel",
         "--version",
         0,
         {"GLIDAR 1.3.0: Parvela's stand-in for the paddy model GLIDAR, not the real model\n"}},
        {"models/Mundremodel",
         "--version",
         0,
         {"MUNDRE 2.1.0: Parvela's stand-in for the pond model MUNDRE, not the real model\n"}},
    };
#ifdef PARVELA_WINDOW_PROGRAM
    cases.push_back({"parvela", "--help", 0, {"Usage: parvela [--help | --version]"}});
    cases.push_back({"parvela", "--version", 0, {"parvela 2.4.2_CN (file version "}});
    cases.push_back({"parvela", "", 1, {"parvela: no display to show the window on"}});
#endif
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Program + " " + c.Arguments);
        const TCommandRun run = RunBare(c.Program, c.Arguments);
        EXPECT_EQ(c.ExitCode, run.ExitCode) << run.Output;
        for (const std::string& part : c.Parts)
            EXPECT_NE(std::string::npos, run.Output.find(part)) << run.Output;
    }
}

} // namespace
} // namespace parvela::test
