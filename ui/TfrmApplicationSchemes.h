#pragma once
// Edits the application schemes and, for the selected scheme, its applications. Every change
// to a scheme's applications first passes doAllowChanges, which asks once per scheme and per
// opening of the window and invalidates the results that the change makes stale.

#include "UnitsFromGenerator/TdcApplicationSchemes.h"
#include "UnitsFromGenerator/TdcApplicationTypes.h"
#include "UnitsFromGenerator/TdcApplications.h"
#include "ui/TDACGUIConnector.h"
#include "ui/WindowSupport.h"

#include <QDialog>

#include <map>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace parvela {

class TDACGrid;
class TDayMonthSelector;

// Whether a change to a scheme's applications may go on (doAllowChanges).
enum class TAllowChanges {
    // The user refused, or no scheme is selected: nothing changes.
    Refused,
    // Allowed without a question: the scheme is used by no assessment with results, or the
    // change was allowed before in this opening; the save asks its own question.
    WithoutQuestion,
    // Allowed after the user confirmed (or while the window is still being filled); the save
    // asks no more.
    Confirmed,
};

class TfrmApplicationSchemes : public QDialog {
    Q_OBJECT
public:
    explicit TfrmApplicationSchemes(QWidget* parent = nullptr);
    ~TfrmApplicationSchemes() override;

    // The assessment from which the window is opened (0 when none) and the scheme to select.
    void SetAssessmentID(int assessmentID) { assessmentID_ = assessmentID; }
    void SetItemIDToSelect(const std::string& itemID) { itemIDToSelect_ = itemID; }

    TAllowChanges doAllowChanges();
    // Invalidates the results that the selected scheme's change affects, without asking.
    void InvalidateResultsOfChange();
    // "0" or "1" for a scheme shown in this opening; empty for others.
    std::string AllowedChangesOf(int schemeID) const;
    void UpdateApplicationParameterControls(int applicationTypeID);

    TDACGUIConnector& SchemesConnector() { return schemesConnector_; }
    TDACGUIConnector& ApplicationsConnector() { return applicationsConnector_; }
    TdciApplicationSchemes* SelectedScheme() const;
    TdciApplications* SelectedApplication() const;
    void UpdateActions();

    void InsertScheme();
    void SaveScheme();
    void DeleteScheme();
    void CopyScheme();
    void InsertApplication();
    void DeleteApplication();
    void SaveApplication();
    void CopyApplication();

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    void ConnectHandlers();
    void FirstActivation();
    void InitSchemesGrid();
    void PopulateSchemeRow(int row, TDACDatabaseClassItem& item);
    void SchemeInterchange(bool toItem, TDACDatabaseClassItem* item);
    void InitApplicationsGrid();
    void PopulateApplicationRow(int row, TDACDatabaseClassItem& item);
    void ApplicationInterchange(bool toItem, TDACDatabaseClassItem* item);
    void ReloadApplications(TdciApplicationSchemes* scheme);
    void ClearApplications();
    void RememberScheme(int schemeID);
    // Every step that shows the applications anew first settles the one still being edited,
    // with the question of a row change; false when the user keeps editing it.
    bool SettleApplication();
    void SchemeTextChanged();
    void TypeChosen();
    void NumberEdited(QLineEdit* edit, const double& (TdciApplications::*value)() const);
    std::string ApplicationTypeCaption(int typeID);
    // The type column shows the longest caption of the application types whole.
    QString LongestTypeCaption();

    TdcApplicationSchemes schemes_;
    TdcApplications applications_;
    TdcApplicationTypes typesForCombo_;
    TdcApplicationTypes typesForGrid_;
    TDACGUIConnector schemesConnector_{"item of ApplicationSchemes"};
    TDACGUIConnector applicationsConnector_{"item of Applications"};
    int assessmentID_ = 0;
    std::string itemIDToSelect_;
    TFirstActivation firstActivation_;
    bool ready_ = false;
    // Scheme ID to "0", or "1" once changes to its applications were allowed.
    std::map<int, std::string> allowedChanges_;

    TDACGrid* grdApplicationSchemes_ = nullptr;
    TDACGrid* grdApplications_ = nullptr;
    TNavigator schemesNavigator_;
    TNavigator applicationsNavigator_;
    QLineEdit* edtApplicationSchemesCaption_ = nullptr;
    QLineEdit* edtApplicationSchemesDescription_ = nullptr;
    QComboBox* cbxApplicationType_ = nullptr;
    TDayMonthSelector* dmsAppDate_ = nullptr;
    QLineEdit* edtApplicationsDosage_ = nullptr;
    QLabel* lblApplicationsApplicationParameter_ = nullptr;
    QLineEdit* edtApplicationsApplicationParameter_ = nullptr;
    QLineEdit* edtApplicationsSprayDriftPerc_ = nullptr;
};

} // namespace parvela
