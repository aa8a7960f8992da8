#include "ui/TfrmAssessments.h"

#include "UnitsFromGenerator/BorrowedList.h"
#include "UnitsFromGenerator/ProjectDirectory.h"
#include "UnitsFromGenerator/TdcProjects.h"
#include "framework/Format.h"
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
#include "program/system/RunStop.h"
#include "ui/AppIcon.h"
#include "ui/QtConvert.h"
#include "ui/TDACGrid.h"
#include "ui/TfrmAbout.h"
#include "ui/TfrmApplicationSchemes.h"
#include "ui/TfrmProjects.h"
#include "ui/TfrmResults.h"
#include "ui/TfrmScenarios.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <utility>

namespace parvela {

namespace {

constexpr int MaxParallelRuns = 64;

constexpr const char* ModelVersions[] = {"MODEL=GLIDAR/SHELL=PARVELA;1",
                                         "MODEL=MUNDRE/SHELL=PARVELA;1"};

QToolButton* ToolButton(QWidget* parent, const char* name, QAction* action) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

QComboBox* DropDownList(QWidget* parent, const char* name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(false);
    return box;
}

template <class List> void CloseIfOpen(List* list) {
    if (list && list->IsOpen())
        CloseQuietly(*list);
}

// The verdict column: whether the stored results are valid, not valid (a run failed, was
// stopped or its results were made invalid) or none (never run).
constexpr int VerdictColumn = 10;

std::string VerdictText(const TdciAssessments& assessment) {
    if (assessment.VALIDRESULTS())
        return "valid";
    return assessment.ASSESSMENTREPORT().empty() && assessment.ERRORMESSAGE().empty() ? "none"
                                                                                      : "not valid";
}

QColor VerdictColour(const std::string& verdict) {
    if (verdict == "valid")
        return QColor(165, 214, 167);
    return verdict == "not valid" ? QColor(239, 154, 154) : QColor();
}

// "Finished: 24 valid, 1 not valid": how the marked assessments of a run ended, counted by
// their verdicts; a verdict that no assessment had is left out.
std::string RunOutcomeText(const std::string& heading, const std::vector<TRunOutcome>& outcomes) {
    static constexpr std::pair<TRunVerdict, const char*> Names[] = {
        {TRunVerdict::Valid, "valid"},
        {TRunVerdict::NotValid, "not valid"},
        {TRunVerdict::Stopped, "stopped"},
        {TRunVerdict::NotRun, "not run"},
        {TRunVerdict::Claimed, "run by another program"}};
    std::string text = heading;
    const char* separator = ": ";
    for (const auto& [verdict, name] : Names) {
        const auto count =
            std::count_if(outcomes.begin(), outcomes.end(),
                          [&](const TRunOutcome& o) { return o.Verdict == verdict; });
        if (count == 0)
            continue;
        text += Format("%s%d %s", separator, static_cast<int>(count), name);
        separator = ", ";
    }
    return text;
}

// Long entries are shown whole in the drop-down list.
void ShowEntriesWhole(QComboBox* box) {
    QAbstractItemView* view = box->view();
    view->setMinimumWidth(view->sizeHintForColumn(0) +
                          view->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                          2 * view->frameWidth());
}

} // namespace

TfrmAssessments::TfrmAssessments(const TServiceStartOptions& options, QWidget* parent)
    : QMainWindow(parent) {
    setObjectName("frmAssessments");
    // The separators and the services come first; a failing step ends the start of services
    // there, and the window is still built.
    BuildActions();
    StartProgramServices(options);
    QApplication::setApplicationName(ApplicationTitle());
    QApplication::setWindowIcon(AppIcon());
    setWindowIcon(AppIcon());
    AboutParvela_->setText("About " + ApplicationTitle());
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    BuildToolBar(central);
    layout->addWidget(Panel1_);
    BuildBrowseGroup(central);
    layout->addWidget(gbxBrowseAssessments_, 1);
    BuildEditGroup(central);
    layout->addWidget(GroupBox1_);
    setCentralWidget(central);
    BuildMenus();
    lblStatus_ = new QLabel(this);
    lblStatus_->setObjectName("lblStatus");
    statusBar()->addWidget(lblStatus_, 1);
    BuildRunControls();
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
    CloseIfOpen(scenarios_.get());
    CloseIfOpen(schemes_.get());
    assessments_.reset();
    scenarios_.reset();
    schemes_.reset();
    substances_.reset();
    StopProgramServices();
}

// ---- services ----------------------------------------------------------------------------

void TfrmAssessments::StartProgramServices(const TServiceStartOptions& options) {
    try {
        StartServices(options);
        TModelManager::GetSingleton().SetContinueOnError(Continuemultiplerunsonerror_->isChecked());
        TModelManager::GetSingleton().SetRunProgress(
            [this](const TModelManager::TRunProgressState& state) { ShowRunProgress(state); });
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
    ReadSubstances();
    connector_->SetGrid(grdAssessments_);
    connector_->SetInitGridSetter([this] { InitGrid(); });
    connector_->SetPopulateGridRow(
        [this](int row, TDACDatabaseClassItem& item) { PopulateRow(row, item); });
    connector_->SetObjectControlsInterchange(
        [this](bool toItem, TDACDatabaseClassItem* item) { Interchange(toItem, item); });
    connector_->SetObjectList(assessments_.get());
    // Every save, also one after a question on leaving the row, keeps results only for the
    // inputs they were computed from.
    connector_->SetBeforeSave([this](TDACDatabaseClassItem& item) {
        return ConfirmResultsLoss(static_cast<TdciAssessments&>(item));
    });
    scenarios_ = std::make_unique<TdcScenarios>();
    schemes_ = std::make_unique<TdcApplicationSchemes>();
    rememberedItemID_.clear();
    activated_ = false;
}

void TfrmAssessments::SetModelVersions() {
    for (const char* versions : ModelVersions)
        if (!TDAXOInterface::GetSingleton().SetModelVersions(versions))
            ShowWarning(Format("Failed to initialize DAXO with modelversion %s!", versions));
}

void TfrmAssessments::ReadSubstances() {
    TDAXOInterface::GetSingleton().GetSubstancesGUIDList(true, false, substances_);
}

// ---- construction of the controls --------------------------------------------------------

void TfrmAssessments::BuildActions() {
    actClose_ = MakeAction(this, "actClose", "Close", "Close");
    actHelp_ = MakeAction(this, "actHelp", "Help", "Help");
    actHelp_->setEnabled(false);
    actEditApplicationSchemes_ =
        MakeAction(this, "actEditApplicationSchemes", "&Application schemes...");
    actEditSubstances_ = MakeAction(this, "actEditSubstances", "&Substances...");
    actViewScenarios_ = MakeAction(this, "actViewScenarios", "S&cenarios...");
    actShowAbout_ = MakeAction(this, "actShowAbout", "About");
    actReports_ =
        MakeAction(this, "actReports", "Assessment report", "Shows report of selected assessment");
    actContinueOnError_ = MakeAction(this, "actContinueOnError", "Continue multiple runs on error");
    // The menu's check item; the action inverts its check.
    Continuemultiplerunsonerror_ =
        MakeAction(this, "Continuemultiplerunsonerror", "Continue multiple runs on error");
    Continuemultiplerunsonerror_->setCheckable(true);
    Continuemultiplerunsonerror_->setChecked(false);
    actParallelRuns_ =
        MakeAction(this, "actParallelRuns", "Parallel runs...", "How many assessments run at once");
    actMarkForExecution_ = MakeAction(this, "actMarkForExecution", "&Mark or unmark for execution",
                                      "Mark or unmark the selected assessments for execution");
    actMarkForExecution_->setShortcut(Qt::Key_Space);
    // Only in the grid: elsewhere Space belongs to the focused control.
    actMarkForExecution_->setShortcutContext(Qt::WidgetShortcut);
    actMarkAll_ = MakeAction(this, "actMarkAll", "Mark &all",
                             "Mark every assessment of the project for execution");
    actUnmarkAll_ =
        MakeAction(this, "actUnmarkAll", "&Unmark all", "Unmark every assessment of the project");
    actReload_ = MakeAction(this, "actReload", "&Reload", "Read the lists again from the database");
    actReload_->setShortcut(Qt::Key_F5);
    actRun_ = MakeAction(this, "actRun", "Calculate", "Calculate selected assessments");
    actStop_ = MakeAction(this, "actStop", "Stop", "Stop the calculation");
    actProjects_ = MakeAction(this, "actProjects", "Projects", "Select or edit projects");
    actInputFiles_ = MakeAction(this, "mnInputFiles", "Input files");
    actSummaryFiles_ = MakeAction(this, "mnSummaryFiles", "Summary files");
    actErrorFiles_ = MakeAction(this, "mnErrorFiles", "Error files");
    actProjectSummary_ = MakeAction(this, "mnProjectSummary", "Project summary");
    actExportProjectSummaryCsv_ = MakeAction(this, "actExportProjectSummaryCsv", "Export CSV...",
                                             "Export the project summary as CSV");
    actExportReportCsv_ =
        MakeAction(this, "actExportReportCsv", "Export CSV...",
                   "Export the daily series of both models of the selected assessment as CSV");
    mnUserManual_ = MakeAction(this, "mnUserManual", "PARVELA User Manual");
    mnWebsite_ = MakeAction(this, "mnWebsite", "Vantiro website");
    AboutParvela_ = MakeAction(this, "AboutParvela", "About");
}

void TfrmAssessments::BuildMenus() {
    SetNavigatorKeys();
    QMenu* file = menuBar()->addMenu("&File");
    file->addAction(navigator_.Save);
    file->addSeparator();
    mnExit_ = file->addAction("E&xit");
    mnExit_->setObjectName("mnExit");
    mnExit_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(mnExit_, &QAction::triggered, actClose_, &QAction::trigger);

    QMenu* edit = menuBar()->addMenu("&Edit");
    edit->addAction(actEditSubstances_);
    edit->addAction(actEditApplicationSchemes_);
    edit->addSeparator();
    edit->addAction(navigator_.Cancel);
    edit->addAction(navigator_.Delete);
    edit->addSeparator();
    edit->addAction(actMarkForExecution_);
    edit->addAction(actMarkAll_);
    edit->addAction(actUnmarkAll_);

    QMenu* view = menuBar()->addMenu("&View");
    view->addAction(actInputFiles_);
    view->addAction(actSummaryFiles_);
    view->addAction(actErrorFiles_);
    view->addAction(actProjectSummary_);
    view->addAction(actExportProjectSummaryCsv_);
    view->addSeparator();
    view->addAction(actViewScenarios_);
    view->addSeparator();
    view->addAction(actReload_);

    QMenu* run = menuBar()->addMenu("Run");
    run->addAction(Continuemultiplerunsonerror_);
    run->addAction(actParallelRuns_);

    QMenu* help = menuBar()->addMenu("&Help");
    QAction* contents = help->addAction("Contents and Index");
    contents->setVisible(false);
    help->addSeparator();
    help->addAction(mnUserManual_);
    help->addAction(mnWebsite_);
    help->addSeparator();
    help->addAction(AboutParvela_);
}

void TfrmAssessments::SetNavigatorKeys() {
    navigator_.Save->setText("&Save");
    navigator_.Save->setShortcut(QKeySequence::Save);
    // The button keeps its short caption.
    navigator_.Cancel->setIconText(navigator_.Cancel->text());
    navigator_.Cancel->setText("&Cancel changes");
    navigator_.Cancel->setShortcut(Qt::Key_Escape);
    navigator_.Delete->setText("&Delete");
    navigator_.Delete->setShortcut(QKeySequence::Delete);
    // Only in the grid and its navigator: in an edit Delete removes a character.
    navigator_.Delete->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    gbxBrowseAssessments_->addAction(navigator_.Delete);
}

void TfrmAssessments::BuildToolBar(QWidget* central) {
    Panel1_ = new QWidget(central);
    Panel1_->setObjectName("Panel1");
    auto* layout = new QHBoxLayout(Panel1_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ToolButton(Panel1_, "btnRun", actRun_));
    layout->addWidget(ToolButton(Panel1_, "btnProjects", actProjects_));
    // The report's button offers its export in a drop-down menu.
    QToolButton* reports = ToolButton(Panel1_, "btnReports", actReports_);
    auto* reportMenu = new QMenu(reports);
    reportMenu->addAction(actExportReportCsv_);
    reports->setMenu(reportMenu);
    reports->setPopupMode(QToolButton::MenuButtonPopup);
    layout->addWidget(reports);
    layout->addWidget(ToolButton(Panel1_, "btnClose", actClose_));
    QToolButton* help = ToolButton(Panel1_, "btnHelp", actHelp_);
    help->hide();
    layout->addWidget(help);
    layout->addStretch();
}

void TfrmAssessments::BuildRunControls() {
    pbRun_ = new QProgressBar(this);
    pbRun_->setObjectName("pbRun");
    pbRun_->setMinimumWidth(260);
    pbRun_->hide();
    statusBar()->addPermanentWidget(pbRun_);
    btnStop_ = ToolButton(this, "btnStop", actStop_);
    btnStop_->hide();
    statusBar()->addPermanentWidget(btnStop_);
    runClockTimer_ = new QTimer(this);
    runClockTimer_->setInterval(1000);
    connect(runClockTimer_, &QTimer::timeout, this, [this] { ShowRunClock(); });
}

void TfrmAssessments::BuildBrowseGroup(QWidget* central) {
    gbxBrowseAssessments_ = new QGroupBox(" Browse Assessments ", central);
    gbxBrowseAssessments_->setObjectName("gbxBrowseAssessments");
    auto* layout = new QVBoxLayout(gbxBrowseAssessments_);
    grdAssessments_ = new TDACGrid(gbxBrowseAssessments_);
    grdAssessments_->setObjectName("grdAssessments");
    grdAssessments_->setToolTip("Double click to select for execution");
    // Several rows can be marked at once.
    grdAssessments_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grdAssessments_->addAction(actMarkForExecution_);
    layout->addWidget(grdAssessments_);
    navigator_ = BuildNavigator(gbxBrowseAssessments_, "Assessments");
    layout->addWidget(navigator_.Panel);
}

void TfrmAssessments::BuildEditGroup(QWidget* central) {
    GroupBox1_ = new QGroupBox(" Edit Assessments ", central);
    GroupBox1_->setObjectName("GroupBox1");
    auto* layout = new QVBoxLayout(GroupBox1_);
    PageControl1_ = new QTabWidget(GroupBox1_);
    PageControl1_->setObjectName("PageControl1");
    layout->addWidget(PageControl1_);

    auto* page1 = new QWidget(PageControl1_);
    page1->setObjectName("TabSheet1");
    auto* form1 = new QFormLayout(page1);
    edtAssessmentsCaption_ = new QLineEdit(page1);
    edtAssessmentsCaption_->setObjectName("edtAssessmentsCaption");
    edtAssessmentsDescription_ = new QLineEdit(page1);
    edtAssessmentsDescription_->setObjectName("edtAssessmentsDescription");
    cbxScenarios_ = DropDownList(page1, "cbxScenarios");
    cbxAssessmentsSubstanceCode_ = DropDownList(page1, "cbxAssessmentsSubstanceCode");
    cbxApplicationSchemes_ = DropDownList(page1, "cbxApplicationSchemes");
    auto withButton = [page1](QComboBox* box, const char* name, const char* text, const char* hint,
                              QAction* action) {
        auto* row = new QWidget(page1);
        auto* rowLayout = new QHBoxLayout(row);
        rowLayout->setContentsMargins(0, 0, 0, 0);
        rowLayout->addWidget(box, 1);
        auto* button = new QPushButton(QString::fromLatin1(text), row);
        button->setObjectName(QString::fromLatin1(name));
        button->setToolTip(QString::fromLatin1(hint));
        QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
        rowLayout->addWidget(button);
        return row;
    };
    AddRow(form1, "Caption:", edtAssessmentsCaption_);
    AddRow(form1, "Description:", edtAssessmentsDescription_);
    AddRow(form1, "Scenario:",
           withButton(cbxScenarios_, "btnScenarios", "...", "Show info of scenarios",
                      actViewScenarios_));
    AddRow(form1, "Substance:",
           withButton(cbxAssessmentsSubstanceCode_, "btnSubstances", "...", "Open substance editor",
                      actEditSubstances_));
    AddRow(form1, "ApplicationScheme:",
           withButton(cbxApplicationSchemes_, "btnApplicationSchemes", "...",
                      "Open ApplicationScheme editor", actEditApplicationSchemes_));
    auto* comments = new QPushButton("Comments...", page1);
    comments->setObjectName("btnComments");
    comments->hide();
    PageControl1_->addTab(page1, "Assessment");
    // Tab goes from each combo box to its "..." button.
    ChainTabOrder({edtAssessmentsDescription_, cbxScenarios_,
                   page1->findChild<QPushButton*>("btnScenarios"), cbxAssessmentsSubstanceCode_,
                   page1->findChild<QPushButton*>("btnSubstances"), cbxApplicationSchemes_,
                   page1->findChild<QPushButton*>("btnApplicationSchemes")});

    auto* page2 = new QWidget(PageControl1_);
    page2->setObjectName("TabSheet2");
    auto* form2 = new QFormLayout(page2);
    chxAssessmentsSelectedForExecution_ = new QCheckBox(page2);
    chxAssessmentsSelectedForExecution_->setObjectName("chxAssessmentsSelectedForExecution");
    mmErrorMessage_ = new QPlainTextEdit(page2);
    mmErrorMessage_->setObjectName("mmErrorMessage");
    mmErrorMessage_->setReadOnly(true);
    mmErrorMessage_->setMaximumHeight(90);
    dtpAssessmentsCreationDate_ = MakeDatePicker(page2, "dtpAssessmentsCreationDate");
    dtpAssessmentsModificationDate_ = MakeDatePicker(page2, "dtpAssessmentsModificationDate");
    chxAssessmentHasValidResults_ = new QCheckBox("Has valid results", page2);
    chxAssessmentHasValidResults_->setObjectName("chxAssessmentHasValidResults");
    chxAssessmentHasValidResults_->setEnabled(false);
    edtAssessmentsSelectedForExecution_ = new QLineEdit(page2);
    edtAssessmentsSelectedForExecution_->setObjectName("edtAssessmentsSelectedForExecution");
    edtAssessmentsSelectedForExecution_->hide();
    auto* results = new QPushButton("View results", page2);
    results->setObjectName("btnResults");
    results->hide();
    AddRow(form2, "Selected for execution:", chxAssessmentsSelectedForExecution_);
    AddRow(form2, "ErrorMessage:", mmErrorMessage_);
    AddRow(form2, "CreationDate:", dtpAssessmentsCreationDate_);
    AddRow(form2, "ModificationDate:", dtpAssessmentsModificationDate_);
    form2->addRow(chxAssessmentHasValidResults_);
    PageControl1_->addTab(page2, "Status");
    RefuseSpecialCaptionKeys(edtAssessmentsCaption_);
    for (QLineEdit* edit : {edtAssessmentsCaption_, edtAssessmentsDescription_})
        TDACGUIConnector::SetTextLimit(edit, MaxTextLength);
}

void TfrmAssessments::ConnectHandlers() {
    connect(edtAssessmentsCaption_, &QLineEdit::textChanged, this, Guarded([this] {
                if (connector_ && connector_->State() == csActive)
                    CheckPastedCaption(edtAssessmentsCaption_);
                ControlChanged();
            }));
    for (QLineEdit* edit : {edtAssessmentsDescription_, edtAssessmentsSelectedForExecution_})
        connect(edit, &QLineEdit::textChanged, this, Guarded([this] { ControlChanged(); }));
    for (QDateTimeEdit* picker : {dtpAssessmentsCreationDate_, dtpAssessmentsModificationDate_})
        connect(picker, &QDateTimeEdit::dateTimeChanged, this,
                Guarded([this] { ControlChanged(); }));
    connect(chxAssessmentHasValidResults_, &QCheckBox::toggled, this,
            Guarded([this] { ControlChanged(); }));
    connect(cbxScenarios_, &QComboBox::currentIndexChanged, this,
            Guarded([this] { ScenarioChosen(); }));
    connect(cbxApplicationSchemes_, &QComboBox::currentIndexChanged, this,
            Guarded([this] { SchemeChosen(); }));
    connect(cbxAssessmentsSubstanceCode_, &QComboBox::activated, this,
            Guarded([this] { SubstanceChosen(); }));

    connect(navigator_.Insert, &QAction::triggered, this, Guarded([this] {
                connector_->InsertRow();
                PageControl1_->setCurrentIndex(0);
                edtAssessmentsCaption_->setFocus();
            }));
    navigator_.ConnectMoves(this, [this]() -> TDACGUIConnector& { return *connector_; });
    connect(navigator_.Save, &QAction::triggered, this, Guarded([this] { SaveAssessment(); }));
    connect(navigator_.Delete, &QAction::triggered, this, Guarded([this] { DeleteAssessment(); }));
    connect(navigator_.Copy, &QAction::triggered, this, Guarded([this] { CopyAssessment(); }));
    connect(grdAssessments_, &QTableWidget::cellDoubleClicked, this,
            Guarded([this] { ToggleSelectedForExecution(); }));
    connect(actMarkForExecution_, &QAction::triggered, this,
            Guarded([this] { ToggleSelectedForExecution(); }));
    connect(actMarkAll_, &QAction::triggered, this, Guarded([this] { MarkAllForExecution(true); }));
    connect(actUnmarkAll_, &QAction::triggered, this,
            Guarded([this] { MarkAllForExecution(false); }));
    connect(actReload_, &QAction::triggered, this, Guarded([this] { ReloadLists(); }));
    connect(actRun_, &QAction::triggered, this, Guarded([this] { Calculate(); }));
    connect(actStop_, &QAction::triggered, this, [this] { StopRun(); });
    connect(actParallelRuns_, &QAction::triggered, this, Guarded([this] { ChooseParallelRuns(); }));
    connect(actProjects_, &QAction::triggered, this, Guarded([this] { ChooseProject(); }));
    connect(actClose_, &QAction::triggered, this, [this] { close(); });
    connect(actEditSubstances_, &QAction::triggered, this, Guarded([this] { EditSubstances(); }));
    connect(actEditApplicationSchemes_, &QAction::triggered, this,
            Guarded([this] { EditApplicationSchemes(); }));
    connect(actViewScenarios_, &QAction::triggered, this, Guarded([this] { ViewScenarios(); }));
    connect(actShowAbout_, &QAction::triggered, this, Guarded([this] { ShowAbout(); }));
    connect(AboutParvela_, &QAction::triggered, actShowAbout_, &QAction::trigger);
    connect(actReports_, &QAction::triggered, this, Guarded([this] { ShowReport(); }));
    connect(actInputFiles_, &QAction::triggered, this, Guarded([this] { ShowInputFiles(); }));
    connect(actSummaryFiles_, &QAction::triggered, this, Guarded([this] { ShowResultFiles(1); }));
    connect(actErrorFiles_, &QAction::triggered, this, Guarded([this] { ShowResultFiles(2); }));
    connect(actProjectSummary_, &QAction::triggered, this,
            Guarded([this] { ShowProjectSummary(); }));
    connect(actExportProjectSummaryCsv_, &QAction::triggered, this,
            Guarded([this] { ExportProjectSummaryCsv(); }));
    connect(actExportReportCsv_, &QAction::triggered, this,
            Guarded([this] { ExportDailySeriesCsv(); }));
    // The menu entry ticks itself; the handler sets the check from the inverted state.
    // A click on the check item ticks it already; the action's other callers invert it here.
    connect(Continuemultiplerunsonerror_, &QAction::triggered, this,
            Guarded([this] { ToggleContinueOnError(); }));
    connect(actContinueOnError_, &QAction::triggered, this, [this] {
        Continuemultiplerunsonerror_->setChecked(!Continuemultiplerunsonerror_->isChecked());
        ToggleContinueOnError();
    });
    connect(mnUserManual_, &QAction::triggered, this,
            Guarded([this] { ShowUserManualInformation(); }));
    connect(mnWebsite_, &QAction::triggered, this, Guarded([this] { OpenWebsite(); }));
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
    FillComboBoxes();
    StartConnector();
    grdAssessments_->setFocus();
    WidenToShowColumns(this, *grdAssessments_);
    PageControl1_->setCurrentIndex(0);
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

void TfrmAssessments::FillComboBoxes() {
    CloseIfOpen(scenarios_.get());
    scenarios_->Open();
    {
        const QSignalBlocker blocker(cbxScenarios_);
        cbxScenarios_->clear();
        for (scenarios_->First(); !scenarios_->Eof(); scenarios_->Next())
            cbxScenarios_->addItem(QText(scenarios_->Item().CAPTION()),
                                   scenarios_->Item().SCENARIOID());
        ShowEntriesWhole(cbxScenarios_);
    }
    FillSchemeComboBox();
    FillSubstanceComboBox();
}

void TfrmAssessments::FillSchemeComboBox() {
    CloseIfOpen(schemes_.get());
    schemes_->Open();
    const QSignalBlocker blocker(cbxApplicationSchemes_);
    cbxApplicationSchemes_->clear();
    for (schemes_->First(); !schemes_->Eof(); schemes_->Next())
        cbxApplicationSchemes_->addItem(QText(schemes_->Item().CAPTION()),
                                        schemes_->Item().APPLICATIONSCHEMEID());
    ShowEntriesWhole(cbxApplicationSchemes_);
}

void TfrmAssessments::FillSubstanceComboBox() {
    const QSignalBlocker blocker(cbxAssessmentsSubstanceCode_);
    cbxAssessmentsSubstanceCode_->clear();
    if (!substances_)
        return;
    for (const TDAXOGUIDEntry& entry : *substances_) {
        const std::string code =
            entry.Attributes ? entry.Attributes->Value("SubstanceCode") : std::string();
        const std::string name =
            entry.Attributes ? entry.Attributes->Value("SubstanceName") : std::string();
        cbxAssessmentsSubstanceCode_->addItem(QText(code), QText(entry.GUID));
        cbxAssessmentsSubstanceCode_->setItemData(cbxAssessmentsSubstanceCode_->count() - 1,
                                                  QText(name.empty() ? code : code + ": " + name),
                                                  Qt::ToolTipRole);
    }
    ShowEntriesWhole(cbxAssessmentsSubstanceCode_);
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

// ---- grid and controls -------------------------------------------------------------------

void TfrmAssessments::InitGrid() {
    TDACGrid& grid = *grdAssessments_;
    grid.SetColCount(11);
    const char* headers[] = {"",
                             "Selected",
                             "ID",
                             "Caption",
                             "Description",
                             "Scenario",
                             "Substance",
                             "ApplicationScheme",
                             "Creation Date",
                             "Modification Date",
                             "Results"};
    const int widths[] = {-1, 65, 40, 100, 200, 70, 75, 120, 105, 105, 60};
    namespace typical = TypicalContent;
    const QString contents[] = {{},
                                {},
                                typical::Key,
                                typical::Caption,
                                {},
                                {},
                                {},
                                {},
                                typical::DateTime,
                                typical::DateTime,
                                QStringLiteral("not valid")};
    for (int column = 1; column < 11; ++column) {
        grid.SetCell(column, 0, headers[column]);
        grid.SetColWidth(column, widths[column], contents[column]);
    }
    GiveSpareWidthTo(grid, 4);
}

std::string TfrmAssessments::SubstanceCodeOf(const std::string& guid) const {
    const int index = SubstanceIndexOf(guid);
    if (index < 0 || !(*substances_)[index].Attributes)
        return {};
    return (*substances_)[index].Attributes->Value("SubstanceCode");
}

int TfrmAssessments::SubstanceIndexOf(const std::string& guid) const {
    if (!substances_)
        return -1;
    for (std::size_t i = 0; i < substances_->Count(); ++i) {
        const TDAXOGUIDEntry& entry = (*substances_)[i];
        if (entry.Attributes && entry.Attributes->Value("SubstanceGUID") == guid)
            return static_cast<int>(i);
    }
    return -1;
}

void TfrmAssessments::PopulateRow(int row, TDACDatabaseClassItem& item) {
    auto& assessment = static_cast<TdciAssessments&>(item);
    TDACGrid& grid = *grdAssessments_;
    grid.SetCell(1, row, assessment.SELECTEDFOREXECUTION() ? "Yes" : "");
    grid.SetCell(2, row, assessment.ItemID());
    grid.SetCell(3, row, assessment.CAPTION());
    grid.SetCell(4, row, assessment.DESCRIPTION());
    // A new assessment has no scenario yet: its cell stays empty.
    std::string scenario;
    if (scenarios_->IsOpen() && scenarios_->HasItems() &&
        scenarios_->LocateByItemID(std::to_string(assessment.SCENARIOID()), false))
        scenario = scenarios_->Item().CAPTION();
    grid.SetCell(5, row, scenario);
    grid.SetCell(6, row, SubstanceCodeOf(assessment.SUBSTANCEGUID()));
    std::string scheme;
    if (schemes_->IsOpen() && schemes_->HasItems() &&
        schemes_->LocateByItemID(std::to_string(assessment.APPLICATIONSCHEMEID()), false))
        scheme = schemes_->Item().CAPTION();
    grid.SetCell(7, row, scheme);
    grid.SetCell(8, row, DateTimeText(assessment.CREATIONDATE()));
    grid.SetCell(9, row, DateTimeText(assessment.MODIFICATIONDATE()));
    const std::string verdict = VerdictText(assessment);
    grid.SetCell(VerdictColumn, row, verdict);
    grid.SetCellBackground(VerdictColumn, row, VerdictColour(verdict));
}

void TfrmAssessments::Interchange(bool toItem, TDACDatabaseClassItem* item) {
    auto* assessment = static_cast<TdciAssessments*>(item);
    if (toItem) {
        assessment->SetCAPTION(StdText(edtAssessmentsCaption_->text()));
        assessment->SetDESCRIPTION(StdText(edtAssessmentsDescription_->text()));
        const int substance = cbxAssessmentsSubstanceCode_->currentIndex();
        assessment->SetSUBSTANCEGUID(substance >= 0 ? (*substances_)[substance].GUID
                                                    : std::string());
        assessment->SetVALIDRESULTS(chxAssessmentHasValidResults_->isChecked());
        // The memo shows the text with its line breaks normalised: only a real change is
        // taken back.
        if (mmErrorMessage_->toPlainText() != shownErrorMessage_)
            assessment->SetERRORMESSAGE(StdText(mmErrorMessage_->toPlainText()));
        assessment->SetCREATIONDATE(FromQDateTime(dtpAssessmentsCreationDate_->dateTime()));
        assessment->SetMODIFICATIONDATE(FromQDateTime(dtpAssessmentsModificationDate_->dateTime()));
        assessment->UpdateModificationDate();
        return;
    }
    const QSignalBlocker scenarioBlocker(cbxScenarios_);
    const QSignalBlocker schemeBlocker(cbxApplicationSchemes_);
    const QSignalBlocker substanceBlocker(cbxAssessmentsSubstanceCode_);
    if (assessment)
        ShowItem(*assessment);
    else
        ClearControls();
}

void TfrmAssessments::ShowItem(TdciAssessments& assessment) {
    rememberedItemID_ = assessment.ItemID();
    const bool editable = assessment.CanEdit();
    TDACGUIConnector::SetTEdit(edtAssessmentsCaption_, assessment.CAPTION(), editable);
    TDACGUIConnector::SetTEdit(edtAssessmentsDescription_, assessment.DESCRIPTION(), editable);
    TDACGUIConnector::SetTCheckBox(chxAssessmentsSelectedForExecution_,
                                   assessment.SELECTEDFOREXECUTION(), false);
    TDACGUIConnector::SetTMemo(mmErrorMessage_, assessment.ERRORMESSAGE(), false);
    shownErrorMessage_ = mmErrorMessage_->toPlainText();
    TDACGUIConnector::SetTDateTimePicker(dtpAssessmentsCreationDate_, false,
                                         assessment.CREATIONDATE());
    TDACGUIConnector::SetTDateTimePicker(dtpAssessmentsModificationDate_, false,
                                         assessment.MODIFICATIONDATE());
    TDACGUIConnector::SetTCheckBox(chxAssessmentHasValidResults_, assessment.VALIDRESULTS(), false);
    cbxScenarios_->setCurrentIndex(cbxScenarios_->findData(assessment.SCENARIOID()));
    TDACGUIConnector::SetTComboBox(cbxScenarios_, editable);
    cbxApplicationSchemes_->setCurrentIndex(
        cbxApplicationSchemes_->findData(assessment.APPLICATIONSCHEMEID()));
    TDACGUIConnector::SetTComboBox(cbxApplicationSchemes_, editable);
    cbxAssessmentsSubstanceCode_->setCurrentIndex(SubstanceIndexOf(assessment.SUBSTANCEGUID()));
    TDACGUIConnector::SetTComboBox(cbxAssessmentsSubstanceCode_, editable);
}

void TfrmAssessments::ClearControls() {
    TDACGUIConnector::SetTEdit(edtAssessmentsCaption_, "", false);
    TDACGUIConnector::SetTEdit(edtAssessmentsDescription_, "", false);
    TDACGUIConnector::SetTMemo(mmErrorMessage_, "", false);
    shownErrorMessage_.clear();
    TDACGUIConnector::SetTCheckBox(chxAssessmentsSelectedForExecution_, false, false);
    TDACGUIConnector::SetTCheckBox(chxAssessmentHasValidResults_, false, false);
    TDACGUIConnector::SetTDateTimePicker(dtpAssessmentsCreationDate_, false, Now());
    TDACGUIConnector::SetTDateTimePicker(dtpAssessmentsModificationDate_, false, Now());
    for (QComboBox* box : {cbxScenarios_, cbxApplicationSchemes_, cbxAssessmentsSubstanceCode_}) {
        box->setCurrentIndex(-1);
        TDACGUIConnector::SetTComboBox(box, false);
    }
}

void TfrmAssessments::ControlChanged() {
    if (!connector_)
        return;
    connector_->ControlChangeEventHandler();
    UpdateActions();
}

void TfrmAssessments::ScenarioChosen() {
    TdciAssessments* assessment = SelectedAssessment();
    if (!assessment || connector_->State() != csActive || cbxScenarios_->currentIndex() < 0)
        return;
    assessment->SetSCENARIOID(cbxScenarios_->currentData().toInt());
    ControlChanged();
}

void TfrmAssessments::SchemeChosen() {
    TdciAssessments* assessment = SelectedAssessment();
    if (!assessment || connector_->State() != csActive ||
        cbxApplicationSchemes_->currentIndex() < 0)
        return;
    assessment->SetAPPLICATIONSCHEMEID(cbxApplicationSchemes_->currentData().toInt());
    ControlChanged();
}

void TfrmAssessments::SubstanceChosen() {
    TdciAssessments* assessment = SelectedAssessment();
    const int index = cbxAssessmentsSubstanceCode_->currentIndex();
    if (!assessment || connector_->State() != csActive || index < 0)
        return;
    const std::string& guid = (*substances_)[index].GUID;
    assessment->SetSUBSTANCEGUID(guid);
    assessment->SetSUBSTANCECHECKSUM(
        TDAXOInterface::GetSingleton().GetSubstanceChecksumByGUID(guid));
    ControlChanged();
}

TdciAssessments* TfrmAssessments::SelectedAssessment() const {
    if (!connector_ || connector_->State() == csStopped)
        return nullptr;
    return static_cast<TdciAssessments*>(connector_->SelectedObject());
}

void TfrmAssessments::UpdateActions() {
    // Without the services only Close, About and the help entries can work; during a run
    // only Stop, which stays enabled until it was used, About and the help entries.
    const bool usable = connector_ != nullptr && !runInProgress_;
    for (QAction* action :
         {actProjects_, actEditSubstances_, actEditApplicationSchemes_, actViewScenarios_,
          actInputFiles_, actSummaryFiles_, actErrorFiles_, actReload_})
        action->setEnabled(usable);
    for (QAction* action :
         {actClose_, mnExit_, actContinueOnError_, Continuemultiplerunsonerror_, actParallelRuns_})
        action->setEnabled(!runInProgress_);
    actStop_->setEnabled(runInProgress_ && !RunStopRequested());
    if (!usable || connector_->State() == csStopped) {
        navigator_.DisableAll();
        for (QAction* action :
             {actReports_, actExportReportCsv_, actProjectSummary_, actExportProjectSummaryCsv_,
              actRun_, actMarkForExecution_, actMarkAll_, actUnmarkAll_})
            action->setEnabled(false);
        return;
    }
    const TDACActionStatus& status = connector_->ActionStatus();
    const bool selected = SelectedAssessment() != nullptr;
    navigator_.Update(status, selected && status.Insert);
    for (QAction* action : {actReports_, actExportReportCsv_, actRun_, actMarkForExecution_,
                            actMarkAll_, actUnmarkAll_})
        action->setEnabled(selected);
    actProjectSummary_->setEnabled(CurrentProject() != nullptr);
    actExportProjectSummaryCsv_->setEnabled(CurrentProject() != nullptr);
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
    MarkForExecution(SelectedAssessments(), std::nullopt);
}

void TfrmAssessments::MarkAllForExecution(bool mark) {
    std::vector<TdciAssessments*> all;
    if (SelectedAssessment())
        for (assessments_->First(); !assessments_->Eof(); assessments_->Next())
            all.push_back(&assessments_->Item());
    MarkForExecution(all, mark);
}

std::vector<TdciAssessments*> TfrmAssessments::SelectedAssessments() const {
    std::vector<TdciAssessments*> selected;
    TdciAssessments* current = SelectedAssessment();
    if (!current)
        return selected;
    for (const QModelIndex& index : grdAssessments_->selectionModel()->selectedRows())
        if (TDACDatabaseClassItem* item = connector_->ObjectFromRowIndex(index.row() + 1))
            selected.push_back(static_cast<TdciAssessments*>(item));
    if (std::find(selected.begin(), selected.end(), current) == selected.end())
        selected.push_back(current);
    return selected;
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
            assessment->SetSkipLockCheck(true);
            assessment->SetSELECTEDFOREXECUTION(marked);
            assessment->Save();
        }
    }
    for (int row = 1; row < grdAssessments_->RowCount(); ++row)
        if (TDACDatabaseClassItem* item = connector_->ObjectFromRowIndex(row))
            PopulateRow(row, *item);
    // The controls show the current assessment again; the rows stay selected for the next key.
    const QItemSelection selection = grdAssessments_->selectionModel()->selection();
    connector_->SelectRowFromItemID(current->ItemID());
    grdAssessments_->selectionModel()->select(selection, QItemSelectionModel::Select);
    UpdateActions();
}

void TfrmAssessments::ReloadLists() {
    if (!connector_->SaveSelectedRow(true))
        return;
    if (projectsWindow_)
        projectsWindow_->ReadProjects(currentProjectItemID_);
    FillComboBoxes();
    Refresh();
    UpdateCaption();
}

void TfrmAssessments::SetRunInProgress(bool running) {
    runInProgress_ = running;
    // The menus stay: their entries follow the actions (UpdateActions).
    for (QWidget* panel :
         {Panel1_, static_cast<QWidget*>(GroupBox1_), static_cast<QWidget*>(gbxBrowseAssessments_)})
        panel->setEnabled(!running);
    pbRun_->setVisible(running);
    btnStop_->setVisible(running);
    if (running) {
        runStarted_ = 0;
        runTotal_ = 0;
        pbRun_->setRange(0, 1);
        pbRun_->setValue(0);
        runClock_.start();
        runClockTimer_->start();
        ShowRunClock();
    } else {
        runClockTimer_->stop();
    }
    UpdateActions();
}

void TfrmAssessments::ShowStatus(const std::string& text) {
    statusText_ = text;
    lblStatus_->setText(QText(text));
    lblStatus_->repaint();
}

void TfrmAssessments::ShowRunProgress(const TModelManager::TRunProgressState& state) {
    runStarted_ = state.Started;
    runTotal_ = state.Total;
    pbRun_->setRange(0, std::max(state.Total, 1));
    pbRun_->setValue(state.Finished);
    ShowRunClock();
    if (RunStopRequested())
        return;
    // A model is named only while it runs.
    if (state.Running.empty()) {
        ShowStatus("");
        return;
    }
    std::string text;
    for (const TModelManager::TRunningModel& running : state.Running)
        text += (text.empty() ? "" : "; ") +
                Format("Calculating assessment %s: running %s", running.Assessment, running.Model);
    ShowStatus(text);
}

void TfrmAssessments::ShowRunClock() {
    const qint64 seconds = runClock_.isValid() ? runClock_.elapsed() / 1000 : 0;
    pbRun_->setFormat(
        QText(Format("Assessment %d of %d - %.2d:%.2d:%.2d", runStarted_, runTotal_,
                     static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                     static_cast<int>(seconds % 60))));
    pbRun_->repaint();
}

void TfrmAssessments::StopRun() {
    if (!runInProgress_)
        return;
    RequestRunStop();
    ShowStatus("Stopping the calculation...");
    UpdateActions();
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
    ResetRunStop();
    SetRunInProgress(true);
    bool succeeded = false;
    std::exception_ptr failure;
    try {
        TWaitCursor wait;
        succeeded = TModelManager::GetSingleton().RunProject(project);
    } catch (...) {
        failure = std::current_exception();
    }
    const bool stopped = RunStopRequested();
    ResetRunStop();
    SetRunInProgress(false);
    ShowStatus("");
    // The grid shows what the run stored, also when it could not go on.
    Refresh();
    if (failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const std::exception& error) {
            ShowError(std::string("The run could not go on: ") + error.what());
        }
        return;
    }
    ShowRunEnd(stopped, succeeded);
}

void TfrmAssessments::ShowRunEnd(bool stopped, bool succeeded) {
    const std::vector<TRunOutcome>& outcomes = TModelManager::GetSingleton().RunOutcomes();
    ShowStatus(RunOutcomeText(stopped ? "Stopped" : "Finished", outcomes));
    const bool failed = std::any_of(outcomes.begin(), outcomes.end(), [](const TRunOutcome& o) {
        return o.Verdict == TRunVerdict::NotValid || o.Verdict == TRunVerdict::Stopped;
    });
    if (stopped) {
        ShowInformation("Stopped");
    } else if (succeeded || !failed) {
        ShowInformation("Finished");
    } else {
        ShowWarning("Finished but one or more assessments caused an error.");
        PageControl1_->setCurrentIndex(1);
    }
    std::string leftAlone;
    for (const TRunOutcome& outcome : outcomes)
        if (outcome.Verdict == TRunVerdict::Claimed)
            leftAlone += "\n" + outcome.Caption + ": " + outcome.Message;
    if (!leftAlone.empty())
        ShowInformation("Another program runs these assessments; they were left alone:" +
                        leftAlone);
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
    const int index = cbxAssessmentsSubstanceCode_->currentIndex();
    std::string guid;
    if (index >= 0 && (*substances_)[index].Attributes)
        guid = (*substances_)[index].Attributes->Value("SubstanceGUID");
    TDAXOInterface::GetSingleton().OpenUI(guid, 0);
    ReadSubstances();
    FillSubstanceComboBox();
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
    FillSchemeComboBox();
    if (assessments_->IsOpen())
        assessments_->Close();
    assessments_->Open();
    StartConnector();
    if (TdciAssessments* selected = SelectedAssessment()) {
        const QSignalBlocker blocker(cbxApplicationSchemes_);
        cbxApplicationSchemes_->setCurrentIndex(
            cbxApplicationSchemes_->findData(selected->APPLICATIONSCHEMEID()));
        TDACGUIConnector::SetTComboBox(cbxApplicationSchemes_, selected->CanEdit());
    }
}

void TfrmAssessments::ViewScenarios() {
    TfrmScenarios window(this);
    window.exec();
}

void TfrmAssessments::ShowAbout() {
    if (runInProgress_) {
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

void TfrmAssessments::ShowResultFiles(int kind) {
    if (!connector_->SaveSelectedRow(true))
        return;
    TdciAssessments* assessment = SelectedAssessment();
    if (!assessment)
        return;
    assessment->SetRunDirectory(assessment->PROJECTID());
    TfrmResults::ShowResults(assessment, static_cast<TResultFileKind>(kind), this);
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
    TModelManager::GetSingleton().SetContinueOnError(Continuemultiplerunsonerror_->isChecked());
}

void TfrmAssessments::ChooseParallelRuns() {
    TModelManager& manager = TModelManager::GetSingleton();
    bool chosen = false;
    const int jobs = QInputDialog::getInt(
        this, "Parallel runs",
        "Assessments that run at once (1: one after the other; 0: one per core):", manager.Jobs(),
        0, MaxParallelRuns, 1, &chosen);
    if (!chosen)
        return;
    TModelManager::StoreParallelRuns(jobs);
    manager.SetJobs(jobs);
}

void TfrmAssessments::ShowUserManualInformation() {
    ShowInformation(UserManualInformation);
}

void TfrmAssessments::OpenWebsite() {
    OpenDocument(WebsiteAddress);
}

void TfrmAssessments::closeEvent(QCloseEvent* event) {
    if (runInProgress_) {
        // The window closes only after the run has ended: a hidden run would go on unseen.
        event->ignore();
        ShowStatus("The calculation is running: the window can be closed when it has ended.");
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
