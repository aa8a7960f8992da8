#pragma once
// Turns "Calculate" into model runs: for the marked assessments of a project it checks the
// substance against the program's rules, prepares a fresh run directory, lets GLIDAR and then
// MUNDRE write their input and run, and stores the outcome on the assessment. It owns the
// directory layout of all runs and keeps the last opened project in the registry.

#include "framework/Singleton.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace parvela {

class TZentorModel;
class TZentorModelGlidar;
class TZentorModelMundre;
class TdciAssessments;
class TdciProjects;

// "SOFTWARE\PARVELA\VERSION_" + ProgramVersion, under HKEY_LOCAL_MACHINE.
std::string RegistryKey();

class TModelManager : public TSingleton<TModelManager, SingletonKind::SlotOnly> {
public:
    static constexpr const char* ClassName = "TModelManager";

    // Reads the data path, creates the projects directory when missing, creates the two
    // drivers and installs itself as the assessments' project-directory provider.
    TModelManager();

    // True when every marked assessment of the project ran successfully (also when none is
    // marked); an exception ends the walk at once.
    bool RunProject(TdciProjects* project);
    bool RunAssessment(int projectID, TdciAssessments* assessment);
    // Writes the input files of both models without running them; nothing is stored.
    bool WriteInputFilesOnly(TdciAssessments* assessment);
    // 0 no remarks, 1 warnings, 2 errors; the texts go to SubstanceWarnings and
    // SubstanceErrors, and to message boxes unless ContinueOnError.
    int CheckSubstance(const std::string& substanceGuid);
    bool HasMetabolites(const std::string& substanceGuid, int compartment);

    // ProjectsDirectory + the key, with "/" when asked for.
    std::string ProjectDirectory(int projectID, bool withDelimiter) const;
    bool CreateProjectDirectory(int projectID);
    bool PrepareRunDirectory(const std::string& path, bool clean);

    // Raises "Registry key nog found %s\%s" when the value is missing.
    int GetLastOpenedProject() const;
    void SetLastOpenedProject(int projectID);

    // Told before each model of an assessment runs: the assessment's caption and the model.
    using TRunProgress =
        std::function<void(const std::string& assessment, const std::string& model)>;
    void SetRunProgress(TRunProgress progress) { runProgress_ = std::move(progress); }

    bool ContinueOnError() const { return continueOnError_; }
    void SetContinueOnError(bool value) { continueOnError_ = value; }

    const std::string& ProjectsDirectory() const { return projectsDirectory_; }
    const std::string& ModelsDirectory() const { return modelsDirectory_; }
    // Points both drivers at other model programs (a directory ending in "/").
    void SetModelsDirectory(const std::string& directory);
    const std::vector<std::unique_ptr<TZentorModel>>& Models() const { return models_; }
    TZentorModelGlidar& Glidar() const;
    TZentorModelMundre& Mundre() const;
    const std::string& SubstanceWarnings() const { return substanceWarnings_; }
    const std::string& SubstanceErrors() const { return substanceErrors_; }

protected:
    ~TModelManager() override;

private:
    void AddError(const std::string& text);
    void AddWarning(const std::string& text);
    void CheckSubstanceRules(const std::string& substanceGuid, int& result);
    bool RunModels(TdciAssessments& assessment);

    std::string projectsDirectory_;
    std::string modelsDirectory_;
    std::vector<std::unique_ptr<TZentorModel>> models_;
    std::string substanceWarnings_;
    std::string substanceErrors_;
    bool continueOnError_ = false;
    TRunProgress runProgress_;
};

} // namespace parvela
