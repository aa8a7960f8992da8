#pragma once
// Shows the crop-interception table of a chosen scenario: growth stages, their date ranges
// and the fraction of a spray that the crop intercepts.

#include "UnitsFromGenerator/TdcScenarios.h"

#include <QDialog>

#include <memory>

class QComboBox;
class QTableWidget;

namespace parvela {

class TDACQuery;

class TfrmInceptions : public QDialog {
    Q_OBJECT
public:
    explicit TfrmInceptions(QWidget* parent = nullptr);
    ~TfrmInceptions() override;

    // Fills the grid for the scenario chosen in the combo box.
    void FillGrid();
    QTableWidget* Grid() const { return grdInterception_; }
    QComboBox* Scenarios() const { return cbxScenarios_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Activate();
    void WriteRecord(int row, const TDACQuery& query);

    std::unique_ptr<TdcScenarios> scenarios_;
    QComboBox* cbxScenarios_ = nullptr;
    QTableWidget* grdInterception_ = nullptr;
};

} // namespace parvela
