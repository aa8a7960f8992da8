#include "ui/TfrmApplicationSchemes.h"

#include "UnitsFromGenerator/BorrowedList.h"
#include "UnitsFromGenerator/TdcAssessments.h"
#include "framework/DateTime.h"
#include "framework/Format.h"
#include "framework/MissingValues.h"
#include "program/checks/SchemeUsage.h"
#include "program/system/DayMonth.h"
#include "program/system/Messages.h"
#include "ui/QtConvert.h"
#include "ui/TDACGrid.h"
#include "ui/TDayMonthSelector.h"
#include "ui/TfrmInceptions.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace parvela {

namespace {

constexpr const char* ClassName = "TfrmApplicationSchemes";
constexpr int DateColumn = 2;

std::string RealText(double value) {
    return IsMissingReal(value) ? std::string("<no value given>") : FloatToStrGeneral(value);
}

// "mmdd": only the day and the month of an application count, whatever year an older
// database stored with them.
std::string DayMonthSortKey(TDateTime date) {
    const TDateParts parts = DecodeDateTime(date);
    return Format("%.2d%.2d", parts.Month, parts.Day);
}

QGroupBox* Group(QWidget* parent, const char* name, const char* caption) {
    auto* group = new QGroupBox(QString::fromLatin1(caption), parent);
    group->setObjectName(QString::fromLatin1(name));
    return group;
}

QLineEdit* Edit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

// The number of rows of a detail list, read fresh; the list is closed again so that a later
// copy does not walk what it held now.
int CountDetails(TDACDatabaseClass& details) {
    if (details.IsOpen())
        CloseQuietly(details);
    details.Open();
    const int count = details.Count();
    CloseQuietly(details);
    return count;
}

} // namespace

TfrmApplicationSchemes::TfrmApplicationSchemes(QWidget* parent) : QDialog(parent) {
    setObjectName("frmApplicationSchemes");
    BuildControls();
    schemesConnector_.SetGrid(grdApplicationSchemes_);
    schemesConnector_.SetInitGridSetter([this] { InitSchemesGrid(); });
    schemesConnector_.SetPopulateGridRow(
        [this](int row, TDACDatabaseClassItem& item) { PopulateSchemeRow(row, item); });
    schemesConnector_.SetObjectControlsInterchange(
        [this](bool toItem, TDACDatabaseClassItem* item) { SchemeInterchange(toItem, item); });
    schemesConnector_.SetObjectList(&schemes_);
    // Leaving a scheme first settles its unsaved application: reloading the applications of
    // the next scheme would otherwise drop it.
    schemesConnector_.AddRowListener(
        [this](TDACGUIConnector&, int, int, bool& allow) { allow = SettleApplication(); });
    schemesConnector_.AddOpenDetailSetListener([](TDACDatabaseClassItem*) {});
    applicationsConnector_.SetGrid(grdApplications_);
    applicationsConnector_.SetInitGridSetter([this] { InitApplicationsGrid(); });
    applicationsConnector_.SetPopulateGridRow(
        [this](int row, TDACDatabaseClassItem& item) { PopulateApplicationRow(row, item); });
    applicationsConnector_.SetObjectControlsInterchange(
        [this](bool toItem, TDACDatabaseClassItem* item) { ApplicationInterchange(toItem, item); });
    applicationsConnector_.SetObjectList(&applications_);
    // Every save of an application, also one after the connector's own question on leaving
    // its row, sorting or closing, keeps results only when the user allows the change.
    applicationsConnector_.SetBeforeSave([this](TDACDatabaseClassItem&) {
        if (doAllowChanges() == TAllowChanges::Refused)
            return false;
        InvalidateResultsOfChange();
        return true;
    });
    applicationsConnector_.SetAfterSave(
        [this](TDACDatabaseClassItem&) { InvalidateResultsOfChange(); });
    dmsAppDate_->SetYear(ApplicationYear);
    ConnectHandlers();
    StartActionUpdates(this, [this] { UpdateActions(); });
    WithoutDefaultButtons(this);
    resize(760, 600);
}

TfrmApplicationSchemes::~TfrmApplicationSchemes() {
    applicationsConnector_.Stop();
    schemesConnector_.Stop();
    for (TDACDatabaseClass* list : std::initializer_list<TDACDatabaseClass*>{
             &applications_, &schemes_, &typesForCombo_, &typesForGrid_})
        if (list->IsOpen())
            CloseQuietly(*list);
}

void TfrmApplicationSchemes::BuildControls() {
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    auto* btnHelp = new QPushButton("View Interception table", this);
    btnHelp->setObjectName("btnHelp");
    connect(btnHelp, &QPushButton::clicked, this, Guarded([this] {
                TfrmInceptions window(this);
                window.exec();
            }));
    QAction* close = MakeAction(this, "actClose", "Close", "Close");
    auto* btnClose = new QPushButton("Close", this);
    btnClose->setObjectName("btnClose");
    connect(btnClose, &QPushButton::clicked, close, &QAction::trigger);
    connect(close, &QAction::triggered, this, [this] { done(QDialog::Accepted); });
    buttons->addWidget(btnHelp);
    buttons->addWidget(btnClose);
    buttons->addStretch();
    layout->addLayout(buttons);

    auto* schemes = new QHBoxLayout;
    QGroupBox* browseSchemes =
        Group(this, "gbxBrowseApplicationSchemes", " Browse Application schemes ");
    auto* browseSchemesLayout = new QVBoxLayout(browseSchemes);
    grdApplicationSchemes_ = new TDACGrid(browseSchemes);
    grdApplicationSchemes_->setObjectName("grdApplicationSchemes");
    browseSchemesLayout->addWidget(grdApplicationSchemes_);
    schemesNavigator_ = BuildNavigator(browseSchemes, "ApplicationSchemes");
    browseSchemesLayout->addWidget(schemesNavigator_.Panel);
    schemes->addWidget(browseSchemes, 1);
    QGroupBox* editScheme = Group(this, "gbxEditApplicationSchemes", " Edit Application scheme ");
    auto* schemeForm = new QFormLayout(editScheme);
    edtApplicationSchemesCaption_ = Edit(editScheme, "edtApplicationSchemesCaption");
    edtApplicationSchemesDescription_ = Edit(editScheme, "edtApplicationSchemesDescription");
    AddRow(schemeForm, "Caption:", edtApplicationSchemesCaption_);
    AddRow(schemeForm, "Description:", edtApplicationSchemesDescription_);
    schemes->addWidget(editScheme, 1);
    layout->addLayout(schemes, 1);

    auto* applications = new QHBoxLayout;
    QGroupBox* browseApplications = Group(this, "gbxBrowseApplications", " Browse Applications ");
    auto* browseApplicationsLayout = new QVBoxLayout(browseApplications);
    grdApplications_ = new TDACGrid(browseApplications);
    grdApplications_->setObjectName("grdApplications");
    browseApplicationsLayout->addWidget(grdApplications_);
    applicationsNavigator_ = BuildNavigator(browseApplications, "Applications");
    browseApplicationsLayout->addWidget(applicationsNavigator_.Panel);
    applications->addWidget(browseApplications, 1);
    QGroupBox* editApplication = Group(this, "gbxEditApplications", "");
    auto* applicationForm = new QFormLayout(editApplication);
    cbxApplicationType_ = new QComboBox(editApplication);
    cbxApplicationType_->setObjectName("cbxApplicationType");
    dmsAppDate_ = new TDayMonthSelector(editApplication);
    dmsAppDate_->setObjectName("dmsAppDate");
    edtApplicationsDosage_ = Edit(editApplication, "edtApplicationsDosage");
    edtApplicationsApplicationParameter_ =
        Edit(editApplication, "edtApplicationsApplicationParameter");
    edtApplicationsApplicationParameter_->setEnabled(false);
    edtApplicationsApplicationParameter_->setReadOnly(true);
    edtApplicationsApplicationParameter_->setText("read from table in database");
    edtApplicationsSprayDriftPerc_ = Edit(editApplication, "edtApplicationsSprayDriftPerc");
    AddRow(applicationForm, "Application type:", cbxApplicationType_);
    AddRow(applicationForm, "Application date:", dmsAppDate_);
    AddRow(applicationForm, "Dosage (kg ha-1): ", edtApplicationsDosage_);
    AddRow(applicationForm, "ApplicationParameter:", edtApplicationsApplicationParameter_,
           "lblApplicationsApplicationParameter");
    lblApplicationsApplicationParameter_ =
        editApplication->findChild<QLabel*>("lblApplicationsApplicationParameter");
    lblApplicationsApplicationParameter_->setEnabled(false);
    AddRow(applicationForm, "SprayDrift (%):", edtApplicationsSprayDriftPerc_);
    applications->addWidget(editApplication, 1);
    layout->addLayout(applications, 1);
    RefuseSpecialCaptionKeys(edtApplicationSchemesCaption_);
    for (QLineEdit* edit : {edtApplicationSchemesCaption_, edtApplicationSchemesDescription_})
        TDACGUIConnector::SetTextLimit(edit, MaxTextLength);
}

void TfrmApplicationSchemes::ConnectHandlers() {
    for (QLineEdit* edit : {edtApplicationSchemesCaption_, edtApplicationSchemesDescription_})
        connect(edit, &QLineEdit::textChanged, this, Guarded([this] { SchemeTextChanged(); }));
    const TNavigator& s = schemesNavigator_;
    connect(s.Insert, &QAction::triggered, this, Guarded([this] { InsertScheme(); }));
    s.ConnectMoves(
        this, [this]() -> TDACGUIConnector& { return schemesConnector_; },
        [this] { return SettleApplication(); });
    connect(s.Save, &QAction::triggered, this, Guarded([this] { SaveScheme(); }));
    connect(s.Delete, &QAction::triggered, this, Guarded([this] { DeleteScheme(); }));
    connect(s.Copy, &QAction::triggered, this, Guarded([this] { CopyScheme(); }));
    const TNavigator& a = applicationsNavigator_;
    connect(a.Insert, &QAction::triggered, this, Guarded([this] { InsertApplication(); }));
    connect(a.Delete, &QAction::triggered, this, Guarded([this] { DeleteApplication(); }));
    connect(a.Save, &QAction::triggered, this, Guarded([this] { SaveApplication(); }));
    connect(a.Copy, &QAction::triggered, this, Guarded([this] { CopyApplication(); }));
    a.ConnectMoves(this, [this]() -> TDACGUIConnector& { return applicationsConnector_; });
    connect(cbxApplicationType_, &QComboBox::currentIndexChanged, this,
            Guarded([this] { TypeChosen(); }));
    connect(edtApplicationsDosage_, &QLineEdit::textChanged, this,
            Guarded([this] { NumberEdited(edtApplicationsDosage_, &TdciApplications::DOSAGE); }));
    connect(edtApplicationsSprayDriftPerc_, &QLineEdit::textChanged, this, Guarded([this] {
                NumberEdited(edtApplicationsSprayDriftPerc_, &TdciApplications::SPRAYDRIFTPERC);
            }));
    connect(dmsAppDate_, &TDayMonthSelector::OnChange, this,
            Guarded([this] { applicationsConnector_.ControlChangeEventHandler(); }));
    for (QAction* action : findChildren<QAction*>())
        connect(action, &QAction::triggered, this, [this] { UpdateActions(); });
}

// ---- activation and memory ---------------------------------------------------------------

void TfrmApplicationSchemes::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    firstActivation_.OnShow([this] { FirstActivation(); });
}

void TfrmApplicationSchemes::FirstActivation() {
    setWindowTitle(ApplicationTitle() + " - ApplicationSchemes");
    schemes_.SetFilter("applicationschemeid > %d", {0});
    schemes_.Open();
    for (schemes_.First(); !schemes_.Eof(); schemes_.Next())
        RememberScheme(schemes_.Item().APPLICATIONSCHEMEID());
    typesForCombo_.Open();
    typesForGrid_.Open();
    {
        const QSignalBlocker blocker(cbxApplicationType_);
        cbxApplicationType_->clear();
        for (typesForCombo_.First(); !typesForCombo_.Eof(); typesForCombo_.Next())
            cbxApplicationType_->addItem(QText(typesForCombo_.Item().CAPTION()),
                                         typesForCombo_.Item().APPLICATIONTYPEID());
        cbxApplicationType_->setCurrentIndex(-1);
    }
    schemesConnector_.Start(itemIDToSelect_);
    grdApplicationSchemes_->setFocus();
    WidenToShowColumns(this, *grdApplicationSchemes_);
    WidenToShowColumns(this, *grdApplications_);
    ready_ = true;
    UpdateActions();
}

void TfrmApplicationSchemes::RememberScheme(int schemeID) {
    allowedChanges_.emplace(schemeID, "0");
}

std::string TfrmApplicationSchemes::AllowedChangesOf(int schemeID) const {
    const auto entry = allowedChanges_.find(schemeID);
    return entry == allowedChanges_.end() ? std::string() : entry->second;
}

namespace {

// OK to the question confirms the change; Cancel refuses it.
TAllowChanges AskToAllow(const char* question) {
    return AskOkCancel(question) ? TAllowChanges::Confirmed : TAllowChanges::Refused;
}

} // namespace

TAllowChanges TfrmApplicationSchemes::doAllowChanges() {
    if (!ready_)
        return TAllowChanges::Confirmed;
    TdciApplicationSchemes* scheme = SelectedScheme();
    if (!scheme)
        return TAllowChanges::Refused;
    const int schemeID = scheme->APPLICATIONSCHEMEID();
    const std::string memory = AllowedChangesOf(schemeID);
    if (!memory.empty() && memory != "0")
        return TAllowChanges::WithoutQuestion;
    const TSchemeUsage usage = ClassifySchemeUsage(schemeID, assessmentID_);
    TAllowChanges result = TAllowChanges::Refused;
    switch (usage) {
    case TSchemeUsage::Free:
        result = TAllowChanges::WithoutQuestion;
        break;
    case TSchemeUsage::OwnResults:
        result = AskToAllow("If you changes this applicationscheme the results of this "
                            "assessment will be invalid. Continue?");
        break;
    case TSchemeUsage::Shared:
        result = AskToAllow("This applicationscheme is also used in other assessments. Continue?");
        break;
    case TSchemeUsage::SharedWithResults:
        result = AskToAllow("This applicationscheme is also used in other assessments. Results "
                            "of these assessments will be invalid. Continue?");
        break;
    default:
        throw Exception(Format("internal error in %s.doAllowChanges", ClassName));
    }
    if (result == TAllowChanges::Confirmed && ChangeLosesResults(usage))
        InvalidateSchemeResults(schemeID);
    if (result != TAllowChanges::Refused)
        allowedChanges_[schemeID] = "1";
    return result;
}

void TfrmApplicationSchemes::InvalidateResultsOfChange() {
    TdciApplicationSchemes* scheme = SelectedScheme();
    if (!scheme)
        return;
    // Once allowed, the change asks no more; but results stored valid since (a run of another
    // program that ended meanwhile) are results of the old applications all the same. Done
    // before the change is saved and again after it, so that a run that stores its verdict in
    // between is caught too.
    const int schemeID = scheme->APPLICATIONSCHEMEID();
    if (ChangeLosesResults(ClassifySchemeUsage(schemeID, assessmentID_)))
        InvalidateSchemeResults(schemeID);
}

// ---- schemes -----------------------------------------------------------------------------

void TfrmApplicationSchemes::InitSchemesGrid() {
    TDACGrid& grid = *grdApplicationSchemes_;
    grid.SetColCount(3);
    grid.SetCell(1, 0, "Caption");
    grid.SetColWidth(1, 100, TypicalContent::Caption);
    grid.SetCell(2, 0, "Description");
    grid.SetColWidth(2, 150);
    GiveSpareWidthTo(grid, 2);
}

void TfrmApplicationSchemes::PopulateSchemeRow(int row, TDACDatabaseClassItem& item) {
    auto& scheme = static_cast<TdciApplicationSchemes&>(item);
    grdApplicationSchemes_->SetCell(1, row, scheme.CAPTION());
    grdApplicationSchemes_->SetCell(2, row, scheme.DESCRIPTION());
}

void TfrmApplicationSchemes::SchemeInterchange(bool toItem, TDACDatabaseClassItem* item) {
    auto* scheme = static_cast<TdciApplicationSchemes*>(item);
    if (toItem) {
        scheme->SetCAPTION(StdText(edtApplicationSchemesCaption_->text()));
        scheme->SetDESCRIPTION(StdText(edtApplicationSchemesDescription_->text()));
        return;
    }
    const bool editable = scheme && scheme->CanEdit();
    TDACGUIConnector::SetTEdit(edtApplicationSchemesCaption_, scheme ? scheme->CAPTION() : "",
                               editable);
    TDACGUIConnector::SetTEdit(edtApplicationSchemesDescription_,
                               scheme ? scheme->DESCRIPTION() : "", editable);
    ReloadApplications(scheme);
}

void TfrmApplicationSchemes::ReloadApplications(TdciApplicationSchemes* scheme) {
    // Sorting the schemes shows the same scheme again: its application still being edited
    // stays open with its changes.
    TdciApplications* application = SelectedApplication();
    if (scheme && application && TDACGUIConnector::IsPending(application) &&
        application->APPLICATIONSCHEMEID() == scheme->APPLICATIONSCHEMEID())
        return;
    // Closed before its connector stops: a list that refuses to close keeps the window as it
    // was.
    if (applications_.IsOpen())
        applications_.Close();
    applicationsConnector_.Stop();
    if (!scheme) {
        ClearApplications();
        return;
    }
    applications_.SetFilter("APPLICATIONSCHEMEID = %d", {scheme->APPLICATIONSCHEMEID()});
    applications_.Open();
    applications_.SortOnField(3, true);
    applications_.SetDefaultApplicationSchemeID(scheme->APPLICATIONSCHEMEID());
    applications_.SetLocked(scheme->LOCKED());
    applicationsConnector_.Start("");
    grdApplications_->SortByColumn(DateColumn);
}

void TfrmApplicationSchemes::ClearApplications() {
    grdApplications_->SetRowCount(2);
    for (int column = 0; column < grdApplications_->ColCount(); ++column)
        grdApplications_->SetCell(column, 1, "");
    ApplicationInterchange(false, nullptr);
}

void TfrmApplicationSchemes::SchemeTextChanged() {
    if (schemesConnector_.State() != csActive)
        return;
    CheckPastedCaption(edtApplicationSchemesCaption_);
    schemesConnector_.ControlChangeEventHandler();
    UpdateActions();
}

bool TfrmApplicationSchemes::SettleApplication() {
    return applicationsConnector_.State() == csStopped ||
           applicationsConnector_.SettleSelectedRow();
}

TdciApplicationSchemes* TfrmApplicationSchemes::SelectedScheme() const {
    if (schemesConnector_.State() == csStopped)
        return nullptr;
    return static_cast<TdciApplicationSchemes*>(schemesConnector_.SelectedObject());
}

void TfrmApplicationSchemes::InsertScheme() {
    schemesConnector_.InsertRow();
    if (TdciApplicationSchemes* scheme = SelectedScheme())
        RememberScheme(scheme->APPLICATIONSCHEMEID());
    edtApplicationSchemesCaption_->setFocus();
}

void TfrmApplicationSchemes::SaveScheme() {
    if (SettleApplication())
        schemesConnector_.SaveSelectedRow(false);
}

void TfrmApplicationSchemes::DeleteScheme() {
    TdciApplicationSchemes* scheme = SelectedScheme();
    if (!scheme || !SettleApplication())
        return;
    const int applications = CountDetails(scheme->Applications());
    bool asked = false;
    if (applications > 0) {
        asked = true;
        if (!AskOkCancel(Format("Deleting this item will also delete %d item(s) from table "
                                "Applications, do you want to continue ?",
                                applications)))
            return;
        const int assessments = CountDetails(scheme->Assessments());
        if (assessments > 0 &&
            !AskOkCancel(Format("Deleting this item will also delete %d item(s) from table "
                                "Assessments, do you want to continue ?",
                                assessments)))
            return;
    }
    schemesConnector_.DeleteSelectedRow(!asked);
}

void TfrmApplicationSchemes::CopyScheme() {
    if (!SettleApplication() || !schemesConnector_.SaveSelectedRow(true))
        return;
    TdciApplicationSchemes* scheme = SelectedScheme();
    if (!scheme)
        return;
    TdciApplicationSchemes& copy = scheme->CopyItem();
    const std::string copyID = copy.ItemID();
    const int copyKey = copy.APPLICATIONSCHEMEID();
    schemesConnector_.Stop();
    schemesConnector_.Start(copyID);
    RememberScheme(copyKey);
}

// ---- applications ------------------------------------------------------------------------

void TfrmApplicationSchemes::InitApplicationsGrid() {
    TDACGrid& grid = *grdApplications_;
    grid.SetColCount(6);
    const char* headers[] = {"", "Type", "<sort>", "Date", "Dosage", "Spraydrift"};
    const int widths[] = {-1, 70, 0, 90, 80, 100};
    const QString contents[] = {{},
                                LongestTypeCaption(),
                                {},
                                QStringLiteral("31-Dec"),
                                TypicalContent::NoValue,
                                TypicalContent::NoValue};
    for (int column = 1; column < 6; ++column) {
        grid.SetCell(column, 0, headers[column]);
        grid.SetColWidth(column, widths[column], contents[column]);
    }
}

QString TfrmApplicationSchemes::LongestTypeCaption() {
    QString longest;
    if (typesForGrid_.IsOpen())
        for (typesForGrid_.First(); !typesForGrid_.Eof(); typesForGrid_.Next()) {
            const QString caption = QText(typesForGrid_.Item().CAPTION());
            if (caption.size() > longest.size())
                longest = caption;
        }
    return longest;
}

std::string TfrmApplicationSchemes::ApplicationTypeCaption(int typeID) {
    typesForGrid_.LocateByItemID(std::to_string(typeID), true);
    return typesForGrid_.Item().CAPTION();
}

void TfrmApplicationSchemes::PopulateApplicationRow(int row, TDACDatabaseClassItem& item) {
    auto& application = static_cast<TdciApplications&>(item);
    TDACGrid& grid = *grdApplications_;
    grid.SetCell(1, row, ApplicationTypeCaption(application.APPLICATIONTYPEID()));
    grid.SetCell(2, row, DayMonthSortKey(application.APPLICATIONDATE()));
    grid.SetCell(3, row, FormatDayMonth(application.APPLICATIONDATE()));
    grid.SetCell(4, row, RealText(application.DOSAGE()));
    grid.SetCell(5, row, RealText(application.SPRAYDRIFTPERC()));
}

void TfrmApplicationSchemes::ApplicationInterchange(bool toItem, TDACDatabaseClassItem* item) {
    auto* application = static_cast<TdciApplications*>(item);
    if (toItem) {
        if (TdciApplicationSchemes* scheme = SelectedScheme())
            application->SetAPPLICATIONSCHEMEID(scheme->APPLICATIONSCHEMEID());
        application->SetAPPLICATIONDATE(dmsAppDate_->Date());
        // Both must be given and fit their columns of the model input files.
        application->SetDOSAGE(
            applicationsConnector_.FloatFromEdit(edtApplicationsDosage_, DosageRange));
        application->SetSPRAYDRIFTPERC(applicationsConnector_.FloatFromEdit(
            edtApplicationsSprayDriftPerc_, SprayDriftPercRange));
        UpdateApplicationParameterControls(application->APPLICATIONTYPEID());
        return;
    }
    const QSignalBlocker typeBlocker(cbxApplicationType_);
    if (!application) {
        dmsAppDate_->SetDate(Now());
        dmsAppDate_->SetSelectorEnabled(false);
        TDACGUIConnector::SetTEdit(edtApplicationsDosage_, "", false);
        TDACGUIConnector::SetTEdit(edtApplicationsSprayDriftPerc_, "", false);
        cbxApplicationType_->setCurrentIndex(-1);
        TDACGUIConnector::SetTComboBox(cbxApplicationType_, false);
        return;
    }
    const bool editable = application->CanEdit();
    dmsAppDate_->SetDate(application->APPLICATIONDATE());
    dmsAppDate_->SetSelectorEnabled(editable);
    TDACGUIConnector::SetTEdit(edtApplicationsDosage_, RealText(application->DOSAGE()), editable);
    TDACGUIConnector::SetTEdit(edtApplicationsSprayDriftPerc_,
                               RealText(application->SPRAYDRIFTPERC()), editable);
    cbxApplicationType_->setCurrentIndex(
        cbxApplicationType_->findData(application->APPLICATIONTYPEID()));
    TDACGUIConnector::SetTComboBox(cbxApplicationType_, editable);
    UpdateApplicationParameterControls(application->APPLICATIONTYPEID());
}

void TfrmApplicationSchemes::UpdateApplicationParameterControls(int applicationTypeID) {
    if (applicationTypeID != 1)
        throw Exception(
            Format("internal error in %s.UpdateApplicationParameterControls", ClassName));
    lblApplicationsApplicationParameter_->setText("Fraction intercepted (-)");
    lblApplicationsApplicationParameter_->show();
    edtApplicationsApplicationParameter_->show();
}

TdciApplications* TfrmApplicationSchemes::SelectedApplication() const {
    if (applicationsConnector_.State() == csStopped)
        return nullptr;
    return static_cast<TdciApplications*>(applicationsConnector_.SelectedObject());
}

void TfrmApplicationSchemes::TypeChosen() {
    if (applicationsConnector_.State() != csActive)
        return;
    TdciApplications* application = SelectedApplication();
    if (!application)
        return;
    if (doAllowChanges() != TAllowChanges::Refused && cbxApplicationType_->currentIndex() >= 0) {
        application->SetAPPLICATIONTYPEID(cbxApplicationType_->currentData().toInt());
        UpdateApplicationParameterControls(application->APPLICATIONTYPEID());
        applicationsConnector_.ControlChangeEventHandler();
    } else {
        const QSignalBlocker blocker(cbxApplicationType_);
        cbxApplicationType_->setCurrentIndex(
            cbxApplicationType_->findData(application->APPLICATIONTYPEID()));
    }
    UpdateActions();
}

void TfrmApplicationSchemes::NumberEdited(QLineEdit* edit,
                                          const double& (TdciApplications::*value)() const) {
    if (applicationsConnector_.State() != csActive)
        return;
    TdciApplications* application = SelectedApplication();
    if (!application)
        return;
    if (doAllowChanges() != TAllowChanges::Refused) {
        applicationsConnector_.ControlChangeEventHandler();
    } else {
        // Refused: the edit goes back to the application's value.
        const QSignalBlocker blocker(edit);
        edit->setText(QText(RealText((application->*value)())));
    }
    UpdateActions();
}

void TfrmApplicationSchemes::InsertApplication() {
    if (doAllowChanges() == TAllowChanges::Refused)
        return;
    applicationsConnector_.InsertRow();
    // An application has no caption: its first field.
    cbxApplicationType_->setFocus();
}

void TfrmApplicationSchemes::DeleteApplication() {
    const TAllowChanges allowed = doAllowChanges();
    if (allowed != TAllowChanges::Refused &&
        applicationsConnector_.DeleteSelectedRow(allowed == TAllowChanges::WithoutQuestion))
        InvalidateResultsOfChange();
}

void TfrmApplicationSchemes::SaveApplication() {
    const TAllowChanges allowed = doAllowChanges();
    if (allowed == TAllowChanges::Refused)
        return;
    if (!applicationsConnector_.SaveSelectedRow(allowed == TAllowChanges::WithoutQuestion))
        return;
    ReloadApplications(SelectedScheme());
}

void TfrmApplicationSchemes::CopyApplication() {
    if (doAllowChanges() == TAllowChanges::Refused || !applicationsConnector_.SaveSelectedRow(true))
        return;
    TdciApplications* application = SelectedApplication();
    if (!application)
        return;
    const std::string copyID = application->CopyItem().ItemID();
    InvalidateResultsOfChange();
    applicationsConnector_.Stop();
    applicationsConnector_.Start(copyID);
}

void TfrmApplicationSchemes::UpdateActions() {
    if (schemesConnector_.State() == csStopped) {
        schemesNavigator_.DisableAll();
        applicationsNavigator_.DisableAll();
        return;
    }
    const TDACActionStatus& schemes = schemesConnector_.ActionStatus();
    TdciApplicationSchemes* scheme = SelectedScheme();
    schemesNavigator_.Update(schemes, schemes.Insert && scheme);
    const bool schemeSaved =
        scheme && (scheme->ItemState() == isBrowse || scheme->ItemState() == isEdited);
    if (!schemeSaved || applicationsConnector_.State() == csStopped) {
        applicationsNavigator_.DisableAll();
        return;
    }
    const TDACActionStatus& applications = applicationsConnector_.ActionStatus();
    applicationsNavigator_.Update(applications, applications.Insert && SelectedApplication());
}

void TfrmApplicationSchemes::done(int result) {
    if (!SaveBeforeClosing(schemesConnector_) || !SaveBeforeClosing(applicationsConnector_))
        return;
    QDialog::done(result);
}

} // namespace parvela
