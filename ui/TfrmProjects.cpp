#include "ui/TfrmProjects.h"

#include "UnitsFromGenerator/BorrowedList.h"
#include "UnitsFromGenerator/ProjectDirectory.h"
#include "UnitsFromGenerator/TdcAssessments.h"
#include "framework/Format.h"
#include "program/runs/RunClaims.h"
#include "program/system/DirectoryTree.h"
#include "program/system/Messages.h"
#include "ui/QtConvert.h"
#include "ui/TDACGrid.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <vector>

namespace parvela {

namespace {

QPushButton* ActionButton(QWidget* parent, const char* name, QAction* action) {
    auto* button = new QPushButton(action->text(), parent);
    button->setObjectName(QString::fromLatin1(name));
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::changed, button,
                     [button, action] { button->setEnabled(action->isEnabled()); });
    return button;
}

} // namespace

TfrmProjects::TfrmProjects(QWidget* parent) : QDialog(parent) {
    setObjectName("frmProjects");
    setModal(true);
    BuildControls();
    connector_.SetGrid(grdProjects_);
    connector_.SetInitGridSetter([this] { InitGrid(); });
    connector_.SetPopulateGridRow(
        [this](int row, TDACDatabaseClassItem& item) { PopulateRow(row, item); });
    connector_.SetObjectControlsInterchange(
        [this](bool toItem, TDACDatabaseClassItem* item) { Interchange(toItem, item); });
    connector_.SetObjectList(&projects_);
    ConnectHandlers();
    StartActionUpdates(this, [this] { UpdateActions(); });
    WithoutDefaultButtons(this);
    resize(640, 480);
}

TfrmProjects::~TfrmProjects() {
    connector_.Stop();
    if (projects_.IsOpen())
        CloseQuietly(projects_);
}

void TfrmProjects::BuildControls() {
    actOpen_ = MakeAction(this, "actOpen", "Open", "Open");
    actCancel_ = MakeAction(this, "actCancel", "Cancel", "Cancel");
    actHelp_ = MakeAction(this, "actHelp", "Help", "Help");

    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ActionButton(this, "btnOpen", actOpen_));
    buttons->addWidget(ActionButton(this, "btnCancel", actCancel_));
    QPushButton* help = ActionButton(this, "btnHelp", actHelp_);
    help->hide();
    buttons->addWidget(help);
    auto* assessments = new QPushButton("Open Assessments", this);
    assessments->setObjectName("btnAssessments");
    assessments->hide();
    buttons->addWidget(assessments);
    buttons->addStretch();
    layout->addLayout(buttons);

    auto* browse = new QGroupBox(" Browse Projects ", this);
    browse->setObjectName("gbxBrowseProjects");
    auto* browseLayout = new QVBoxLayout(browse);
    grdProjects_ = new TDACGrid(browse);
    grdProjects_->setObjectName("grdProjects");
    browseLayout->addWidget(grdProjects_);
    navigator_ = BuildNavigator(browse, "Projects");
    browseLayout->addWidget(navigator_.Panel);
    layout->addWidget(browse, 1);

    gbxEditProjects_ = new QGroupBox(" Edit Projects ", this);
    gbxEditProjects_->setObjectName("gbxEditProjects");
    auto* form = new QFormLayout(gbxEditProjects_);
    edtProjectsCaption_ = new QLineEdit(gbxEditProjects_);
    edtProjectsCaption_->setObjectName("edtProjectsCaption");
    edtProjectsDescription_ = new QLineEdit(gbxEditProjects_);
    edtProjectsDescription_->setObjectName("edtProjectsDescription");
    dtpProjectsCreationDate_ = MakeDatePicker(gbxEditProjects_, "dtpProjectsCreationDate");
    dtpProjectsModificationDate_ = MakeDatePicker(gbxEditProjects_, "dtpProjectsModificationDate");
    edtProjectsComment_ = new QLineEdit(gbxEditProjects_);
    edtProjectsComment_->setObjectName("edtProjectsComment");
    AddRow(form, "Caption:", edtProjectsCaption_);
    AddRow(form, "Description:", edtProjectsDescription_);
    AddRow(form, "CreationDate:", dtpProjectsCreationDate_);
    AddRow(form, "ModificationDate:", dtpProjectsModificationDate_);
    AddRow(form, "Comment:", edtProjectsComment_);
    layout->addWidget(gbxEditProjects_);
    RefuseSpecialCaptionKeys(edtProjectsCaption_);
    for (QLineEdit* edit : {edtProjectsCaption_, edtProjectsDescription_, edtProjectsComment_})
        TDACGUIConnector::SetTextLimit(edit, MaxTextLength);
}

void TfrmProjects::ConnectHandlers() {
    connect(edtProjectsCaption_, &QLineEdit::textChanged, this, Guarded([this] {
                if (connector_.State() == csActive)
                    CheckPastedCaption(edtProjectsCaption_);
                ControlChanged();
            }));
    for (QLineEdit* edit : {edtProjectsDescription_, edtProjectsComment_})
        connect(edit, &QLineEdit::textChanged, this, Guarded([this] { ControlChanged(); }));
    for (QDateTimeEdit* picker : {dtpProjectsCreationDate_, dtpProjectsModificationDate_})
        connect(picker, &QDateTimeEdit::dateTimeChanged, this,
                Guarded([this] { ControlChanged(); }));
    connect(navigator_.Insert, &QAction::triggered, this, Guarded([this] { InsertProject(); }));
    navigator_.ConnectMoves(this, [this]() -> TDACGUIConnector& { return connector_; });
    connect(navigator_.Save, &QAction::triggered, this,
            Guarded([this] { connector_.SaveSelectedRow(false); }));
    connect(navigator_.Delete, &QAction::triggered, this, Guarded([this] { DeleteProject(); }));
    connect(navigator_.Copy, &QAction::triggered, this, Guarded([this] { CopyProject(); }));
    connect(actOpen_, &QAction::triggered, this, Guarded([this] { done(QDialog::Accepted); }));
    connect(actCancel_, &QAction::triggered, this, Guarded([this] { done(QDialog::Rejected); }));
    connect(grdProjects_, &QTableWidget::cellDoubleClicked, this,
            Guarded([this] { actOpen_->trigger(); }));
    for (QAction* action : findChildren<QAction*>())
        connect(action, &QAction::triggered, this, [this] { UpdateActions(); });
}

void TfrmProjects::InitGrid() {
    TDACGrid& grid = *grdProjects_;
    grid.SetColCount(5);
    const char* headers[] = {"ID", "Caption", "Description", "CreationDate", "ModificationDate"};
    const int widths[] = {40, 120, 150, 105, 105};
    namespace typical = TypicalContent;
    const QString contents[] = {
        typical::Key, typical::Caption, {}, typical::Date, typical::DateTime};
    for (int column = 0; column < 5; ++column) {
        grid.SetCell(column, 0, headers[column]);
        grid.SetColWidth(column, widths[column], contents[column]);
    }
    GiveSpareWidthTo(grid, 2);
}

void TfrmProjects::PopulateRow(int row, TDACDatabaseClassItem& item) {
    auto& project = static_cast<TdciProjects&>(item);
    TDACGrid& grid = *grdProjects_;
    grid.SetCell(0, row, project.ItemID());
    grid.SetCell(1, row, project.CAPTION());
    grid.SetCell(2, row, project.DESCRIPTION());
    grid.SetCell(3, row, DateText(project.CREATIONDATE()));
    grid.SetCell(4, row, DateTimeText(project.MODIFICATIONDATE()));
}

void TfrmProjects::Interchange(bool toItem, TDACDatabaseClassItem* item) {
    auto* project = static_cast<TdciProjects*>(item);
    if (toItem) {
        project->SetCAPTION(StdText(edtProjectsCaption_->text()));
        project->SetDESCRIPTION(StdText(edtProjectsDescription_->text()));
        project->SetCREATIONDATE(FromQDateTime(dtpProjectsCreationDate_->dateTime()));
        project->SetMODIFICATIONDATE(FromQDateTime(dtpProjectsModificationDate_->dateTime()));
        project->SetCOMMENT(StdText(edtProjectsComment_->text()));
        project->UpdateModificationDate();
        return;
    }
    if (!project) {
        for (QLineEdit* edit : {edtProjectsCaption_, edtProjectsDescription_, edtProjectsComment_})
            TDACGUIConnector::SetTEdit(edit, "", false);
        for (QDateTimeEdit* picker : {dtpProjectsCreationDate_, dtpProjectsModificationDate_})
            TDACGUIConnector::SetTDateTimePicker(picker, false, EncodeDate(1900, 1, 1));
        return;
    }
    const bool editable = project->CanEdit();
    TDACGUIConnector::SetTEdit(edtProjectsCaption_, project->CAPTION(), editable);
    TDACGUIConnector::SetTEdit(edtProjectsDescription_, project->DESCRIPTION(), editable);
    TDACGUIConnector::SetTEdit(edtProjectsComment_, project->COMMENT(), editable);
    TDACGUIConnector::SetTDateTimePicker(dtpProjectsCreationDate_, false, project->CREATIONDATE());
    TDACGUIConnector::SetTDateTimePicker(dtpProjectsModificationDate_, false,
                                         project->MODIFICATIONDATE());
}

void TfrmProjects::ControlChanged() {
    connector_.ControlChangeEventHandler();
    UpdateActions();
}

TdciProjects* TfrmProjects::SelectedProject() const {
    if (connector_.State() == csStopped)
        return nullptr;
    return static_cast<TdciProjects*>(connector_.SelectedObject());
}

void TfrmProjects::StartWithItemID(const std::string& itemID) {
    if (!projects_.IsOpen())
        projects_.Open();
    connector_.Stop();
    try {
        connector_.Start(itemID);
    } catch (const EAssertionFailed&) {
        // The project is gone (deleted meanwhile, perhaps by a colleague): the first one.
        connector_.Stop();
        connector_.Start("");
    }
    UpdateActions();
}

void TfrmProjects::ReadProjects(const std::string& itemID) {
    connector_.Stop();
    if (projects_.IsOpen())
        projects_.Close();
    StartWithItemID(itemID);
}

void TfrmProjects::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    firstActivation_.OnShow([this] { FirstActivation(); });
}

void TfrmProjects::FirstActivation() {
    setWindowTitle(ApplicationTitle() + " - Projects");
    StartWithItemID(itemIDToSelect_);
    grdProjects_->setFocus();
    WidenToShowColumns(this, *grdProjects_);
}

void TfrmProjects::UpdateActions() {
    if (connector_.State() == csStopped) {
        navigator_.DisableAll();
        return;
    }
    const TDACActionStatus& status = connector_.ActionStatus();
    navigator_.Update(status, status.Insert && SelectedProject() != nullptr);
}

void TfrmProjects::InsertProject() {
    connector_.InsertRow();
    edtProjectsCaption_->setFocus();
}

void TfrmProjects::DeleteProject() {
    TdciProjects* project = SelectedProject();
    if (!project)
        return;
    const int projectID = project->PROJECTID();
    TdcAssessments& assessments = project->Assessments();
    if (!assessments.IsOpen())
        assessments.Open();
    const int count = assessments.Count();
    std::vector<int> keys;
    for (assessments.First(); !assessments.Eof(); assessments.Next())
        keys.push_back(assessments.Item().ASSESSMENTID());
    // Counted only: a list left open would be walked stale by a later run of the project.
    CloseQuietly(assessments);
    // Claimed while the rows and the run directories go: a run of another program neither
    // holds them now nor starts on them meanwhile.
    const auto claims = CreateRunClaims(projects_.Database());
    if (const auto holder = ClaimAll(*claims, keys)) {
        ShowError(Format("Assessments of this project are being run by %s. Delete the project "
                         "when those runs have ended.",
                         *holder));
        return;
    }
    bool deleted = false;
    if (count > 0) {
        if (!AskOkCancel(Format("Deleting this item will also delete %d item(s) from table "
                                "Assessments, do you want to continue ?",
                                count)))
            return;
        deleted = connector_.DeleteSelectedRow(false);
    } else {
        deleted = connector_.DeleteSelectedRow(true);
    }
    if (deleted && HasProjectDirectoryProvider())
        DeleteDirectoryTree(ProjectDirectory(projectID, false));
}

void TfrmProjects::CopyProject() {
    if (!connector_.SaveSelectedRow(true))
        return;
    TdciProjects* source = SelectedProject();
    if (!source)
        return;
    const std::string sourceID = source->ItemID();
    std::string copyID;
    try {
        TdciProjects& copy = source->CopyItem(&projects_);
        copyID = copy.ItemID();
        copy.SetCAPTION(source->CAPTION() + "_copy");
        copy.Save();
        source->CopyDetails(&copy);
        connector_.Stop();
        connector_.Start(copyID);
    } catch (...) {
        if (!copyID.empty() && projects_.LocateByItemID(copyID, false))
            projects_.Delete();
        connector_.Stop();
        connector_.Start(sourceID);
        throw;
    }
}

void TfrmProjects::done(int result) {
    if (!SaveBeforeClosing(connector_))
        return;
    QDialog::done(result);
}

} // namespace parvela
