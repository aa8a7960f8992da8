// parvela-batch: model runs, input files and reports without the window system, on the same
// settings file and registry as the program.
//
//   parvela-batch run --project ID          runs the marked assessments of the project
//   parvela-batch inputs --assessment ID    writes the input files only
//   parvela-batch report --assessment ID    writes the summary report
//   parvela-batch report --project ID       writes the project summary
//   parvela-batch check-substances          the substance change check
//   --settings FILE                         another settings file than parvela-batch.ini,
//                                           before or after the command
//
// Exit codes: 0 done (every assessment valid), 1 a failure, 2 a wrong call or an absent item.

#include "BatchDialogs.h"

#include "UnitsFromGenerator/TdcAssessments.h"
#include "UnitsFromGenerator/TdcProjects.h"
#include "framework/Exceptions.h"
#include "framework/Format.h"
#include "platform/Dialogs.h"
#include "program/ProjectSummary.h"
#include "program/SchemeUsage.h"
#include "program/Services.h"
#include "program/SummaryReport.h"
#include "program/TDatabaseConnection.h"
#include "program/TModelManager.h"
#include "program/TZentorModel.h"

#include <algorithm>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace parvela {

namespace {

constexpr int ExitDone = 0;
constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

// A wrong call or an item that does not exist.
class EUsage : public Exception {
    using Exception::Exception;
};

const char* const UsageText = "Usage:\n"
                              "  parvela-batch run --project ID [--settings FILE]\n"
                              "  parvela-batch inputs --assessment ID [--settings FILE]\n"
                              "  parvela-batch report --assessment ID [--settings FILE]\n"
                              "  parvela-batch report --project ID [--settings FILE]\n"
                              "  parvela-batch check-substances [--settings FILE]\n";

struct TCommandLine {
    std::string Command;
    std::map<std::string, std::string> Options;

    std::optional<std::string> Option(const std::string& name) const {
        const auto found = Options.find(name);
        return found == Options.end() ? std::nullopt : std::optional(found->second);
    }
};

// Options may stand before or after the command; every option takes one value. A command
// needs exactly one of its options, when it has any.
TCommandLine ParseCommandLine(int argc, char** argv) {
    static const std::map<std::string, std::vector<std::string>> allowed = {
        {"run", {"project"}},
        {"inputs", {"assessment"}},
        {"report", {"assessment", "project"}},
        {"check-substances", {}}};
    TCommandLine line;
    std::vector<std::string> options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind("--", 0) != 0) {
            if (!line.Command.empty())
                throw EUsage("Unexpected argument: " + argument);
            line.Command = argument;
            continue;
        }
        if (i + 1 >= argc || std::string(argv[i + 1]).rfind("--", 0) == 0)
            throw EUsage("Missing value of " + argument);
        options.push_back(argument);
        line.Options[argument.substr(2)] = argv[++i];
    }
    if (line.Command.empty())
        throw EUsage("No command given.");
    const auto command = allowed.find(line.Command);
    if (command == allowed.end())
        throw EUsage("Unknown command: " + line.Command);
    for (const std::string& option : options) {
        const std::string name = option.substr(2);
        if (name != "settings" && std::find(command->second.begin(), command->second.end(), name) ==
                                      command->second.end())
            throw EUsage("Unknown option for " + line.Command + ": " + option);
    }
    const auto given = std::count_if(command->second.begin(), command->second.end(),
                                     [&](const std::string& name) { return line.Option(name); });
    if (!command->second.empty() && given != 1) {
        std::string choices;
        for (const std::string& name : command->second)
            choices += (choices.empty() ? "--" : " or --") + name + " ID";
        throw EUsage((given == 0 ? "Missing " : "Give only one of ") + choices);
    }
    return line;
}

int ParseID(const std::string& text) {
    int id = 0;
    if (!TryStrToInt(text, id))
        throw EUsage("Not a valid ID: " + text);
    return id;
}

TDACDatabase& Database() {
    return TDatabaseConnection::GetSingleton().Database();
}

// The item of the key, opened in `list`; `entity` names it in the message when absent.
template <typename List>
auto& FindItem(List& list, const char* keyColumn, const char* entity, int id) {
    list.SetFilter(std::string(keyColumn) + "=%d", {id});
    list.Open();
    if (list.Count() == 0)
        throw EUsage(Format("%s %d not found", entity, id));
    return list.Item();
}

TdciProjects& FindProject(TdcProjects& list, int projectID) {
    return FindItem(list, "PROJECTID", "Project", projectID);
}

int RunProject(int projectID) {
    TdcProjects projects(Database());
    TdciProjects& project = FindProject(projects, projectID);
    const bool succeeded = TModelManager::GetSingleton().RunProject(&project);
    TdcAssessments& assessments = project.Assessments();
    for (assessments.First(); !assessments.Eof(); assessments.Next()) {
        const TdciAssessments& assessment = assessments.Item();
        if (assessment.SELECTEDFOREXECUTION())
            std::cout << assessment.ASSESSMENTID() << "\t" << assessment.CAPTION() << "\t"
                      << (assessment.VALIDRESULTS() ? std::string("valid")
                                                    : assessment.ERRORMESSAGE())
                      << "\n";
    }
    return succeeded ? ExitDone : ExitFailure;
}

TdciAssessments& FindAssessment(TdcAssessments& list, int assessmentID) {
    return FindItem(list, "ASSESSMENTID", "Assessment", assessmentID);
}

int WriteInputs(int assessmentID) {
    TdcAssessments list(Database());
    TdciAssessments& assessment = FindAssessment(list, assessmentID);
    TModelManager& manager = TModelManager::GetSingleton();
    const bool written = manager.WriteInputFilesOnly(&assessment);
    for (const auto& model : manager.Models())
        if (model->Assessment() == &assessment && FileExists(model->InputFilePath()))
            std::cout << model->InputFilePath() << "\n";
    if (!written) {
        std::cerr << "The input files could not be written";
        if (!assessment.ERRORMESSAGE().empty())
            std::cerr << ": " << assessment.ERRORMESSAGE();
        std::cerr << "\n";
        return ExitFailure;
    }
    return ExitDone;
}

int WriteReport(int assessmentID) {
    TdcAssessments list(Database());
    std::cout << WriteSummaryReportFile(FindAssessment(list, assessmentID)) << "\n";
    return ExitDone;
}

int WriteProjectReport(int projectID) {
    TdcProjects projects(Database());
    std::cout << WriteProjectSummaryFile(FindProject(projects, projectID)) << "\n";
    return ExitDone;
}

int CheckSubstancesCommand() {
    CheckSubstances(Database());
    return ExitDone;
}

int Execute(const TCommandLine& line) {
    TServiceStartOptions options;
    options.SettingsFileName = line.Option("settings").value_or("");
    StartServices(options);
    TModelManager::GetSingleton().SetContinueOnError(true);
    if (line.Command == "run")
        return RunProject(ParseID(*line.Option("project")));
    if (line.Command == "inputs")
        return WriteInputs(ParseID(*line.Option("assessment")));
    if (line.Command == "report" && line.Option("project"))
        return WriteProjectReport(ParseID(*line.Option("project")));
    if (line.Command == "report")
        return WriteReport(ParseID(*line.Option("assessment")));
    return CheckSubstancesCommand();
}

} // namespace
} // namespace parvela

int main(int argc, char** argv) {
    using namespace parvela;
    TCommandLine line;
    try {
        line = ParseCommandLine(argc, argv);
    } catch (const EUsage& e) {
        std::cerr << e.Message() << "\n" << UsageText;
        return ExitUsage;
    }
    TBatchDialogs dialogs(line.Command == "check-substances" ? std::cout : std::cerr);
    SetDialogs(&dialogs);
    int exitCode = ExitFailure;
    try {
        exitCode = Execute(line);
    } catch (const EUsage& e) {
        std::cerr << e.Message() << "\n";
        exitCode = ExitUsage;
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        exitCode = ExitFailure;
    }
    try {
        StopServices();
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
    }
    SetDialogs(nullptr);
    return exitCode;
}
