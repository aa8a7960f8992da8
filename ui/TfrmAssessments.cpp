#include "TfrmAssessments.h"

#include "TParvelaApplication.h"
#include "program/ProgramIdentity.h"
#include "program/Services.h"

#include <QAction>
#include <QMenuBar>

namespace parvela {

TfrmAssessments::TfrmAssessments(QWidget* parent) : QMainWindow(parent) {
    setObjectName("frmAssessments");
    StartProgramServices();
    QApplication::setApplicationName(QString::fromStdString(ProgramTitle()));
    setWindowTitle(QString::fromStdString(ProgramTitle() + " - Assessments"));
    BuildMenus();
    resize(900, 600);
}

TfrmAssessments::~TfrmAssessments() {
    StopServices();
}

void TfrmAssessments::StartProgramServices() {
    try {
        StartServices();
        servicesStarted_ = true;
    } catch (const std::exception& failure) {
        // The window's own set-up ends at the failing step; the program goes on.
        ReportGeneralError(failure);
    }
}

void TfrmAssessments::BuildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    QAction* close = file->addAction("E&xit");
    close->setObjectName("actClose");
    connect(close, &QAction::triggered, this, &QWidget::close);
}

} // namespace parvela
