#pragma once
// The main window. Its creation starts the program's services and its destruction stops
// them; closing it ends the program. It lists the assessments of the current project, edits
// and marks them, runs the marked ones and opens every other window.

#include "UnitsFromGenerator/TdcApplicationSchemes.h"
#include "UnitsFromGenerator/TdcAssessments.h"
#include "UnitsFromGenerator/TdcScenarios.h"
#include "program/plugin/DAXOTextList.h"
#include "program/runs/TModelManager.h"
#include "program/startup/Services.h"
#include "ui/TDACGUIConnector.h"
#include "ui/WindowSupport.h"

#include <QElapsedTimer>
#include <QMainWindow>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QTimer;
class QTabWidget;
class QToolButton;
class QWidget;

namespace parvela {

class TDACGrid;
class TfrmProjects;
class TdciProjects;

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
    const std::string& StatusText() const { return statusText_; }
    // While "Calculate" runs, nothing that edits, writes files or closes the window can start.
    bool RunInProgress() const { return runInProgress_; }
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
    // "Stopped", "Finished" or the warning, and the assessments left to other programs.
    void ShowRunEnd(bool stopped, bool succeeded);
    void ChooseProject();
    void EditSubstances();
    void EditApplicationSchemes();
    void ViewScenarios();
    void ShowAbout();
    void ShowReport();
    void ShowInputFiles();
    void ShowResultFiles(int kind);
    void ShowProjectSummary();
    // "Export CSV...": the project summary, or the selected assessment's daily series, into a
    // file that the user chooses.
    void ExportProjectSummaryCsv();
    void ExportDailySeriesCsv();
    void ToggleContinueOnError();
    // Asks how many assessments run at once and keeps the answer for the user.
    void ChooseParallelRuns();
    // Stops a run in progress: its model processes are terminated.
    void StopRun();
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
    void BuildActions();
    void BuildMenus();
    void BuildToolBar(QWidget* central);
    // The progress bar and the Stop button of a run, in the status bar.
    void BuildRunControls();
    void BuildBrowseGroup(QWidget* central);
    void BuildEditGroup(QWidget* central);
    void ConnectHandlers();
    void CreateLists();
    void SetModelVersions();
    void ReadSubstances();
    void FirstActivation();
    void LoadAssessments();
    void FillComboBoxes();
    void FillSubstanceComboBox();
    void FillSchemeComboBox();
    void StartConnector();
    void UpdateCaption();
    void InitGrid();
    void PopulateRow(int row, TDACDatabaseClassItem& item);
    void Interchange(bool toItem, TDACDatabaseClassItem* item);
    void ShowItem(TdciAssessments& assessment);
    void ClearControls();
    void ControlChanged();
    void ScenarioChosen();
    void SchemeChosen();
    void SubstanceChosen();
    // The one switch of a run in progress: the panels, the actions and the close request
    // follow it.
    void SetRunInProgress(bool running);
    void ShowStatus(const std::string& text);
    void ShowRunProgress(const TModelManager::TRunProgressState& state);
    // "Assessment k of n - hh:nn:ss" in the progress bar.
    void ShowRunClock();
    // The assessments of the selected rows; at least the current one when there is one.
    std::vector<TdciAssessments*> SelectedAssessments() const;
    // Marks the assessments (empty `mark`: inverts each) and saves each at once, as a double
    // click does; the current assessment's pending edits are saved with it.
    void MarkForExecution(const std::vector<TdciAssessments*>& assessments,
                          std::optional<bool> mark);
    // Save, Cancel and Delete of the navigator get their keys and their names in the menus.
    void SetNavigatorKeys();
    bool SaveBeforeEditor();
    // The results question when a save would keep results of changed inputs; true to save.
    bool ConfirmResultsLoss(TdciAssessments& assessment);
    std::string SubstanceCodeOf(const std::string& guid) const;
    int SubstanceIndexOf(const std::string& guid) const;
    void StopProgramServices();

    bool servicesStarted_ = false;
    bool activated_ = false;
    bool runInProgress_ = false;
    TfrmProjects* projectsWindow_ = nullptr;
    std::unique_ptr<TdcAssessments> assessments_;
    std::unique_ptr<TDACGUIConnector> connector_;
    std::unique_ptr<TdcScenarios> scenarios_;
    std::unique_ptr<TdcApplicationSchemes> schemes_;
    std::unique_ptr<TDAXOGUIDList> substances_;
    std::string currentProjectItemID_;
    std::string rememberedItemID_;
    std::string statusText_;
    QString shownErrorMessage_;

    TDACGrid* grdAssessments_ = nullptr;
    TNavigator navigator_;
    QWidget* Panel1_ = nullptr;
    QGroupBox* GroupBox1_ = nullptr;
    QGroupBox* gbxBrowseAssessments_ = nullptr;
    QTabWidget* PageControl1_ = nullptr;
    QLineEdit* edtAssessmentsCaption_ = nullptr;
    QLineEdit* edtAssessmentsDescription_ = nullptr;
    QComboBox* cbxScenarios_ = nullptr;
    QComboBox* cbxAssessmentsSubstanceCode_ = nullptr;
    QComboBox* cbxApplicationSchemes_ = nullptr;
    QCheckBox* chxAssessmentsSelectedForExecution_ = nullptr;
    QPlainTextEdit* mmErrorMessage_ = nullptr;
    QDateTimeEdit* dtpAssessmentsCreationDate_ = nullptr;
    QDateTimeEdit* dtpAssessmentsModificationDate_ = nullptr;
    QCheckBox* chxAssessmentHasValidResults_ = nullptr;
    QLineEdit* edtAssessmentsSelectedForExecution_ = nullptr;
    QLabel* lblStatus_ = nullptr;
    QProgressBar* pbRun_ = nullptr;
    QToolButton* btnStop_ = nullptr;
    QTimer* runClockTimer_ = nullptr;
    QElapsedTimer runClock_;
    int runStarted_ = 0;
    int runTotal_ = 0;

    QAction* actClose_ = nullptr;
    QAction* mnExit_ = nullptr;
    QAction* actHelp_ = nullptr;
    QAction* actEditApplicationSchemes_ = nullptr;
    QAction* actEditSubstances_ = nullptr;
    QAction* actViewScenarios_ = nullptr;
    QAction* actShowAbout_ = nullptr;
    QAction* actReports_ = nullptr;
    QAction* actContinueOnError_ = nullptr;
    QAction* Continuemultiplerunsonerror_ = nullptr;
    QAction* actParallelRuns_ = nullptr;
    QAction* actMarkForExecution_ = nullptr;
    QAction* actMarkAll_ = nullptr;
    QAction* actUnmarkAll_ = nullptr;
    QAction* actReload_ = nullptr;
    QAction* actStop_ = nullptr;
    QAction* actRun_ = nullptr;
    QAction* actProjects_ = nullptr;
    QAction* actInputFiles_ = nullptr;
    QAction* actSummaryFiles_ = nullptr;
    QAction* actErrorFiles_ = nullptr;
    QAction* actProjectSummary_ = nullptr;
    QAction* actExportProjectSummaryCsv_ = nullptr;
    QAction* actExportReportCsv_ = nullptr;
    QAction* mnUserManual_ = nullptr;
    QAction* mnWebsite_ = nullptr;
    QAction* AboutParvela_ = nullptr;
};

} // namespace parvela
