#include "ui/assessments/TAssessmentBrowsePanel.h"

#include "ui/TDACGrid.h"
#include "ui/assessments/TAssessmentEditPanel.h"

#include <QAbstractItemView>
#include <QColor>
#include <QItemSelectionModel>
#include <QVBoxLayout>

#include <algorithm>

namespace parvela {

namespace {

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

} // namespace

TAssessmentBrowsePanel::TAssessmentBrowsePanel(QWidget* parent, QAction* markForExecution)
    : QGroupBox(" Browse Assessments ", parent) {
    setObjectName("gbxBrowseAssessments");
    auto* layout = new QVBoxLayout(this);
    grdAssessments_ = new TDACGrid(this);
    grdAssessments_->setObjectName("grdAssessments");
    grdAssessments_->setToolTip("Double click to select for execution");
    // Several rows can be marked at once.
    grdAssessments_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grdAssessments_->addAction(markForExecution);
    layout->addWidget(grdAssessments_);
    navigator_ = BuildNavigator(this, "Assessments");
    layout->addWidget(navigator_.Panel);
}

void TAssessmentBrowsePanel::InitGrid() {
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

void TAssessmentBrowsePanel::PopulateRow(int row, const TdciAssessments& assessment) {
    TDACGrid& grid = *grdAssessments_;
    grid.SetCell(1, row, assessment.SELECTEDFOREXECUTION() ? "Yes" : "");
    grid.SetCell(2, row, assessment.ItemID());
    grid.SetCell(3, row, assessment.CAPTION());
    grid.SetCell(4, row, assessment.DESCRIPTION());
    grid.SetCell(5, row, names_->ScenarioCaption(assessment.SCENARIOID()));
    grid.SetCell(6, row, names_->SubstanceCode(assessment.SUBSTANCEGUID()));
    grid.SetCell(7, row, names_->SchemeCaption(assessment.APPLICATIONSCHEMEID()));
    grid.SetCell(8, row, DateTimeText(assessment.CREATIONDATE()));
    grid.SetCell(9, row, DateTimeText(assessment.MODIFICATIONDATE()));
    const std::string verdict = VerdictText(assessment);
    grid.SetCell(VerdictColumn, row, verdict);
    grid.SetCellBackground(VerdictColumn, row, VerdictColour(verdict));
}

std::vector<TdciAssessments*>
TAssessmentBrowsePanel::SelectedAssessments(const TDACGUIConnector& connector,
                                            TdciAssessments* current) const {
    std::vector<TdciAssessments*> selected;
    if (!current)
        return selected;
    for (const QModelIndex& index : grdAssessments_->selectionModel()->selectedRows())
        if (TDACDatabaseClassItem* item = connector.ObjectFromRowIndex(index.row() + 1))
            selected.push_back(static_cast<TdciAssessments*>(item));
    if (std::find(selected.begin(), selected.end(), current) == selected.end())
        selected.push_back(current);
    return selected;
}

void TAssessmentBrowsePanel::ShowMarks(TDACGUIConnector& connector,
                                       const std::string& currentItemID) {
    for (int row = 1; row < grdAssessments_->RowCount(); ++row)
        if (TDACDatabaseClassItem* item = connector.ObjectFromRowIndex(row))
            PopulateRow(row, static_cast<TdciAssessments&>(*item));
    const QItemSelection selection = grdAssessments_->selectionModel()->selection();
    connector.SelectRowFromItemID(currentItemID);
    grdAssessments_->selectionModel()->select(selection, QItemSelectionModel::Select);
}

} // namespace parvela
