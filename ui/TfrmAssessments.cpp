#include "ui/TfrmAssessments.h"

#include "UnitsFromGenerator/BorrowedList.h"
#include "UnitsFromGenerator/ProjectDirectory.h"
#include "UnitsFromGenerator/TdcProjects.h"
#include "framework/Format.h"
#include "framework/LockCheckSkipped.h"
#include "platform/Dialogs.h"
#include "platform/UiHooks.h"
#include "program/checks/SchemeUsage.h"
#include "program/connection/ProgramIdentity.h"
#include "program/plugin/TDAXOInterface.h"
#include "program/reports/CsvExport.h"
#include "program/reports/ProjectSummary.h"
#include "program/reports/SummaryReport.h"
#include "program/runs/RunClaims.h"
#include "program/runs/TModelManager.h"
#include "program/system/DesktopOpener.h"
#include "program/system/DirectoryTree.h"
#include "program/system/Messages.h"
#include "ui/AppIcon.h"
#include "ui/QtConvert.h"
#include "ui/TDACGrid.h"
#include "ui/TfrmAbout.h"
#include "ui/TfrmApplicationSchemes.h"
#include "ui/TfrmProjects.h"
#include "ui/TfrmResults.h"
#include "ui/TfrmScenarios.h"
#include "ui/assessments/TAssessmentBrowsePanel.h"
#include "ui/assessments/TAssessmentEditPanel.h"
#include "ui/assessments/TAssessmentRunPanel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QVBoxLayout>

#include <filesystem>
#include <optional>
#include <utility>

namespace parvela {

namespace {

constexpr const char* ModelVersions[] = {"MODEL=GLIDAR/SHELL=PARVELA;1",
                                         "MODEL=MUNDRE/SHELL=PARVELA;1"};

template <class List> void CloseIfOpen(List* list) {
    if (list && list->IsOpen())
        CloseQuietly(*list);
}

} // namespace

TfrmAssessments::TfrmAssessments(const TServiceStartOptions& options, QWidget* parent)
    : QMainWindow(parent), actions_(this) {
    setObjectName("frmAssessments");
    // The actions, the separators and the services come first; a failing step ends the start
    // of services there, and the window is still built.
    StartProgramServices(options);
    QApplication::setApplicationName(ApplicationTitle());
    QApplication::setWindowIcon(AppIcon());
    setWindowIcon(AppIcon());
    actions_.AboutParvela->setText("About " + ApplicationTitle());
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    QWidget* toolBar = actions_.BuildToolBar(central);
    layout->addWidget(toolBar);
    browsePanel_ = new TAssessmentBrowsePanel(central, actions_.actMarkForExecution);
    layout->addWidget(browsePanel_, 1);
    editPanel_ =
        new TAssessmentEditPanel(central, actions_.actViewScenarios, actions_.actEditSubstances,
                                 actions_.actEditApplicationSchemes);
    layout->addWidget(editPanel_);
    browsePanel_->NameFrom(editPanel_);
    setCentralWidget(central);
    actions_.BuildMenus(this, browsePanel_->Navigator(), browsePanel_);
    BuildRunPanel(toolBar);
    ConnectHandlers();
    setWindowTitle(ApplicationTitle() + " - Assessments");
    if (servicesStarted_) {
        try {
            CreateLists();
        } catch (const std::exception& failure) {
            ReportGeneralError(failure);
        }
    }
    StartActionUpdates(this, [this] { UpdateActions(); });
    UpdateActions();
    WithoutDefaultButtons(this);
    resize(1000, 640);
}

TfrmAssessments::~TfrmAssessments() {
    connector_.reset();
    CloseIfOpen(assessments_.get());
    editPanel_->ReleaseLists();
    assessments_.reset();
    StopProgramServices();
}

// ---- services ----------------------------------------------------------------------------

void TfrmAssessments::StartProgramServices(const TServiceStartOptions& options) {
    try {
        StartServices(options);
        TModelManager::GetSingleton().SetContinueOnError(
            actions_.Continuemultiplerunsonerror->isChecked());
        TModelManager::GetSingleton().SetRunProgress(
            [this](const TModelManager::TRunProgressState& state) {
                runPanel_->ShowRunProgress(state);
            });
        servicesStarted_ = true;
    } catch (const std::exception& failure) {
        ReportGeneralError(failure);
        return;
    }
    // A per-user store that cannot be read is reported; the runs then go one after the other.
    try {
        TModelManager::GetSingleton().SetJobs(TModelManager::StoredParallelRuns());
    } catch (const std::exception& failure) {
        ReportGeneralError(failure);
    }
}

void TfrmAssessments::StopProgramServices() {
    try {
        if (TModelManager::SingletonExists()) {
            if (!currentProjectItemID_.empty())
                TModelManager::GetSingleton().SetLastOpenedProject(StrToInt(currentProjectItemID_));
            TModelManager::GetSingleton().SetRunProgress(nullptr);
        }
    } catch (const std::exception& failure) {
        ReportGeneralError(failure);
    }
    StopServices();
}

void TfrmAssessments::CreateLists() {
    assessments_ = std::make_unique<TdcAssessments>();
    connector_ = std::make_unique<TDACGUIConnector>("item of Assessments");
    SetModelVersions();
    editPanel_->ReadSubstances();
    connector_->SetGrid(&browsePanel_->Grid());
    connector_->SetInitGridSetter([this] { browsePanel_->InitGrid(); });
    connector_->SetPopulateGridRow([this](int row, TDACDatabaseClassItem& item) {
        browsePanel_->PopulateRow(row, static_cast<TdciAssessments&>(item));
    });
    connector_->SetObjectControlsInterchange(
        [this](bool toItem, TDACDatabaseClassItem* item) { Interchange(toItem, item); });
    editPanel_->SetConnector(connector_.get(), [this] { UpdateActions(); });
    connector_->SetObjectList(assessments_.get());
    // Every save, also one after a question on leaving the row, keeps results only for the
    // inputs they were computed from.
    connector_->SetBeforeSave([this](TDACDatabaseClassItem& item) {
        return ConfirmResultsLoss(static_cast<TdciAssessments&>(item));
    });
    editPanel_->CreateLists();
    rememberedItemID_.clear();
    activated_ = false;
}

void TfrmAssessments::SetModelVersions() {
    for (const char* versions : ModelVersions)
        if (!TDAXOInterface::GetSingleton().SetModelVersions(versions))
            ShowWarning(Format("Failed to initialize DAXO with modelversion %s!", versions));
}

// ---- construction of the controls --------------------------------------------------------

void TfrmAssessments::BuildRunPanel(QWidget* toolBar) {
    TRunPanelHooks hooks;
    hooks.Panels = {toolBar, editPanel_, browsePanel_};
    hooks.UpdateActions = [this] { UpdateActions(); };
    hooks.Refresh = [this] { Refresh(); };
    hooks.ShowFailures = [this] { editPanel_->ShowStatusPage(); };
    runPanel_ = new TAssessmentRunPanel(this, actions_.actStop, std::move(hooks));
}

void TfrmAssessments::ConnectHandlers() {
    const TNavigator& navigator = browsePanel_->Navigator();
    connect(navigator.Insert, &QAction::triggered, this, Guarded([this] {
                connector_->InsertRow();
                editPanel_->StartWithCaption();
            }));
    navigator.ConnectMoves(this, [this]() -> TDACGUIConnector& { return *connector_; });
    connect(navigator.Save, &QAction::triggered, this, Guarded([this] { SaveAssessment(); }));
    connect(navigator.Delete, &QAction::triggered, this, Guarded([this] { DeleteAssessment(); }));
    connect(navigator.Copy, &QAction::triggered, this, Guarded([this] { CopyAssessment(); }));
    connect(&browsePanel_->Grid(), &QTableWidget::cellDoubleClicked, this,
            Guarded([this] { ToggleSelectedForExecution(); }));
    connect(actions_.actMarkForExecution, &QAction::triggered, this,
            Guarded([this] { ToggleSelectedForExecution(); }));
    connect(actions_.actMarkAll, &QAction::triggered, this,
            Guarded([this] { MarkAllForExecution(true); }));
    connect(actions_.actUnmarkAll, &QAction::triggered, this,
            Guarded([this] { MarkAllForExecution(false); }));
    connect(actions_.actReload, &QAction::triggered, this, Guarded([this] { ReloadLists(); }));
    connect(actions_.actRun, &QAction::triggered, this, Guarded([this] { Calculate(); }));
    connect(actions_.actStop, &QAction::triggered, this, [this] { runPanel_->StopRun(); });
    connect(actions_.actParallelRuns, &QAction::triggered, this,
            Guarded([this] { runPanel_->ChooseParallelRuns(); }));
    connect(actions_.actProjects, &QAction::triggered, this, Guarded([this] { ChooseProject(); }));
    connect(actions_.actClose, &QAction::triggered, this, [this] { close(); });
    connect(actions_.actEditSubstances, &QAction::triggered, this,
            Guarded([this] { EditSubstances(); }));
    connect(actions_.actEditApplicationSchemes, &QAction::triggered, this,
            Guarded([this] { EditApplicationSchemes(); }));
    connect(actions_.actViewScenarios, &QAction::triggered, this,
            Guarded([this] { ViewScenarios(); }));
    connect(actions_.actShowAbout, &QAction::triggered, this, Guarded([this] { ShowAbout(); }));
    connect(actions_.AboutParvela, &QAction::triggered, actions_.actShowAbout, &QAction::trigger);
    connect(actions_.actReports, &QAction::triggered, this, Guarded([this] { ShowReport(); }));
    connect(actions_.actInputFiles, &QAction::triggered, this,
            Guarded([this] { ShowInputFiles(); }));
    connect(actions_.actSummaryFiles, &QAction::triggered, this,
            Guarded([this] { ShowResultFiles(TResultFileKind::Summary); }));
    connect(actions_.actErrorFiles, &QAction::triggered, this,
            Guarded([this] { ShowResultFiles(TResultFileKind::Error); }));
    connect(actions_.actProjectSummary, &QAction::triggered, this,
            Guarded([this] { ShowProjectSummary(); }));
    connect(actions_.actExportProjectSummaryCsv, &QAction::triggered, this,
            Guarded([this] { ExportProjectSummaryCsv(); }));
    connect(actions_.actExportReportCsv, &QAction::triggered, this,
            Guarded([this] { ExportDailySeriesCsv(); }));
    // The menu entry ticks itself; the handler sets the check from the inverted state.
    // A click on the check item ticks it already; the action's other callers invert it here.
    connect(actions_.Continuemultiplerunsonerror, &QAction::triggered, this,
            Guarded([this] { ToggleContinueOnError(); }));
    connect(actions_.actContinueOnError, &QAction::triggered, this, [this] {
        actions_.Continuemultiplerunsonerror->setChecked(
            !actions_.Continuemultiplerunsonerror->isChecked());
        ToggleContinueOnError();
    });
    connect(actions_.mnUserManual, &QAction::triggered, this,
            Guarded([this] { ShowUserManualInformation(); }));
    connect(actions_.mnWebsite, &QAction::triggered, this, Guarded([this] { OpenWebsite(); }));
    for (QAction* action : findChildren<QAction*>())
        connect(action, &QAction::triggered, this, [this] { UpdateActions(); });
}

// ---- activation --------------------------------------------------------------------------

void TfrmAssessments::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    SaveAppIconFile();
    if (activated_ || !connector_)
        return;
    activated_ = true;
    try {
        FirstActivation();
    } catch (const std::exception& failure) {
        ReportGeneralError(failure);
    }
}

void TfrmAssessments::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        SaveAppIconFile();
}

void TfrmAssessments::FirstActivation() {
    if (projectsWindow_) {
        std::string lastProject;
        try {
            lastProject = std::to_string(TModelManager::GetSingleton().GetLastOpenedProject());
        } catch (const std::exception&) {
            // Never stored: no preselection.
        }
        projectsWindow_->SetItemIDToSelect(lastProject);
        projectsWindow_->StartWithItemID(lastProject);
    }
    LoadAssessments();
    editPanel_->FillComboBoxes();
    StartConnector();
    browsePanel_->Grid().setFocus();
    WidenToShowColumns(this, browsePanel_->Grid());
    editPanel_->ShowAssessmentPage();
    UpdateCaption();
    CheckSubstances();
    Refresh();
}

void TfrmAssessments::LoadAssessments() {
    TdciProjects* project = projectsWindow_ ? projectsWindow_->SelectedProject() : nullptr;
    currentProjectItemID_ = project ? project->ItemID() : std::string();
    if (assessments_->IsOpen())
        assessments_->Close();
    const int projectID = project ? project->PROJECTID() : MissingInteger;
    if (project)
        assessments_->SetDefaultProjectID(projectID);
    assessments_->SetFilter("PROJECTID = %d", {projectID});
    assessments_->Open();
    // Without a project there is nothing to add assessments to.
    assessments_->SetLocked(!project || project->LOCKED());
}

TdciProjects* TfrmAssessments::CurrentProject() const {
    if (!projectsWindow_ || currentProjectItemID_.empty())
        return nullptr;
    TdcProjects& projects = projectsWindow_->Projects();
    if (!projects.IsOpen() || !projects.HasItems() ||
        !projects.LocateByItemID(currentProjectItemID_, false))
        return nullptr;
    return &projects.Item();
}

void TfrmAssessments::StartConnector() {
    connector_->Stop();
    try {
        connector_->Start(rememberedItemID_);
    } catch (const EAssertionFailed&) {
        // The remembered assessment is not in this project.
        rememberedItemID_.clear();
        connector_->Stop();
        connector_->Start("");
    }
    UpdateActions();
}

void TfrmAssessments::UpdateCaption() {
    TdciProjects* project = CurrentProject();
    if (project)
        setWindowTitle(
            QText(Format("%s - Assessments [project: %s]", ProgramTitle(), project->CAPTION())));
    else
        setWindowTitle(QText(Format("%s - Assessments", ProgramTitle())));
}

void TfrmAssessments::Refresh() {
    LoadAssessments();
    StartConnector();
}

void TfrmAssessments::Interchange(bool toItem, TDACDatabaseClassItem* item) {
    // The shown assessment is selected again when the connector starts anew.
    if (!toItem && item)
        rememberedItemID_ = item->ItemID();
    editPanel_->Interchange(toItem, static_cast<TdciAssessments*>(item));
}

bool TfrmAssessments::RunInProgress() const {
    return runPanel_ && runPanel_->Running();
}

const std::string& TfrmAssessments::StatusText() const {
    return runPanel_->StatusText();
}

TdciAssessments* TfrmAssessments::SelectedAssessment() const {
    if (!connector_ || connector_->State() == csStopped)
        return nullptr;
    return static_cast<TdciAssessments*>(connector_->SelectedObject());
}

void TfrmAssessments::UpdateActions() {
    const bool usable = connector_ != nullptr && !RunInProgress();
    actions_.EnableForRun(usable, RunInProgress());
    if (!usable || connector_->State() == csStopped) {
        browsePanel_->Navigator().DisableAll();
        actions_.EnableForSelection(false, false);
        return;
    }
    const TDACActionStatus& status = connector_->ActionStatus();
    const bool selected = SelectedAssessment() != nullptr;
    browsePanel_->Navigator().Update(status, selected && status.Insert);
    actions_.EnableForSelection(selected, CurrentProject() != nullptr);
}

// ---- handlers ----------------------------------------------------------------------------

bool TfrmAssessments::ConfirmResultsLoss(TdciAssessments& assessment) {
    if (!assessment.ResultInputsChanged())
        return true;
    // An assessment that another program runs now counts as one with valid results: the
    // change ends that run not valid.
    if (!assessment.VALIDRESULTS() &&
        !IsUnderClaim(assessment.OwnerList()->Database(), assessment.ASSESSMENTID()))
        return true;
    if (!AskYesNo("Assessment settings are changed. After saving the results are no longer "
                  "valid. Do you wish to continue?"))
        return false;
    assessment.SetVALIDRESULTS(false);
    // Written with the inputs in one statement, also when this copy held false already: a
    // run may have stored its verdict since the row was read.
    assessment.WriteOnNextSave("VALIDRESULTS");
    return true;
}

void TfrmAssessments::SaveAssessment() {
    TdciAssessments* assessment = SelectedAssessment();
    if (!assessment || !ConfirmResultsLoss(*assessment))
        return;
    connector_->SaveSelectedRow(false);
}

void TfrmAssessments::DeleteAssessment() {
    TdciAssessments* assessment = SelectedAssessment();
    if (!assessment)
        return;
    const int projectID = assessment->PROJECTID();
    const std::string assessmentID = assessment->ItemID();
    // Claimed while the row and its run directory go: a run of another program neither holds
    // them now nor starts on them meanwhile.
    const auto claims = CreateRunClaims(assessment->OwnerList()->Database());
    if (const auto holder = ClaimAll(*claims, {assessment->ASSESSMENTID()})) {
        ShowError(Format("Assessment %s is being run by %s. Delete it when that run has ended.",
                         assessment->CAPTION(), *holder));
        return;
    }
    if (connector_->DeleteSelectedRow(true) && HasProjectDirectoryProvider())
        DeleteDirectoryTree(ProjectDirectory(projectID, true) + assessmentID);
}

void TfrmAssessments::CopyAssessment() {
    if (!connector_->SaveSelectedRow(true))
        return;
    TdciAssessments* source = SelectedAssessment();
    if (!source)
        return;
    const std::string sourceID = source->ItemID();
    std::string copyID;
    try {
        TdciAssessments& copy = source->CopyItem(assessments_.get());
        copyID = copy.ItemID();
        copy.SetCAPTION(source->CAPTION() + "_copy");
        copy.Save();
        rememberedItemID_ = copyID;
        StartConnector();
    } catch (...) {
        if (!copyID.empty() && assessments_->LocateByItemID(copyID, false))
            assessments_->Delete();
        rememberedItemID_ = sourceID;
        StartConnector();
        throw;
    }
}

void TfrmAssessments::ToggleSelectedForExecution() {
    MarkForExecution(browsePanel_->SelectedAssessments(*connector_, SelectedAssessment()),
                     std::nullopt);
}

void TfrmAssessments::MarkAllForExecution(bool mark) {
    std::vector<TdciAssessments*> all;
    if (SelectedAssessment())
        for (assessments_->First(); !assessments_->Eof(); assessments_->Next())
            all.push_back(&assessments_->Item());
    MarkForExecution(all, mark);
}

void TfrmAssessments::MarkForExecution(const std::vector<TdciAssessments*>& assessments,
                                       std::optional<bool> mark) {
    TdciAssessments* current = SelectedAssessment();
    if (!current || !ConfirmResultsLoss(*current))
        return;
    {
        TWaitCursor wait;
        for (TdciAssessments* assessment : assessments) {
            const bool marked = mark.value_or(!assessment->SELECTEDFOREXECUTION());
            if (marked == assessment->SELECTEDFOREXECUTION() &&
                !TDACGUIConnector::IsPending(assessment))
                continue;
            // Also in a locked project, and with the pending edits of the current assessment.
            {
                const TLockCheckSkipped unlocked(*assessment);
                assessment->SetSELECTEDFOREXECUTION(marked);
            }
            assessment->Save();
        }
    }
    browsePanel_->ShowMarks(*connector_, current->ItemID());
    UpdateActions();
}

void TfrmAssessments::ReloadLists() {
    if (!connector_->SaveSelectedRow(true))
        return;
    if (projectsWindow_)
        projectsWindow_->ReadProjects(currentProjectItemID_);
    editPanel_->FillComboBoxes();
    Refresh();
    UpdateCaption();
}

void TfrmAssessments::Calculate() {
    if (!connector_->SaveSelectedRow(true))
        return;
    TdciProjects* project = CurrentProject();
    if (!project || project->SelectedAssessmentCount() == 0) {
        ShowInformation("First select one or more assessments. To select double-click on an "
                        "assessment in the table.");
        return;
    }
    runPanel_->Run(*project);
}

void TfrmAssessments::ChooseProject() {
    if (!connector_->SaveSelectedRow(true) || !projectsWindow_)
        return;
    projectsWindow_->SetItemIDToSelect(currentProjectItemID_);
    projectsWindow_->exec();
    // The current project may have been deleted meanwhile: then the projects window's
    // selection takes its place as if opened.
    if (!projectsWindow_->OpenChosen() && (currentProjectItemID_.empty() || CurrentProject()))
        return;
    LoadAssessments();
    StartConnector();
    UpdateCaption();
}

bool TfrmAssessments::SaveBeforeEditor() {
    return connector_->SaveSelectedRow(
        "You have to save the changes before you can continue.\rDo you want to continue and "
        "save changes?",
        TDialogButtons::YesCancel);
}

void TfrmAssessments::EditSubstances() {
    if (!SaveBeforeEditor())
        return;
    TDAXOInterface::GetSingleton().OpenUI(editPanel_->ChosenSubstanceGUID(), 0);
    editPanel_->ReadSubstances();
    editPanel_->FillSubstanceComboBox();
    CheckSubstances();
    Refresh();
}

void TfrmAssessments::EditApplicationSchemes() {
    if (!SaveBeforeEditor())
        return;
    TdciAssessments* assessment = SelectedAssessment();
    {
        TfrmApplicationSchemes window(this);
        window.SetAssessmentID(assessment ? assessment->ASSESSMENTID() : 0);
        window.SetItemIDToSelect(assessment ? std::to_string(assessment->APPLICATIONSCHEMEID())
                                            : std::string());
        window.exec();
    }
    editPanel_->FillSchemeComboBox();
    if (assessments_->IsOpen())
        assessments_->Close();
    assessments_->Open();
    StartConnector();
    if (TdciAssessments* selected = SelectedAssessment())
        editPanel_->ShowScheme(*selected);
}

void TfrmAssessments::ViewScenarios() {
    TfrmScenarios window(this);
    window.exec();
}

void TfrmAssessments::ShowAbout() {
    if (RunInProgress()) {
        // Beside a run, so that the run never waits for the box to close.
        auto* window = new TfrmAbout(this);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        return;
    }
    TfrmAbout window(this);
    window.exec();
}

void TfrmAssessments::ShowReport() {
    TdciAssessments* assessment = SelectedAssessment();
    if (!assessment)
        return;
    if (!assessment->VALIDRESULTS())
        ShowWarning("This assessment has no or invalid results!");
    WriteSummaryReport(*assessment);
}

void TfrmAssessments::ShowInputFiles() {
    if (!connector_->SaveSelectedRow(true))
        return;
    TdciAssessments* assessment = SelectedAssessment();
    if (!assessment)
        return;
    if (TModelManager::GetSingleton().WriteInputFilesOnly(assessment))
        TfrmResults::ShowResults(assessment, TResultFileKind::Input, this);
}

void TfrmAssessments::ShowResultFiles(TResultFileKind kind) {
    if (!connector_->SaveSelectedRow(true))
        return;
    TdciAssessments* assessment = SelectedAssessment();
    if (!assessment)
        return;
    assessment->SetRunDirectory(assessment->PROJECTID());
    TfrmResults::ShowResults(assessment, kind, this);
}

void TfrmAssessments::ShowProjectSummary() {
    if (!connector_->SaveSelectedRow(true))
        return;
    if (TdciProjects* project = CurrentProject())
        WriteProjectSummary(*project);
}

namespace {

// The file that the user chooses for a CSV export, starting from the file the batch front
// end would write; none when the user cancels.
std::optional<std::string> ChooseCsvFile(const std::string& suggestedPath) {
    const std::filesystem::path suggested(suggestedPath);
    TOpenFileRequest request;
    request.Filter = "CSV files (*.csv)|*.csv|All files (*.*)|*.*";
    request.Title = "Export CSV";
    request.Save = true;
    request.InitialDirectory = suggested.parent_path().string();
    request.FileName = suggested.filename().string();
    return Dialogs().OpenFile(request);
}

} // namespace

void TfrmAssessments::ExportProjectSummaryCsv() {
    if (!connector_->SaveSelectedRow(true))
        return;
    TdciProjects* project = CurrentProject();
    if (!project)
        return;
    if (const std::optional<std::string> path = ChooseCsvFile(ProjectSummaryCsvPath(*project)))
        WriteProjectSummaryCsv(*project, *path);
}

void TfrmAssessments::ExportDailySeriesCsv() {
    TdciAssessments* assessment = SelectedAssessment();
    if (!assessment)
        return;
    if (!assessment->VALIDRESULTS())
        ShowWarning("This assessment has no or invalid results!");
    if (const std::optional<std::string> path = ChooseCsvFile(DailySeriesCsvPath(*assessment)))
        WriteDailySeriesCsv(*assessment, *path);
}

void TfrmAssessments::ToggleContinueOnError() {
    TModelManager::GetSingleton().SetContinueOnError(
        actions_.Continuemultiplerunsonerror->isChecked());
}

void TfrmAssessments::ShowUserManualInformation() {
    ShowInformation(UserManualInformation);
}

void TfrmAssessments::OpenWebsite() {
    OpenDocument(WebsiteAddress);
}

void TfrmAssessments::closeEvent(QCloseEvent* event) {
    if (RunInProgress()) {
        // The window closes only after the run has ended: a hidden run would go on unseen.
        event->ignore();
        runPanel_->ShowStatus(
            "The calculation is running: the window can be closed when it has ended.");
        return;
    }
    try {
        if (connector_ && connector_->State() != csStopped && !connector_->SaveSelectedRow(true)) {
            event->ignore();
            return;
        }
    } catch (const std::exception& failure) {
        ReportGeneralError(failure);
        event->ignore();
        return;
    }
    event->accept();
}

} // namespace parvela
