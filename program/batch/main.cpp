// parvela-batch: model runs, input files and reports without the window system, on the same
// settings file and registry as the program.
//
//   parvela-batch run --project PROJECT     runs the marked assessments of the project
//       [--jobs N]                          with up to N at once (0: one per core; 1: one
//                                           after the other, the default)
//       [--shard K/N]                       only those whose key modulo N is K
//   parvela-batch inputs --assessment ID    writes the input files only
//   parvela-batch report --assessment ID    writes the summary report
//       [--csv]                             the daily series of both models as CSV instead
//   parvela-batch report --project PROJECT  writes the project summary
//       [--csv]                             as CSV instead
//   parvela-batch check-substances          the substance change check
//   parvela-batch verify --assessment ID    checks the stored run against its run record and
//   parvela-batch verify --project PROJECT  runs it again in a scratch directory (of every
//                                           assessment of the project that has run)
//   --settings FILE                         another settings file than the program's
//                                           parvela.ini, before or after the command
//   parvela-batch --help | --version
//
// A project is given by its ID or by its caption. Without --settings the program's own
// settings file is read (beside the executable, else per user), and a first start makes it.
//
// Exit codes: 0 done (every assessment valid; for verify: every run matches its record), 1 a
// failure (an assessment that did not end valid, a run that does not match its record, or a
// command that failed), 2 a wrong call or an absent item, 3 a run that could not
// go on (the database or the disk failed: the assessments that ended are printed, the one in
// flight is stored as not valid), 4 a run of which some assessments were left to other
// programs that hold their run claims (the rest ended valid), 128 + the signal for a run
// stopped by SIGINT, SIGTERM, SIGHUP or SIGQUIT (129, 130, 131, 143: the model processes are
// terminated, the interrupted assessments stored as not valid, the rest left as they were;
// a verification stopped so leaves nothing behind).

#include "program/batch/BatchDialogs.h"

#include "UnitsFromGenerator/TdcAssessments.h"
#include "UnitsFromGenerator/TdcProjects.h"
#include "framework/Format.h"
#include "platform/Dialogs.h"
#include "platform/Exceptions.h"
#include "program/checks/SchemeUsage.h"
#include "program/connection/ProgramIdentity.h"
#include "program/connection/TDatabaseConnection.h"
#include "program/reports/CsvExport.h"
#include "program/reports/ProjectSummary.h"
#include "program/reports/RunVerification.h"
#include "program/reports/SummaryReport.h"
#include "program/runs/TModelManager.h"
#include "program/runs/TZentorModel.h"
#include "program/startup/FirstStart.h"
#include "program/startup/Services.h"
#include "program/system/RunStop.h"

#include <algorithm>
#include <csignal>
#include <exception>
#include <initializer_list>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace parvela {

namespace {

constexpr int ExitDone = 0;
constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;
constexpr int ExitRunCouldNotGoOn = 3;
constexpr int ExitLeftToOthers = 4;

// A wrong call or an item that does not exist.
class EUsage : public Exception {
    using Exception::Exception;
};

const char* const UsageText = "Usage:\n"
                              "  parvela-batch run --project ID|CAPTION [--jobs N] [--shard K/N] "
                              "[--settings FILE]\n"
                              "  parvela-batch inputs --assessment ID [--settings FILE]\n"
                              "  parvela-batch report --assessment ID [--csv] [--settings FILE]\n"
                              "  parvela-batch report --project ID|CAPTION [--csv] [--settings "
                              "FILE]\n"
                              "  parvela-batch check-substances [--settings FILE]\n"
                              "  parvela-batch verify --assessment ID|--project ID|CAPTION "
                              "[--settings FILE]\n"
                              "  parvela-batch --help | --version\n";

const std::string HelpText =
    std::string("Parvela's model runs, input files and reports without windows.\n\n") + UsageText +
    "\n"
    "  --project ID|CAPTION  the project, by its ID or its caption\n"
    "  --assessment ID       the assessment\n"
    "  --jobs N              assessments that run at once (0: one per core; 1, the default:\n"
    "                        one after the other)\n"
    "  --shard K/N           only the marked assessments whose key modulo N is K\n"
    "  --csv                 report: the daily series or the project summary as CSV\n"
    "  --settings FILE       the database login instead of the program's parvela.ini\n"
    "  --help, --version     this text, the program's version\n"
    "\n"
    "verify checks that the stored files of a run are those its run record names, then runs\n"
    "the assessment again in a scratch directory and compares the new files with the record\n"
    "(all but the run scripts and their logs, which name the run's paths); it writes neither\n"
    "the stored run nor the database. It prints each difference and a line per assessment:\n"
    "\"matches its run record\" or \"does not match its run record\".\n"
    "\n"
    "Exit status: 0 done (every assessment valid; for verify: every run matches its record),\n"
    "1 a failure (for verify: a difference, or a run that cannot be verified), 2 a wrong call\n"
    "or an absent project or assessment, 3 a run that could not go on, 4 a run of which some\n"
    "assessments were left to other programs that run them, 129, 130, 131 or 143 a run or\n"
    "verification stopped by SIGHUP, SIGINT, SIGQUIT or SIGTERM. See parvela-batch(1).\n";

// The settings of the program itself: the batch front end works on the same database.
constexpr const char* SettingsProgramName = "parvela";

struct TCommandLine {
    std::string Command;
    std::map<std::string, std::string> Options;

    std::optional<std::string> Option(const std::string& name) const {
        const auto found = Options.find(name);
        return found == Options.end() ? std::nullopt : std::optional(found->second);
    }
};

// Options that take no value.
const std::set<std::string> Flags = {"--csv"};

// The options of a command: exactly one of `OneOf` (when it has any), any of `Optional`.
struct TCommandOptions {
    std::vector<std::string> OneOf;
    std::vector<std::string> Optional;
};

// Options may stand before or after the command; every option but a flag takes one value.
TCommandLine ParseCommandLine(int argc, char** argv) {
    static const std::map<std::string, TCommandOptions> allowed = {
        {"run", {{"project"}, {"jobs", "shard"}}},
        {"inputs", {{"assessment"}, {}}},
        {"report", {{"assessment", "project"}, {"csv"}}},
        {"check-substances", {}},
        {"verify", {{"assessment", "project"}, {}}}};
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
        if (Flags.count(argument)) {
            options.push_back(argument);
            line.Options[argument.substr(2)] = "";
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
    const std::vector<std::string>& oneOf = command->second.OneOf;
    const std::vector<std::string>& optional = command->second.Optional;
    for (const std::string& option : options) {
        const std::string name = option.substr(2);
        if (name != "settings" && std::find(oneOf.begin(), oneOf.end(), name) == oneOf.end() &&
            std::find(optional.begin(), optional.end(), name) == optional.end())
            throw EUsage("Unknown option for " + line.Command + ": " + option);
    }
    const auto given = std::count_if(oneOf.begin(), oneOf.end(),
                                     [&](const std::string& name) { return line.Option(name); });
    if (!oneOf.empty() && given != 1) {
        std::string choices;
        for (const std::string& name : oneOf)
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

int ParseJobs(const std::string& text) {
    int jobs = 0;
    if (!TryStrToInt(text, jobs) || jobs < 0)
        throw EUsage("Not a valid number of jobs (0 or more): " + text);
    return jobs;
}

struct TShard {
    int Index = 0;
    int Count = 1;
};

TShard ParseShard(const std::string& text) {
    TShard shard;
    const std::size_t slash = text.find('/');
    if (slash == std::string::npos || !TryStrToInt(text.substr(0, slash), shard.Index) ||
        !TryStrToInt(text.substr(slash + 1), shard.Count) || shard.Count < 1 || shard.Index < 0 ||
        shard.Index >= shard.Count)
        throw EUsage("Not a valid shard (K/N with 0 <= K < N): " + text);
    return shard;
}

TDACDatabase& Database() {
    return TDatabaseConnection::GetSingleton().Database();
}

// The project whose ID is the text or, when no project has that ID, whose caption is the
// text; a caption that several projects carry is refused.
TdciProjects& FindProject(TdcProjects& list, const std::string& idOrCaption) {
    list.Open();
    int id = 0;
    if (TryStrToInt(idOrCaption, id) && list.HasItems() &&
        list.LocateByItemID(std::to_string(id), false))
        return list.Item();
    TdciProjects* found = nullptr;
    for (list.First(); !list.Eof(); list.Next()) {
        if (list.Item().CAPTION() != idOrCaption)
            continue;
        if (found)
            throw EUsage(
                Format("More than one project has the caption %s: give its ID", idOrCaption));
        found = &list.Item();
    }
    if (!found)
        throw EUsage(Format("Project %s not found", idOrCaption));
    return *found;
}

// What the run line says of an assessment: "valid" (followed by "(metabolites not
// calculated)" when the substance check's warning left them out), its ERRORMESSAGE, or why it
// was not run.
std::string OutcomeText(const TRunOutcome& outcome, TdcAssessments& assessments) {
    if (outcome.Verdict != TRunVerdict::Valid)
        return outcome.Message;
    // The line is printed also when the plug-in fails here.
    try {
        if (!assessments.IsOpen())
            assessments.Open();
        if (assessments.LocateByItemID(std::to_string(outcome.AssessmentID), false) &&
            TModelManager::GetSingleton().MetabolitesLeftOut(assessments.Item().SUBSTANCEGUID()))
            return Format("valid (%s)", MetabolitesNotCalculated);
    } catch (const std::exception& e) {
        return std::string("valid (whether metabolites were left out is not known: ") + e.what() +
               ")";
    }
    return "valid";
}

int ExitCodeOf(const std::vector<TRunOutcome>& outcomes) {
    const auto any = [&](std::initializer_list<TRunVerdict> verdicts) {
        return std::any_of(outcomes.begin(), outcomes.end(), [&](const TRunOutcome& outcome) {
            return std::find(verdicts.begin(), verdicts.end(), outcome.Verdict) != verdicts.end();
        });
    };
    if (any({TRunVerdict::NotValid, TRunVerdict::Stopped}))
        return ExitFailure;
    if (any({TRunVerdict::Claimed, TRunVerdict::NotRun}))
        return ExitLeftToOthers;
    return ExitDone;
}

// One line per marked assessment of the shard: its key, caption and "valid", its
// ERRORMESSAGE, "not run" when a stop came first, or "not run: claimed by ..." when another
// program holds it. Printed also when the run could not go on.
int RunProject(const std::string& idOrCaption) {
    TdcProjects projects(Database());
    TdciProjects& project = FindProject(projects, idOrCaption);
    TModelManager& manager = TModelManager::GetSingleton();
    std::exception_ptr failure;
    try {
        manager.RunProject(&project);
    } catch (...) {
        failure = std::current_exception();
    }
    for (const TRunOutcome& outcome : manager.RunOutcomes())
        std::cout << outcome.AssessmentID << "\t" << outcome.Caption << "\t"
                  << OutcomeText(outcome, project.Assessments()) << "\n";
    std::cout.flush();
    if (!failure)
        return ExitCodeOf(manager.RunOutcomes());
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        std::cerr << "The run could not go on: " << e.what() << "\n";
    }
    return ExitRunCouldNotGoOn;
}

TdciAssessments& FindAssessment(TdcAssessments& list, int assessmentID) {
    list.SetFilter("ASSESSMENTID=%d", {assessmentID});
    list.Open();
    if (list.Count() == 0)
        throw EUsage(Format("Assessment %d not found", assessmentID));
    return list.Item();
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

// The page, or with `csv` the daily series; prints the file's path.
int WriteReport(int assessmentID, bool csv) {
    TdcAssessments list(Database());
    const TdciAssessments& assessment = FindAssessment(list, assessmentID);
    std::string path = DailySeriesCsvPath(assessment);
    if (csv)
        WriteDailySeriesCsv(assessment, path);
    else
        path = WriteSummaryReportFile(assessment);
    std::cout << path << "\n";
    return ExitDone;
}

int WriteProjectReport(const std::string& idOrCaption, bool csv) {
    TdcProjects projects(Database());
    const TdciProjects& project = FindProject(projects, idOrCaption);
    std::string path = ProjectSummaryCsvPath(project);
    if (csv)
        WriteProjectSummaryCsv(project, path);
    else
        path = WriteProjectSummaryFile(project);
    std::cout << path << "\n";
    return ExitDone;
}

// How one assessment's verification went, for the exit code.
enum class TVerified { Matches, Differs, NothingToVerify };

// The findings, each on a line of its own, then the verdict, all with the assessment's key and
// caption. With `unrunAllowed` an assessment without a run record and without valid results
// (never run, or run before records were kept and not valid since) has nothing to verify.
TVerified VerifyAndPrint(const TdciAssessments& assessment, bool unrunAllowed) {
    const TVerification verification = VerifyStoredRun(assessment);
    const std::string head =
        std::to_string(assessment.ASSESSMENTID()) + "\t" + assessment.CAPTION() + "\t";
    const auto print = [&](const std::string& text) { std::cout << head << text << "\n"; };
    TVerified verified = TVerified::Differs;
    switch (verification.Outcome) {
    case TVerificationOutcome::Matches:
        print("matches its run record");
        verified = TVerified::Matches;
        break;
    case TVerificationOutcome::Differs:
        for (const std::string& finding : verification.Findings)
            print(finding);
        print("does not match its run record");
        break;
    case TVerificationOutcome::NoRecord:
        if (unrunAllowed && !assessment.VALIDRESULTS()) {
            print("nothing to verify: no run record and no valid results");
            verified = TVerified::NothingToVerify;
            break;
        }
        [[fallthrough]];
    case TVerificationOutcome::Busy:
        print("not verified: " + verification.Findings.front());
        break;
    }
    std::cout.flush();
    return verified;
}

int VerifyAssessment(int assessmentID) {
    TdcAssessments list(Database());
    const TdciAssessments& assessment = FindAssessment(list, assessmentID);
    return VerifyAndPrint(assessment, false) == TVerified::Matches ? ExitDone : ExitFailure;
}

// Every assessment of the project that has run; a project without any is a failure, for a
// submission without a run to verify proves nothing.
int VerifyProject(const std::string& idOrCaption) {
    TdcProjects projects(Database());
    TdciProjects& project = FindProject(projects, idOrCaption);
    TdcAssessments& assessments = project.Assessments();
    if (!assessments.IsOpen())
        assessments.Open();
    int matched = 0;
    bool differs = false;
    for (assessments.First(); !assessments.Eof(); assessments.Next()) {
        const TVerified verified = VerifyAndPrint(assessments.Item(), true);
        matched += verified == TVerified::Matches ? 1 : 0;
        differs = differs || verified == TVerified::Differs;
    }
    if (differs)
        return ExitFailure;
    if (matched == 0) {
        std::cerr << "Project " << project.CAPTION() << " has no run to verify.\n";
        return ExitFailure;
    }
    return ExitDone;
}

int CheckSubstancesCommand() {
    CheckSubstances(Database());
    return ExitDone;
}

int Execute(const TCommandLine& line) {
    TServiceStartOptions options;
    // The program's own settings, made by a first start when there are none.
    const std::optional<std::string> settings = line.Option("settings");
    options.SettingsFileName = settings ? *settings : PrepareSettingsFile(SettingsProgramName);
    StartServices(options);
    TModelManager& manager = TModelManager::GetSingleton();
    manager.SetContinueOnError(true);
    if (line.Command == "run") {
        manager.SetJobs(ParseJobs(line.Option("jobs").value_or("1")));
        const TShard shard = ParseShard(line.Option("shard").value_or("0/1"));
        manager.SetShard(shard.Index, shard.Count);
        return RunProject(*line.Option("project"));
    }
    if (line.Command == "inputs")
        return WriteInputs(ParseID(*line.Option("assessment")));
    if (line.Command == "verify" && line.Option("project"))
        return VerifyProject(*line.Option("project"));
    if (line.Command == "verify")
        return VerifyAssessment(ParseID(*line.Option("assessment")));
    const bool csv = line.Option("csv").has_value();
    if (line.Command == "report" && line.Option("project"))
        return WriteProjectReport(*line.Option("project"), csv);
    if (line.Command == "report")
        return WriteReport(ParseID(*line.Option("assessment")), csv);
    return CheckSubstancesCommand();
}

// The signal that asked a run to stop; 0 while none did.
volatile std::sig_atomic_t stopSignal = 0;

void StopRun(int signal) {
    stopSignal = signal;
    RequestRunStop();
}

// SIGINT, SIGTERM, SIGHUP (a closed terminal, a dropped ssh session) and SIGQUIT stop a run
// instead of ending the program at once: the model processes are terminated and what ran is
// stored. Interrupted system calls are restarted, so that the database drivers never see
// them; the model waits are woken all the same. A reader that went away (SIGPIPE) must not
// end the program before it stored what ran.
void StopRunsOnSignals() {
    struct sigaction action {};
    action.sa_handler = StopRun;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        ::sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

} // namespace
} // namespace parvela

int main(int argc, char** argv) {
    using namespace parvela;
    if (const std::optional<int> answered =
            AnswerHelpOrVersion(argc, argv, "parvela-batch", HelpText))
        return *answered;
    TCommandLine line;
    try {
        line = ParseCommandLine(argc, argv);
    } catch (const EUsage& e) {
        std::cerr << e.Message() << "\n" << UsageText;
        return ExitUsage;
    }
    if (line.Command == "run" || line.Command == "verify")
        StopRunsOnSignals();
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
    if (stopSignal != 0)
        return 128 + stopSignal;
    return exitCode;
}
