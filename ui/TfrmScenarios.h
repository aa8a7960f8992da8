#pragma once
// Browses the delivered scenarios with their caption and description; nothing is edited.

#include "UnitsFromGenerator/TdcScenarios.h"
#include "ui/TDACGUIConnector.h"
#include "ui/WindowSupport.h"

#include <QDialog>

class QGroupBox;
class QLineEdit;

namespace parvela {

class TDACGrid;

class TfrmScenarios : public QDialog {
    Q_OBJECT
public:
    explicit TfrmScenarios(QWidget* parent = nullptr);
    ~TfrmScenarios() override;

    TDACGUIConnector& Connector() { return connector_; }
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void InitGrid();
    void PopulateRow(int row, TDACDatabaseClassItem& item);
    void Interchange(bool toItem, TDACDatabaseClassItem* item);
    void FirstActivation();

    TdcScenarios scenarios_;
    TDACGUIConnector connector_{"item of Scenarios"};
    TFirstActivation firstActivation_;
    TDACGrid* grdScenarios_ = nullptr;
    TNavigator navigator_;
    QGroupBox* gbxEditScenarios_ = nullptr;
    QLineEdit* edtScenariosCaption_ = nullptr;
    QLineEdit* edtScenariosDescription_ = nullptr;
};

} // namespace parvela
