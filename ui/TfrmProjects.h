#pragma once
// The projects window: lists, edits, copies and deletes the projects and lets the user choose
// the one whose assessments the main window shows. Created hidden at start, shown modally by
// the main window; "Open" accepts the dialog, "Cancel" rejects it.

#include "UnitsFromGenerator/TdcProjects.h"
#include "ui/TDACGUIConnector.h"
#include "ui/WindowSupport.h"

#include <QDialog>

class QLineEdit;
class QDateTimeEdit;
class QGroupBox;
class QPushButton;

namespace parvela {

class TDACGrid;

class TfrmProjects : public QDialog {
    Q_OBJECT
public:
    explicit TfrmProjects(QWidget* parent = nullptr);
    ~TfrmProjects() override;

    // The ItemID to select when the window is first shown.
    void SetItemIDToSelect(const std::string& itemID) { itemIDToSelect_ = itemID; }
    TdciProjects* SelectedProject() const;
    // Opens the list when needed and starts the grid on that project, or on the first when
    // it is gone.
    void StartWithItemID(const std::string& itemID);
    // Reads the projects again from the database and starts the grid as StartWithItemID.
    void ReadProjects(const std::string& itemID);
    // Whether the window was last closed with "Open".
    bool OpenChosen() const { return result() == QDialog::Accepted; }

    TDACGUIConnector& Connector() { return connector_; }
    TdcProjects& Projects() { return projects_; }
    void UpdateActions();

    void InsertProject();
    void DeleteProject();
    void CopyProject();

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    void ConnectHandlers();
    void InitGrid();
    void PopulateRow(int row, TDACDatabaseClassItem& item);
    void Interchange(bool toItem, TDACDatabaseClassItem* item);
    void ControlChanged();
    void FirstActivation();

    TdcProjects projects_;
    TDACGUIConnector connector_{"item of Projects"};
    std::string itemIDToSelect_;
    TFirstActivation firstActivation_;

    TDACGrid* grdProjects_ = nullptr;
    TNavigator navigator_;
    QGroupBox* gbxEditProjects_ = nullptr;
    QLineEdit* edtProjectsCaption_ = nullptr;
    QLineEdit* edtProjectsDescription_ = nullptr;
    QDateTimeEdit* dtpProjectsCreationDate_ = nullptr;
    QDateTimeEdit* dtpProjectsModificationDate_ = nullptr;
    QLineEdit* edtProjectsComment_ = nullptr;
    QAction* actOpen_ = nullptr;
    QAction* actCancel_ = nullptr;
    QAction* actHelp_ = nullptr;
};

} // namespace parvela
