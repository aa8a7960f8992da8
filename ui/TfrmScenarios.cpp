#include "ui/TfrmScenarios.h"

#include "UnitsFromGenerator/BorrowedList.h"
#include "ui/QtConvert.h"
#include "ui/TDACGrid.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace parvela {

TfrmScenarios::TfrmScenarios(QWidget* parent) : QDialog(parent) {
    setObjectName("frmScenarios");
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    QAction* close = MakeAction(this, "actClose", "Close", "Close");
    auto* btnClose = new QPushButton("Close", this);
    btnClose->setObjectName("btnClose");
    connect(btnClose, &QPushButton::clicked, close, &QAction::trigger);
    connect(close, &QAction::triggered, this, [this] { done(QDialog::Accepted); });
    auto* btnHelp = new QPushButton("Help", this);
    btnHelp->setObjectName("btnHelp");
    btnHelp->hide();
    buttons->addWidget(btnClose);
    buttons->addWidget(btnHelp);
    buttons->addStretch();
    layout->addLayout(buttons);

    auto* browse = new QGroupBox(" Browse Scenarios ", this);
    browse->setObjectName("gbxBrowseScenarios");
    auto* browseLayout = new QVBoxLayout(browse);
    grdScenarios_ = new TDACGrid(browse);
    grdScenarios_->setObjectName("grdScenarios");
    browseLayout->addWidget(grdScenarios_);
    navigator_ = BuildNavigator(browse, "Scenarios");
    navigator_.Panel->hide();
    browseLayout->addWidget(navigator_.Panel);
    layout->addWidget(browse, 1);

    gbxEditScenarios_ = new QGroupBox(" View Scenarios ", this);
    gbxEditScenarios_->setObjectName("gbxEditScenarios");
    auto* form = new QFormLayout(gbxEditScenarios_);
    edtScenariosCaption_ = new QLineEdit(gbxEditScenarios_);
    edtScenariosCaption_->setObjectName("edtScenariosCaption");
    edtScenariosDescription_ = new QLineEdit(gbxEditScenarios_);
    edtScenariosDescription_->setObjectName("edtScenariosDescription");
    AddRow(form, "Caption:", edtScenariosCaption_);
    AddRow(form, "Description:", edtScenariosDescription_);
    gbxEditScenarios_->setEnabled(false);
    layout->addWidget(gbxEditScenarios_);

    connector_.SetGrid(grdScenarios_);
    connector_.SetInitGridSetter([this] { InitGrid(); });
    connector_.SetPopulateGridRow(
        [this](int row, TDACDatabaseClassItem& item) { PopulateRow(row, item); });
    connector_.SetObjectControlsInterchange(
        [this](bool toItem, TDACDatabaseClassItem* item) { Interchange(toItem, item); });
    connector_.SetObjectList(&scenarios_);
    navigator_.ConnectMoves(this, [this]() -> TDACGUIConnector& { return connector_; });
    navigator_.DisableAll();
    navigator_.First->setEnabled(true);
    navigator_.Last->setEnabled(true);
    WithoutDefaultButtons(this);
    resize(640, 420);
}

TfrmScenarios::~TfrmScenarios() {
    connector_.Stop();
    if (scenarios_.IsOpen())
        CloseQuietly(scenarios_);
}

void TfrmScenarios::InitGrid() {
    grdScenarios_->SetColCount(3);
    grdScenarios_->SetCell(1, 0, "Caption");
    grdScenarios_->SetColWidth(1, 200, TypicalContent::Caption);
    grdScenarios_->SetCell(2, 0, "Description");
    grdScenarios_->SetColWidth(2, 350);
    GiveSpareWidthTo(*grdScenarios_, 2);
}

void TfrmScenarios::PopulateRow(int row, TDACDatabaseClassItem& item) {
    auto& scenario = static_cast<TdciScenarios&>(item);
    grdScenarios_->SetCell(1, row, scenario.CAPTION());
    grdScenarios_->SetCell(2, row, scenario.DESCRIPTION());
}

void TfrmScenarios::Interchange(bool toItem, TDACDatabaseClassItem* item) {
    auto* scenario = static_cast<TdciScenarios*>(item);
    if (toItem) {
        scenario->SetCAPTION(StdText(edtScenariosCaption_->text()));
        scenario->SetDESCRIPTION(StdText(edtScenariosDescription_->text()));
        return;
    }
    TDACGUIConnector::SetEditText(edtScenariosCaption_, scenario ? scenario->CAPTION() : "");
    TDACGUIConnector::SetEditText(edtScenariosDescription_,
                                  scenario ? scenario->DESCRIPTION() : "");
}

void TfrmScenarios::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    firstActivation_.OnShow([this] { FirstActivation(); });
}

void TfrmScenarios::FirstActivation() {
    setWindowTitle(ApplicationTitle() + " - Scenarios");
    scenarios_.SetFilter("scenarioid > %d", {0});
    scenarios_.Open();
    connector_.Start("");
    grdScenarios_->setFocus();
    WidenToShowColumns(this, *grdScenarios_);
}

void TfrmScenarios::done(int result) {
    if (!SaveBeforeClosing(connector_))
        return;
    QDialog::done(result);
}

} // namespace parvela
