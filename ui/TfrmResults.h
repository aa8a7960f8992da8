#pragma once
// Shows, on a "Glidar" and a "Mundre" page, the input, summary or error files of one
// assessment's run.

#include <QDialog>

class QPlainTextEdit;
class QTabWidget;

namespace parvela {

class TdciAssessments;

enum class TResultFileKind { Input = 0, Summary = 1, Error = 2 };

class TfrmResults : public QDialog {
    Q_OBJECT
public:
    TfrmResults(const TdciAssessments* assessment, int fileKind, QWidget* parent = nullptr);

    // Fills both views; any file kind but 0, 1 and 2 raises "Unknown filetype.".
    void LoadFiles();
    QPlainTextEdit* Glidar() const { return mmGlidar_; }
    QPlainTextEdit* Mundre() const { return mmMundre_; }
    QTabWidget* Pages() const { return pageControl_; }

    // With no assessment nothing happens; otherwise the window is shown modally.
    static void ShowResults(const TdciAssessments* assessment, TResultFileKind kind,
                            QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    const TdciAssessments* assessment_;
    int fileKind_;
    QTabWidget* pageControl_ = nullptr;
    QPlainTextEdit* mmGlidar_ = nullptr;
    QPlainTextEdit* mmMundre_ = nullptr;
};

} // namespace parvela
