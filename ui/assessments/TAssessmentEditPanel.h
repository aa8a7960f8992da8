#pragma once
// GroupBox1, " Edit Assessments " of the main window: the edit controls of the selected
// assessment on the pages "Assessment" and "Status", the scenario, scheme and substance lists
// that fill its drop-down lists and name them in the grid, and the handlers that carry a
// change of a control into the assessment.
//
// Rules for callers: the lists exist from CreateLists (the services have started) and must be
// released with ReleaseLists before the services stop. A change reaches the assessment only
// while the connector given to SetConnector is active.

#include "UnitsFromGenerator/TdcApplicationSchemes.h"
#include "UnitsFromGenerator/TdcAssessments.h"
#include "UnitsFromGenerator/TdcScenarios.h"
#include "program/plugin/DAXOTextList.h"
#include "ui/TDACGUIConnector.h"

#include <QGroupBox>

#include <functional>
#include <memory>
#include <string>

class QAction;
class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLineEdit;
class QPlainTextEdit;
class QTabWidget;

namespace parvela {

class TAssessmentEditPanel : public QGroupBox {
public:
    // The actions drive the "..." buttons beside the scenario, the substance and the scheme.
    TAssessmentEditPanel(QWidget* parent, QAction* viewScenarios, QAction* editSubstances,
                         QAction* editSchemes);

    void CreateLists();
    void ReleaseLists();
    // `afterChange` runs after every change that the connector was told of.
    void SetConnector(TDACGUIConnector* connector, std::function<void()> afterChange);

    // The substance list from the plug-in, with the attributes of each substance.
    void ReadSubstances();
    void FillComboBoxes();
    void FillSchemeComboBox();
    void FillSubstanceComboBox();

    // The connector's exchange: into the assessment, or from it (none: empty, disabled).
    void Interchange(bool toItem, TdciAssessments* assessment);
    // Selects the assessment's scheme again, enabled when the assessment can be edited.
    void ShowScheme(TdciAssessments& assessment);
    // The "SubstanceGUID" of the chosen substance; empty when none is chosen.
    std::string ChosenSubstanceGUID() const;

    // The names in the grid's columns; empty when there is none.
    std::string ScenarioCaption(int scenarioID) const;
    std::string SchemeCaption(int schemeID) const;
    std::string SubstanceCode(const std::string& guid) const;

    void ShowAssessmentPage();
    void ShowStatusPage();
    // A new assessment is edited from its caption.
    void StartWithCaption();

private:
    QWidget* BuildAssessmentPage(QAction* viewScenarios, QAction* editSubstances,
                                 QAction* editSchemes);
    QWidget* BuildStatusPage();
    void ConnectHandlers();
    void ShowItem(TdciAssessments& assessment);
    void TakeInto(TdciAssessments& assessment);
    void ClearControls();
    void ControlChanged();
    // The chosen scenario or scheme goes into the assessment through `set`.
    void KeyChosen(QComboBox* box, const std::function<void(TdciAssessments&, int)>& set);
    void SubstanceChosen();
    // The connector's selected assessment while it is active; none otherwise.
    TdciAssessments* EditedAssessment() const;
    int SubstanceIndexOf(const std::string& guid) const;

    TDACGUIConnector* connector_ = nullptr;
    std::function<void()> afterChange_;
    std::unique_ptr<TdcScenarios> scenarios_;
    std::unique_ptr<TdcApplicationSchemes> schemes_;
    std::unique_ptr<TDAXOGUIDList> substances_;
    QString shownErrorMessage_;

    QTabWidget* PageControl1_ = nullptr;
    QLineEdit* edtAssessmentsCaption_ = nullptr;
    QLineEdit* edtAssessmentsDescription_ = nullptr;
    QComboBox* cbxScenarios_ = nullptr;
    QComboBox* cbxAssessmentsSubstanceCode_ = nullptr;
    QComboBox* cbxApplicationSchemes_ = nullptr;
    QCheckBox* chxAssessmentsSelectedForExecution_ = nullptr;
    QPlainTextEdit* mmErrorMessage_ = nullptr;
    QDateTimeEdit* dtpAssessmentsCreationDate_ = nullptr;
    QDateTimeEdit* dtpAssessmentsModificationDate_ = nullptr;
    QCheckBox* chxAssessmentHasValidResults_ = nullptr;
    QLineEdit* edtAssessmentsSelectedForExecution_ = nullptr;
};

} // namespace parvela
