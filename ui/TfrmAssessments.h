#pragma once
// The main window. Its creation starts the program's services and its destruction stops
// them; closing it ends the program. It lists the assessments of the current project, edits
// and marks them, runs the marked ones and opens every other window.
//
// It keeps the assessment list with its connector, the current project and the handlers, and
// assembles the parts in ui/assessments/: the actions with the menus and the tool bar, the
// browse group with the grid, the edit group, and the run controls in the status bar (child
// widgets that the window owns).

#include "UnitsFromGenerator/TdcAssessments.h"
#include "program/startup/Services.h"
#include "ui/TDACGUIConnector.h"
#include "ui/WindowSupport.h"
#include "ui/assessments/TAssessmentActions.h"

#include <QMainWindow>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace parvela {

class TAssessmentBrowsePanel;
class TAssessmentEditPanel;
class TAssessmentRunPanel;
class TfrmProjects;
class TdciProjects;
enum class TResultFileKind;

class TfrmAssessments : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmAssessments(const TServiceStartOptions& options = {}, QWidget* parent = nullptr);
    ~TfrmAssessments() override;

    // Whether every service started; a failed step was reported and the window goes on.
    bool ServicesStarted() const { return servicesStarted_; }
    // The projects window that exists for the whole run (not owned).
    void SetProjectsWindow(TfrmProjects* window) { projectsWindow_ = window; }

    TDACGUIConnector& Connector() { return *connector_; }
    TdcAssessments& Assessments() { return *assessments_; }
    TdciAssessments* SelectedAssessment() const;
    TdciProjects* CurrentProject() const;
    // The text of the status bar: what runs, how the last run ended.
    const std::string& StatusText() const;
    // While "Calculate" runs, nothing that edits, writes files or closes the window can start.
    bool RunInProgress() const;
    void UpdateActions();
    // Reloads the assessments of the current project and shows the remembered one again.
    void Refresh();

    void SaveAssessment();
    void DeleteAssessment();
    void CopyAssessment();
    // Marks or unmarks the selected rows (one or several) for execution, each by itself.
    void ToggleSelectedForExecution();
    // Marks or unmarks every assessment of the project for execution.
    void MarkAllForExecution(bool mark);
    // Reads the projects, the assessments, the scenarios and the schemes again from the
    // database (rows that others added or changed meanwhile).
    void ReloadLists();
    void Calculate();
    void ChooseProject();
    void EditSubstances();
    void EditApplicationSchemes();
    void ViewScenarios();
    void ShowAbout();
    void ShowReport();
    void ShowInputFiles();
    void ShowResultFiles(TResultFileKind kind);
    void ShowProjectSummary();
    // "Export CSV...": the project summary, or the selected assessment's daily series, into a
    // file that the user chooses.
    void ExportProjectSummaryCsv();
    void ExportDailySeriesCsv();
    void ToggleContinueOnError();
    void ShowUserManualInformation();
    void OpenWebsite();

    static constexpr const char* WebsiteAddress = "https://example.org/parvela/";
    static constexpr const char* UserManualInformation =
        "The PARVELA user manual can be requested from the Parvela team:\r"
        "parvela-support@example.org";

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void StartProgramServices(const TServiceStartOptions& options);
    // The status text, the progress and Stop of a run, in the status bar.
    void BuildRunPanel(QWidget* toolBar);
    void ConnectHandlers();
    void CreateLists();
    void SetModelVersions();
    void FirstActivation();
    void LoadAssessments();
    void StartConnector();
    void UpdateCaption();
    void Interchange(bool toItem, TDACDatabaseClassItem* item);
    // Marks the assessments (empty `mark`: inverts each) and saves each at once, as a double
    // click does; the current assessment's pending edits are saved with it.
    void MarkForExecution(const std::vector<TdciAssessments*>& assessments,
                          std::optional<bool> mark);
    bool SaveBeforeEditor();
    // The results question when a save would keep results of changed inputs; true to save.
    bool ConfirmResultsLoss(TdciAssessments& assessment);
    void StopProgramServices();

    bool servicesStarted_ = false;
    bool activated_ = false;
    TfrmProjects* projectsWindow_ = nullptr;
    std::unique_ptr<TdcAssessments> assessments_;
    std::unique_ptr<TDACGUIConnector> connector_;
    std::string currentProjectItemID_;
    std::string rememberedItemID_;

    TAssessmentActions actions_;
    TAssessmentBrowsePanel* browsePanel_ = nullptr;
    TAssessmentEditPanel* editPanel_ = nullptr;
    TAssessmentRunPanel* runPanel_ = nullptr;
};

} // namespace parvela
