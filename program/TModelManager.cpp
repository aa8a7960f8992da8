#include "TModelManager.h"

#include "ProgramIdentity.h"
#include "TDAXOInterface.h"
#include "TZentorModelGlidar.h"
#include "TZentorModelMundre.h"
#include "UnitsFromGenerator/ProjectDirectory.h"
#include "UnitsFromGenerator/TdcAssessments.h"
#include "UnitsFromGenerator/TdcProjects.h"
#include "Utilities.h"
#include "framework/Format.h"
#include "platform/ExecutablePath.h"
#include "platform/UserDirectories.h"

#include <filesystem>

namespace parvela {

namespace {

constexpr const char* SubstanceSeparator = "; ";

const char* const IncompleteText = "Substance is not complete or has invalid option(s): %s";
const char* const PhDependentSorptionText =
    "Only the sorption on soil option \"Kom, pH-independent\" is available for Parvela. If the "
    "substance shows pH dependent adsorption then perform sorption studies with three paddy "
    "soils with pH-CaCl2 of 4-5 and with three paddy soils with pH-CaCl2 of 7-8 and take the "
    "most unfavourable end point as result for the Kom using the option: \"Kom, "
    "pH-independent\". (substance: %s)";
const char* const SorptionOptionText = "Only the sorption on soil option \"Kom, pH-independent\" "
                                       "is available for Parvela. (substance: %s)";
const char* const CanopyOptionText =
    "Only the canopy process option \"Lumped\" using 10 d for the half life is valid for the "
    "Chinese paddy rice scenarios. (substance: %s)";
const char* const MoistureText =
    "According the SOP for transformation in soil, the experiment should be performed under "
    "optimum moisture conditions. Select \"Option moisture conditions (pF = 2 or wetter)\". "
    "(substance: %s)";
const char* const PondMetabolitesText =
    "Calculations will not be performed for metabolites formed in the water and sediment of the "
    "pond and in the paddy water. This a Chinese policy decision. (substance: %s)";

void Append(std::string& texts, const std::string& text) {
    if (!texts.empty())
        texts += SubstanceSeparator;
    texts += text;
}

std::string WithDelimiter(std::string directory) {
    if (directory.empty() || directory.back() != '/')
        directory += '/';
    return directory;
}

void SetErrorMessage(TdciAssessments& assessment, const std::string& text) {
    assessment.SetSkipLockCheck(true);
    assessment.SetERRORMESSAGE(text);
}

} // namespace

std::string RegistryKey() {
    return Format("SOFTWARE\\PARVELA\\VERSION_%s", ProgramVersion);
}

TModelManager::TModelManager() {
    const std::string dataPath = ReadRegistryString(HKEY_LOCAL_MACHINE, RegistryKey(), "DataPath");
    if (dataPath.empty()) {
        // Without an installed data path the runs go to the user's own data directory, never
        // to the root of the file system.
        std::error_code ignored;
        std::filesystem::create_directories(UserDataDirectory(), ignored);
        projectsDirectory_ = UserDataDirectory() + "projects/";
    } else {
        projectsDirectory_ = WithDelimiter(dataPath) + "projects/";
    }
    CreateDirectoryLevel(projectsDirectory_);
    modelsDirectory_ = ExecutableDirectory() + "models/";

    auto glidar = std::make_unique<TZentorModelGlidar>(modelsDirectory_);
    glidar->SetScenarioCacheDirectory(projectsDirectory_);
    auto mundre = std::make_unique<TZentorModelMundre>(modelsDirectory_);
    mundre->SetUpstreamModelName("GLIDAR");
    models_.push_back(std::move(glidar));
    models_.push_back(std::move(mundre));

    SetProjectDirectoryProvider([this](int projectID, bool withDelimiter) {
        return ProjectDirectory(projectID, withDelimiter);
    });
}

TModelManager::~TModelManager() {
    SetProjectDirectoryProvider({});
    models_.clear();
}

TZentorModelGlidar& TModelManager::Glidar() const {
    return static_cast<TZentorModelGlidar&>(*models_.at(0));
}

TZentorModelMundre& TModelManager::Mundre() const {
    return static_cast<TZentorModelMundre&>(*models_.at(1));
}

void TModelManager::SetModelsDirectory(const std::string& directory) {
    modelsDirectory_ = WithDelimiter(directory);
    for (const auto& model : models_)
        model->SetModelDirectory(modelsDirectory_);
}

std::string TModelManager::ProjectDirectory(int projectID, bool withDelimiter) const {
    return projectsDirectory_ + std::to_string(projectID) + (withDelimiter ? "/" : "");
}

bool TModelManager::CreateProjectDirectory(int projectID) {
    return CreateDirectoryLevel(ProjectDirectory(projectID, true));
}

bool TModelManager::PrepareRunDirectory(const std::string& path, bool clean) {
    if (clean)
        DeleteDirectoryTree(path);
    return CreateDirectoryLevel(path);
}

bool TModelManager::RunProject(TdciProjects* project) {
    if (!project)
        return false;
    const int projectID = project->PROJECTID();
    CreateProjectDirectory(projectID);
    TdcAssessments& assessments = project->Assessments();
    if (!assessments.IsOpen())
        assessments.Open();
    bool allSucceeded = true;
    for (assessments.First(); !assessments.Eof(); assessments.Next()) {
        TdciAssessments& assessment = assessments.Item();
        if (assessment.SELECTEDFOREXECUTION() && !RunAssessment(projectID, &assessment))
            allSucceeded = false;
    }
    return allSucceeded;
}

bool TModelManager::RunAssessment(int projectID, TdciAssessments* assessment) {
    if (!assessment)
        return true;
    bool ok = true;
    assessment->SetRunDirectory(projectID);

    SetErrorMessage(*assessment, "");
    const int check = CheckSubstance(assessment->SUBSTANCEGUID());
    if (check == 1) {
        if (continueOnError_) {
            SetErrorMessage(*assessment, "[WARNING]" + substanceWarnings_ +
                                             "; --> Simulation started with warnings.");
        } else if (!AskOkCancel(Format("Selected substance for assessment %s has warnings. Are "
                                       "you sure you want to start the calculation for this "
                                       "assessment?",
                                       assessment->CAPTION()))) {
            SetErrorMessage(*assessment, "[WARNING]" + substanceWarnings_ +
                                             "; --> Simulation canceled by user due to warnings.");
            ok = false;
        }
    } else if (check == 2) {
        SetErrorMessage(*assessment, "[ERROR]" + substanceErrors_);
        ok = false;
    }

    if (ok && !PrepareRunDirectory(assessment->RunDirectory(), true)) {
        SetErrorMessage(*assessment, Format("Cannot create assessment directory: %s.",
                                            assessment->RunDirectory()));
        ok = false;
    }
    if (ok)
        ok = RunModels(*assessment);
    assessment->Save();
    return ok;
}

bool TModelManager::RunModels(TdciAssessments& assessment) {
    assessment.SetSkipLockCheck(true);
    assessment.SetASSESSMENTREPORT("");
    assessment.SetSkipLockCheck(true);
    assessment.SetVALIDRESULTS(false);
    bool ok = true;
    try {
        for (const auto& model : models_) {
            if (runProgress_)
                runProgress_(assessment.CAPTION(), model->ModelName());
            if (!model->Execute(&assessment, true)) {
                SetErrorMessage(assessment,
                                Format("running model %s failed: ", model->ModelName()) +
                                    assessment.ERRORMESSAGE());
                ok = false;
                break;
            }
        }
    } catch (...) {
        // The earlier results went with the emptied run directory: a run ended by a failure
        // must not leave them marked valid.
        try {
            assessment.Save();
        } catch (const Exception&) {
            // the first failure is the one to report
        }
        throw;
    }
    assessment.SetSkipLockCheck(true);
    assessment.SetVALIDRESULTS(ok);
    return ok;
}

bool TModelManager::WriteInputFilesOnly(TdciAssessments* assessment) {
    if (!assessment)
        return false;
    const int projectID = assessment->PROJECTID();
    if (!CreateProjectDirectory(projectID))
        return false;
    assessment->SetRunDirectory(projectID);
    if (!PrepareRunDirectory(assessment->RunDirectory(), false))
        return false;
    CheckSubstance(assessment->SUBSTANCEGUID());
    for (const auto& model : models_)
        if (!model->Execute(assessment, false))
            return false;
    return true;
}

void TModelManager::AddError(const std::string& text) {
    Append(substanceErrors_, text);
    if (!continueOnError_)
        ShowError(text);
}

void TModelManager::AddWarning(const std::string& text) {
    Append(substanceWarnings_, text);
    if (!continueOnError_)
        ShowWarning(text);
}

int TModelManager::CheckSubstance(const std::string& substanceGuid) {
    substanceWarnings_.clear();
    substanceErrors_.clear();
    std::unique_ptr<TDAXOAttributeList> attributes;
    TDAXOInterface& plugin = TDAXOInterface::GetSingleton();
    plugin.GetSubstanceInfoListByGUID(substanceGuid, false, attributes);
    if (!attributes || attributes->Empty()) {
        substanceErrors_ = Format("Substance not found: %s", substanceGuid);
        if (!continueOnError_)
            ShowError(substanceErrors_);
        return 2;
    }
    int result = 0;
    const std::string code = attributes->Value("SubstanceCode");
    auto error = [&](const char* text) {
        AddError(Format(text, code));
        result = 2;
    };
    auto warning = [&](const char* text) {
        AddWarning(Format(text, code));
        if (result == 0)
            result = 1;
    };

    const std::string trueText = plugin.BooleanTrue();
    if (attributes->Value(plugin.IncompleteAttributeName()) == trueText) {
        Append(substanceErrors_, Format(IncompleteText, code));
        result = 2;
        if (!continueOnError_)
            plugin.ShowSubstanceErrorMessages(substanceGuid);
    }
    const std::string sorptionOption = attributes->Value("OptCofFreCode");
    if (sorptionOption == "2")
        error(PhDependentSorptionText);
    else if (sorptionOption == "1")
        error(SorptionOptionText);
    if (attributes->Value("OptDspCrp") != "1")
        warning(CanopyOptionText);
    if (attributes->Value("OptCntLiqTraRef") != trueText)
        warning(MoistureText);
    if (HasMetabolites(substanceGuid, DAXOWaterCompartment) ||
        HasMetabolites(substanceGuid, DAXOSedimentCompartment))
        warning(PondMetabolitesText);
    return result;
}

bool TModelManager::HasMetabolites(const std::string& substanceGuid, int compartment) {
    std::unique_ptr<TDAXOGUIDList> metabolites;
    TDAXOInterface::GetSingleton().GetMetaboliteGUIDList(substanceGuid, compartment, true, false,
                                                         metabolites);
    return metabolites && !metabolites->Empty();
}

int TModelManager::GetLastOpenedProject() const {
    return ReadRegistryInteger(HKEY_LOCAL_MACHINE, RegistryKey(), "LastOpenedProject");
}

void TModelManager::SetLastOpenedProject(int projectID) {
    WriteRegistryInteger(HKEY_LOCAL_MACHINE, RegistryKey(), "LastOpenedProject", projectID);
}

} // namespace parvela
