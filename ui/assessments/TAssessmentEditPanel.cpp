#include "ui/assessments/TAssessmentEditPanel.h"

#include "UnitsFromGenerator/BorrowedList.h"
#include "program/plugin/TDAXOInterface.h"
#include "ui/QtConvert.h"
#include "ui/WindowSupport.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

namespace parvela {

namespace {

QComboBox* DropDownList(QWidget* parent, const char* name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(false);
    return box;
}

// The drop-down list with its "..." button beside it.
QWidget* WithButton(QWidget* page, QComboBox* box, const char* name, const char* hint,
                    QAction* action) {
    auto* row = new QWidget(page);
    auto* rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->addWidget(box, 1);
    auto* button = new QPushButton("...", row);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(QString::fromLatin1(hint));
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    rowLayout->addWidget(button);
    return row;
}

// Long entries are shown whole in the drop-down list.
void ShowEntriesWhole(QComboBox* box) {
    QAbstractItemView* view = box->view();
    view->setMinimumWidth(view->sizeHintForColumn(0) +
                          view->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                          2 * view->frameWidth());
}

// Reads the list again and offers the caption of each of its items, with the item's key.
template <class List, class Key> void FillCaptions(QComboBox* box, List& list, Key keyOf) {
    if (list.IsOpen())
        CloseQuietly(list);
    list.Open();
    const QSignalBlocker blocker(box);
    box->clear();
    for (list.First(); !list.Eof(); list.Next())
        box->addItem(QText(list.Item().CAPTION()), keyOf(list.Item()));
    ShowEntriesWhole(box);
}

// A new assessment has no scenario or scheme yet: its name stays empty.
template <class List> std::string CaptionOf(List* list, int id) {
    if (!list || !list->IsOpen() || !list->HasItems() ||
        !list->LocateByItemID(std::to_string(id), false))
        return {};
    return list->Item().CAPTION();
}

template <class List> void ReleaseList(std::unique_ptr<List>& list) {
    if (list && list->IsOpen())
        CloseQuietly(*list);
    list.reset();
}

} // namespace

TAssessmentEditPanel::TAssessmentEditPanel(QWidget* parent, QAction* viewScenarios,
                                           QAction* editSubstances, QAction* editSchemes)
    : QGroupBox(" Edit Assessments ", parent) {
    setObjectName("GroupBox1");
    auto* layout = new QVBoxLayout(this);
    PageControl1_ = new QTabWidget(this);
    PageControl1_->setObjectName("PageControl1");
    layout->addWidget(PageControl1_);
    PageControl1_->addTab(BuildAssessmentPage(viewScenarios, editSubstances, editSchemes),
                          "Assessment");
    // Tab goes from each combo box to its "..." button.
    ChainTabOrder({edtAssessmentsDescription_, cbxScenarios_,
                   findChild<QPushButton*>("btnScenarios"), cbxAssessmentsSubstanceCode_,
                   findChild<QPushButton*>("btnSubstances"), cbxApplicationSchemes_,
                   findChild<QPushButton*>("btnApplicationSchemes")});
    PageControl1_->addTab(BuildStatusPage(), "Status");
    RefuseSpecialCaptionKeys(edtAssessmentsCaption_);
    for (QLineEdit* edit : {edtAssessmentsCaption_, edtAssessmentsDescription_})
        TDACGUIConnector::SetTextLimit(edit, MaxTextLength);
    ConnectHandlers();
}

QWidget* TAssessmentEditPanel::BuildAssessmentPage(QAction* viewScenarios, QAction* editSubstances,
                                                   QAction* editSchemes) {
    auto* page = new QWidget(PageControl1_);
    page->setObjectName("TabSheet1");
    auto* form = new QFormLayout(page);
    edtAssessmentsCaption_ = new QLineEdit(page);
    edtAssessmentsCaption_->setObjectName("edtAssessmentsCaption");
    edtAssessmentsDescription_ = new QLineEdit(page);
    edtAssessmentsDescription_->setObjectName("edtAssessmentsDescription");
    cbxScenarios_ = DropDownList(page, "cbxScenarios");
    cbxAssessmentsSubstanceCode_ = DropDownList(page, "cbxAssessmentsSubstanceCode");
    cbxApplicationSchemes_ = DropDownList(page, "cbxApplicationSchemes");
    AddRow(form, "Caption:", edtAssessmentsCaption_);
    AddRow(form, "Description:", edtAssessmentsDescription_);
    AddRow(
        form, "Scenario:",
        WithButton(page, cbxScenarios_, "btnScenarios", "Show info of scenarios", viewScenarios));
    AddRow(form, "Substance:",
           WithButton(page, cbxAssessmentsSubstanceCode_, "btnSubstances", "Open substance editor",
                      editSubstances));
    AddRow(form, "ApplicationScheme:",
           WithButton(page, cbxApplicationSchemes_, "btnApplicationSchemes",
                      "Open ApplicationScheme editor", editSchemes));
    auto* comments = new QPushButton("Comments...", page);
    comments->setObjectName("btnComments");
    comments->hide();
    return page;
}

QWidget* TAssessmentEditPanel::BuildStatusPage() {
    auto* page = new QWidget(PageControl1_);
    page->setObjectName("TabSheet2");
    auto* form = new QFormLayout(page);
    chxAssessmentsSelectedForExecution_ = new QCheckBox(page);
    chxAssessmentsSelectedForExecution_->setObjectName("chxAssessmentsSelectedForExecution");
    mmErrorMessage_ = new QPlainTextEdit(page);
    mmErrorMessage_->setObjectName("mmErrorMessage");
    mmErrorMessage_->setReadOnly(true);
    mmErrorMessage_->setMaximumHeight(90);
    dtpAssessmentsCreationDate_ = MakeDatePicker(page, "dtpAssessmentsCreationDate");
    dtpAssessmentsModificationDate_ = MakeDatePicker(page, "dtpAssessmentsModificationDate");
    chxAssessmentHasValidResults_ = new QCheckBox("Has valid results", page);
    chxAssessmentHasValidResults_->setObjectName("chxAssessmentHasValidResults");
    chxAssessmentHasValidResults_->setEnabled(false);
    edtAssessmentsSelectedForExecution_ = new QLineEdit(page);
    edtAssessmentsSelectedForExecution_->setObjectName("edtAssessmentsSelectedForExecution");
    edtAssessmentsSelectedForExecution_->hide();
    auto* results = new QPushButton("View results", page);
    results->setObjectName("btnResults");
    results->hide();
    AddRow(form, "Selected for execution:", chxAssessmentsSelectedForExecution_);
    AddRow(form, "ErrorMessage:", mmErrorMessage_);
    AddRow(form, "CreationDate:", dtpAssessmentsCreationDate_);
    AddRow(form, "ModificationDate:", dtpAssessmentsModificationDate_);
    form->addRow(chxAssessmentHasValidResults_);
    return page;
}

void TAssessmentEditPanel::ConnectHandlers() {
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
    connect(cbxScenarios_, &QComboBox::currentIndexChanged, this, Guarded([this] {
                KeyChosen(cbxScenarios_, [](TdciAssessments& assessment, int scenarioID) {
                    assessment.SetSCENARIOID(scenarioID);
                });
            }));
    connect(cbxApplicationSchemes_, &QComboBox::currentIndexChanged, this, Guarded([this] {
                KeyChosen(cbxApplicationSchemes_, [](TdciAssessments& assessment, int schemeID) {
                    assessment.SetAPPLICATIONSCHEMEID(schemeID);
                });
            }));
    connect(cbxAssessmentsSubstanceCode_, &QComboBox::activated, this,
            Guarded([this] { SubstanceChosen(); }));
}

void TAssessmentEditPanel::CreateLists() {
    scenarios_ = std::make_unique<TdcScenarios>();
    schemes_ = std::make_unique<TdcApplicationSchemes>();
}

void TAssessmentEditPanel::ReleaseLists() {
    ReleaseList(scenarios_);
    ReleaseList(schemes_);
    substances_.reset();
}

void TAssessmentEditPanel::SetConnector(TDACGUIConnector* connector,
                                        std::function<void()> afterChange) {
    connector_ = connector;
    afterChange_ = std::move(afterChange);
}

void TAssessmentEditPanel::ReadSubstances() {
    TDAXOInterface::GetSingleton().GetSubstancesGUIDList(true, false, substances_);
}

void TAssessmentEditPanel::FillComboBoxes() {
    FillCaptions(cbxScenarios_, *scenarios_,
                 [](TdciScenarios& scenario) { return scenario.SCENARIOID(); });
    FillSchemeComboBox();
    FillSubstanceComboBox();
}

void TAssessmentEditPanel::FillSchemeComboBox() {
    FillCaptions(cbxApplicationSchemes_, *schemes_,
                 [](TdciApplicationSchemes& scheme) { return scheme.APPLICATIONSCHEMEID(); });
}

void TAssessmentEditPanel::FillSubstanceComboBox() {
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

std::string TAssessmentEditPanel::ScenarioCaption(int scenarioID) const {
    return CaptionOf(scenarios_.get(), scenarioID);
}

std::string TAssessmentEditPanel::SchemeCaption(int schemeID) const {
    return CaptionOf(schemes_.get(), schemeID);
}

std::string TAssessmentEditPanel::SubstanceCode(const std::string& guid) const {
    const int index = SubstanceIndexOf(guid);
    if (index < 0 || !(*substances_)[index].Attributes)
        return {};
    return (*substances_)[index].Attributes->Value("SubstanceCode");
}

int TAssessmentEditPanel::SubstanceIndexOf(const std::string& guid) const {
    if (!substances_)
        return -1;
    for (std::size_t i = 0; i < substances_->Count(); ++i) {
        const TDAXOGUIDEntry& entry = (*substances_)[i];
        if (entry.Attributes && entry.Attributes->Value("SubstanceGUID") == guid)
            return static_cast<int>(i);
    }
    return -1;
}

std::string TAssessmentEditPanel::ChosenSubstanceGUID() const {
    const int index = cbxAssessmentsSubstanceCode_->currentIndex();
    if (index < 0 || !(*substances_)[index].Attributes)
        return {};
    return (*substances_)[index].Attributes->Value("SubstanceGUID");
}

void TAssessmentEditPanel::Interchange(bool toItem, TdciAssessments* assessment) {
    if (toItem) {
        TakeInto(*assessment);
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

void TAssessmentEditPanel::TakeInto(TdciAssessments& assessment) {
    assessment.SetCAPTION(StdText(edtAssessmentsCaption_->text()));
    assessment.SetDESCRIPTION(StdText(edtAssessmentsDescription_->text()));
    const int substance = cbxAssessmentsSubstanceCode_->currentIndex();
    assessment.SetSUBSTANCEGUID(substance >= 0 ? (*substances_)[substance].GUID : std::string());
    assessment.SetVALIDRESULTS(chxAssessmentHasValidResults_->isChecked());
    // The memo shows the text with its line breaks normalised: only a real change is taken
    // back.
    if (mmErrorMessage_->toPlainText() != shownErrorMessage_)
        assessment.SetERRORMESSAGE(StdText(mmErrorMessage_->toPlainText()));
    assessment.SetCREATIONDATE(FromQDateTime(dtpAssessmentsCreationDate_->dateTime()));
    assessment.SetMODIFICATIONDATE(FromQDateTime(dtpAssessmentsModificationDate_->dateTime()));
    assessment.UpdateModificationDate();
}

void TAssessmentEditPanel::ShowItem(TdciAssessments& assessment) {
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

void TAssessmentEditPanel::ShowScheme(TdciAssessments& assessment) {
    const QSignalBlocker blocker(cbxApplicationSchemes_);
    cbxApplicationSchemes_->setCurrentIndex(
        cbxApplicationSchemes_->findData(assessment.APPLICATIONSCHEMEID()));
    TDACGUIConnector::SetTComboBox(cbxApplicationSchemes_, assessment.CanEdit());
}

void TAssessmentEditPanel::ClearControls() {
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

void TAssessmentEditPanel::ShowAssessmentPage() {
    PageControl1_->setCurrentIndex(0);
}

void TAssessmentEditPanel::ShowStatusPage() {
    PageControl1_->setCurrentIndex(1);
}

void TAssessmentEditPanel::StartWithCaption() {
    ShowAssessmentPage();
    edtAssessmentsCaption_->setFocus();
}

// ---- handlers ----------------------------------------------------------------------------

void TAssessmentEditPanel::ControlChanged() {
    if (!connector_)
        return;
    connector_->ControlChangeEventHandler();
    afterChange_();
}

TdciAssessments* TAssessmentEditPanel::EditedAssessment() const {
    if (!connector_ || connector_->State() != csActive)
        return nullptr;
    return static_cast<TdciAssessments*>(connector_->SelectedObject());
}

void TAssessmentEditPanel::KeyChosen(QComboBox* box,
                                     const std::function<void(TdciAssessments&, int)>& set) {
    TdciAssessments* assessment = EditedAssessment();
    if (!assessment || box->currentIndex() < 0)
        return;
    set(*assessment, box->currentData().toInt());
    ControlChanged();
}

void TAssessmentEditPanel::SubstanceChosen() {
    TdciAssessments* assessment = EditedAssessment();
    const int index = cbxAssessmentsSubstanceCode_->currentIndex();
    if (!assessment || index < 0)
        return;
    const std::string& guid = (*substances_)[index].GUID;
    assessment->SetSUBSTANCEGUID(guid);
    assessment->SetSUBSTANCECHECKSUM(
        TDAXOInterface::GetSingleton().GetSubstanceChecksumByGUID(guid));
    ControlChanged();
}

} // namespace parvela
