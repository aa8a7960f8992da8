#pragma once
// gbxBrowseAssessments, " Browse Assessments " of the main window: the grid of the project's
// assessments with its columns (the names of scenario, substance and scheme, and the verdict
// of the stored results) and the navigator below it.
//
// Rules for callers: the window's connector drives the grid through InitGrid and PopulateRow;
// the names come from the edit panel given to NameFrom, which must be given before the
// connector starts.

#include "UnitsFromGenerator/TdcAssessments.h"
#include "ui/TDACGUIConnector.h"
#include "ui/WindowSupport.h"

#include <QGroupBox>

#include <string>
#include <vector>

class QAction;

namespace parvela {

class TAssessmentEditPanel;
class TDACGrid;

class TAssessmentBrowsePanel : public QGroupBox {
public:
    // `markForExecution` takes its key (Space) in the grid only.
    TAssessmentBrowsePanel(QWidget* parent, QAction* markForExecution);

    void NameFrom(const TAssessmentEditPanel* names) { names_ = names; }
    TDACGrid& Grid() const { return *grdAssessments_; }
    const TNavigator& Navigator() const { return navigator_; }

    void InitGrid();
    void PopulateRow(int row, const TdciAssessments& assessment);
    // The assessments of the selected rows, with `current` among them (none without it).
    std::vector<TdciAssessments*> SelectedAssessments(const TDACGUIConnector& connector,
                                                      TdciAssessments* current) const;
    // After marks were saved: every row shows its assessment again, the controls show the
    // current one, and the rows stay selected for the next key.
    void ShowMarks(TDACGUIConnector& connector, const std::string& currentItemID);

private:
    const TAssessmentEditPanel* names_ = nullptr;
    TDACGrid* grdAssessments_ = nullptr;
    TNavigator navigator_;
};

} // namespace parvela
