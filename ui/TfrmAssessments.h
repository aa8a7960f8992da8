#pragma once
// The main window. Its creation starts the program's services and its destruction stops
// them; closing it ends the program.

#include <QMainWindow>

namespace parvela {

class TfrmAssessments : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmAssessments(QWidget* parent = nullptr);
    ~TfrmAssessments() override;

    // Whether every service started; a failed step was reported and the window goes on.
    bool ServicesStarted() const { return servicesStarted_; }

private:
    void StartProgramServices();
    void BuildMenus();

    bool servicesStarted_ = false;
};

} // namespace parvela
