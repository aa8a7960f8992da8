#include "ui/TfrmInceptions.h"

#include "UnitsFromGenerator/BorrowedList.h"
#include "framework/Format.h"
#include "platform/UiHooks.h"
#include "program/connection/TDatabaseConnection.h"
#include "program/system/DayMonth.h"
#include "ui/QtConvert.h"
#include "ui/TDACGrid.h"
#include "ui/TParvelaApplication.h"
#include "ui/WindowSupport.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace parvela {

namespace {

constexpr int ColumnCount = 5;
constexpr int DescriptionColumn = 1;

QString DayMonth(int day, int month) {
    return QText(Format("%2d - %s", day, MonthAbbreviation(month)));
}

} // namespace

TfrmInceptions::TfrmInceptions(QWidget* parent) : QDialog(parent) {
    setObjectName("frmInceptions");
    setWindowTitle("Interception fraction");
    auto* layout = new QVBoxLayout(this);
    auto* select = new QGroupBox(" Select scenario ", this);
    auto* selectLayout = new QHBoxLayout(select);
    cbxScenarios_ = new QComboBox(select);
    cbxScenarios_->setObjectName("cbxScenarios");
    selectLayout->addWidget(cbxScenarios_, 1);
    layout->addWidget(select);

    grdInterception_ = new QTableWidget(this);
    grdInterception_->setObjectName("grdInterception");
    grdInterception_->setColumnCount(ColumnCount);
    grdInterception_->setRowCount(1);
    grdInterception_->verticalHeader()->hide();
    grdInterception_->verticalHeader()->setDefaultSectionSize(18);
    grdInterception_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdInterception_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QFont fixed("Monospace");
    fixed.setStyleHint(QFont::TypeWriter);
    grdInterception_->setFont(fixed);
    const char* headers[] = {" BBCH", "Description", "Begin date", "End date", "Interception [-]"};
    const int widths[] = {60, 150, 65, 65, 80};
    const QString contents[] = {QText(Format("%8s", "89")),
                                {},
                                DayMonth(31, 12),
                                DayMonth(31, 12),
                                QText(Format("%10.2f", 0.8))};
    for (int column = 0; column < ColumnCount; ++column) {
        grdInterception_->setHorizontalHeaderItem(column, new QTableWidgetItem(headers[column]));
        grdInterception_->setColumnWidth(
            column, ScaledColumnWidth(*grdInterception_, column, widths[column], contents[column]));
    }
    // Every column in view.
    grdInterception_->setMinimumWidth(ColumnsWidth(*grdInterception_));
    grdInterception_->setTabKeyNavigation(false);
    GiveSpareWidthTo(*grdInterception_, DescriptionColumn);
    layout->addWidget(grdInterception_, 1);

    auto* close = new QPushButton("Close", this);
    close->setObjectName("BitBtn1");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(close, 0, Qt::AlignRight);
    connect(cbxScenarios_, &QComboBox::currentIndexChanged, this, [this] {
        try {
            FillGrid();
        } catch (const std::exception& failure) {
            ReportGeneralError(failure);
        }
    });
    WithoutDefaultButtons(this);
    resize(480, 420);
    // A fixed dialog border.
    setSizeGripEnabled(false);
}

TfrmInceptions::~TfrmInceptions() {
    if (scenarios_ && scenarios_->IsOpen())
        CloseQuietly(*scenarios_);
}

void TfrmInceptions::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    try {
        Activate();
    } catch (const std::exception& failure) {
        ReportGeneralError(failure);
    }
}

void TfrmInceptions::Activate() {
    repaint();
    TWaitCursor wait;
    if (scenarios_ && scenarios_->IsOpen())
        CloseQuietly(*scenarios_);
    scenarios_ = std::make_unique<TdcScenarios>();
    scenarios_->Open();
    const QSignalBlocker blocker(cbxScenarios_);
    cbxScenarios_->clear();
    for (scenarios_->First(); !scenarios_->Eof(); scenarios_->Next()) {
        const TdciScenarios& scenario = scenarios_->Item();
        if (scenario.SCENARIOID() > 0)
            cbxScenarios_->addItem(QText(scenario.CAPTION()), scenario.SCENARIOID());
    }
    if (cbxScenarios_->count() > 0)
        cbxScenarios_->setCurrentIndex(0);
    FillGrid();
    WidenToShowColumns(this, *grdInterception_);
}

void TfrmInceptions::WriteRecord(int row, const TDACQuery& query) {
    const QString texts[ColumnCount] = {
        QText(Format("%8s", query.FieldByName("Code").AsString())),
        QText(query.FieldByName("Description").AsString()),
        DayMonth(query.FieldByName("BeginDay").AsInteger(),
                 query.FieldByName("BeginMonth").AsInteger()),
        DayMonth(query.FieldByName("EndDay").AsInteger(),
                 query.FieldByName("EndMonth").AsInteger()),
        QText(Format("%10.2f", query.FieldByName("InterceptionFraction").AsFloat())),
    };
    for (int column = 0; column < ColumnCount; ++column) {
        auto* cell = new QTableWidgetItem(texts[column]);
        // A long stage description is cut in its column; the tip shows it whole.
        cell->setToolTip(texts[column].trimmed());
        grdInterception_->setItem(row, column, cell);
    }
}

void TfrmInceptions::FillGrid() {
    grdInterception_->setRowCount(1);
    for (int column = 0; column < ColumnCount; ++column)
        grdInterception_->setItem(0, column, new QTableWidgetItem());
    // Without a scenario above 0 there is nothing to query.
    if (cbxScenarios_->currentIndex() < 0)
        return;
    const int scenarioID = cbxScenarios_->currentData().toInt();
    auto query = TDatabaseConnection::GetSingleton().Database().OpenQuery(
        " select Interceptions.*, BBCH.* from Interceptions, BBCH where Interceptions.ScenarioID "
        "= " +
        std::to_string(scenarioID) + " and Interceptions.BBCH_ID = BBCH.ID" +
        " order by Interceptions.InterceptionID");
    for (bool first = true; !query->Eof(); query->Next(), first = false) {
        if (!first)
            grdInterception_->setRowCount(grdInterception_->rowCount() + 1);
        WriteRecord(grdInterception_->rowCount() - 1, *query);
    }
    // The stage descriptions whole.
    grdInterception_->resizeColumnToContents(DescriptionColumn);
    GiveSpareWidthTo(*grdInterception_, DescriptionColumn);
}

} // namespace parvela
