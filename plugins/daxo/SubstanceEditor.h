#pragma once
// The stand-in's substance editor: list, add, copy and delete substances, edit their
// attributes and their metabolites, then save all at once or cancel.

#include "plugins/daxo/SubstanceData.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QTableWidget;

namespace daxo {

class SubstanceEditor : public QDialog {
    Q_OBJECT
public:
    SubstanceEditor(SubstanceCollection collection, const std::string& selectedGuid,
                    QWidget* parent = nullptr);

    // The substances with the edits made so far.
    const SubstanceCollection& Collection();
    // Why the collection cannot be saved, or empty when it can.
    std::string ValidationProblem();

    void AddSubstance();
    void CopySubstance();
    void DeleteSubstance();
    void AddAttribute();
    void RemoveAttribute();
    void AddMetabolite();
    void RemoveMetabolite();
    void SelectSubstance(int row);
    int SelectedRow() const { return current_; }

    QListWidget* SubstanceList() const { return substances_; }
    QTableWidget* AttributeTable() const { return attributes_; }
    QTableWidget* MetaboliteTable() const { return metabolites_; }

signals:
    // Emitted by the Save button when the collection is valid; the dialog closes when the
    // receiver has stored it.
    void SaveRequested();

private:
    void BuildLayout();
    void FillSubstanceList();
    void ShowSubstance(int row);
    void CommitShownSubstance();
    void AddAttributeRow(const Attribute& attribute);
    void AddMetaboliteRow(const MetaboliteLink& link);
    QString ListCaption(const Substance& substance) const;
    void TrySave();

    SubstanceCollection collection_;
    int current_ = -1;
    QListWidget* substances_ = nullptr;
    QLineEdit* guid_ = nullptr;
    QCheckBox* isMetabolite_ = nullptr;
    QTableWidget* attributes_ = nullptr;
    QTableWidget* metabolites_ = nullptr;
};

} // namespace daxo
