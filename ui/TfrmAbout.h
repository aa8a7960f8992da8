#pragma once
// The About box: program name and version, the versions of the models and the database.

#include <QDialog>

class QLabel;
class QGridLayout;

namespace parvela {

class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* parent = nullptr);
    // Sets the caption and every text; done at each activation.
    void Activate();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* AddPair(QGridLayout* grid, int row, const QString& label, const char* name);
    QLabel* Label1_ = nullptr;
    QLabel* lblVersionGUI_ = nullptr;
    QLabel* lblDate_ = nullptr;
    QLabel* lblDesign1_ = nullptr;
    QLabel* lblDesign2_ = nullptr;
    QLabel* lblVersionDB_ = nullptr;
    QLabel* lblVersionGlidar_ = nullptr;
    QLabel* lblVersionMundre_ = nullptr;
    QLabel* lblVersionQuelp_ = nullptr;
    QLabel* lblBuild_ = nullptr;
};

} // namespace parvela
