#include "ui/assessments/TAssessmentActions.h"

#include "program/system/RunStop.h"

#include <QHBoxLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

namespace parvela {

TAssessmentActions::TAssessmentActions(QMainWindow* window) {
    actClose = MakeAction(window, "actClose", "Close", "Close");
    actHelp = MakeAction(window, "actHelp", "Help", "Help");
    actHelp->setEnabled(false);
    actEditApplicationSchemes =
        MakeAction(window, "actEditApplicationSchemes", "&Application schemes...");
    actEditSubstances = MakeAction(window, "actEditSubstances", "&Substances...");
    actViewScenarios = MakeAction(window, "actViewScenarios", "S&cenarios...");
    actShowAbout = MakeAction(window, "actShowAbout", "About");
    actReports = MakeAction(window, "actReports", "Assessment report",
                            "Shows report of selected assessment");
    actContinueOnError =
        MakeAction(window, "actContinueOnError", "Continue multiple runs on error");
    Continuemultiplerunsonerror =
        MakeAction(window, "Continuemultiplerunsonerror", "Continue multiple runs on error");
    Continuemultiplerunsonerror->setCheckable(true);
    Continuemultiplerunsonerror->setChecked(false);
    actParallelRuns = MakeAction(window, "actParallelRuns", "Parallel runs...",
                                 "How many assessments run at once");
    actMarkForExecution = MakeAction(window, "actMarkForExecution", "&Mark or unmark for execution",
                                     "Mark or unmark the selected assessments for execution");
    actMarkForExecution->setShortcut(Qt::Key_Space);
    // Only in the grid: elsewhere Space belongs to the focused control.
    actMarkForExecution->setShortcutContext(Qt::WidgetShortcut);
    actMarkAll = MakeAction(window, "actMarkAll", "Mark &all",
                            "Mark every assessment of the project for execution");
    actUnmarkAll =
        MakeAction(window, "actUnmarkAll", "&Unmark all", "Unmark every assessment of the project");
    actReload =
        MakeAction(window, "actReload", "&Reload", "Read the lists again from the database");
    actReload->setShortcut(Qt::Key_F5);
    actRun = MakeAction(window, "actRun", "Calculate", "Calculate selected assessments");
    actStop = MakeAction(window, "actStop", "Stop", "Stop the calculation");
    actProjects = MakeAction(window, "actProjects", "Projects", "Select or edit projects");
    actInputFiles = MakeAction(window, "mnInputFiles", "Input files");
    actSummaryFiles = MakeAction(window, "mnSummaryFiles", "Summary files");
    actErrorFiles = MakeAction(window, "mnErrorFiles", "Error files");
    actProjectSummary = MakeAction(window, "mnProjectSummary", "Project summary");
    actExportProjectSummaryCsv = MakeAction(window, "actExportProjectSummaryCsv", "Export CSV...",
                                            "Export the project summary as CSV");
    actExportReportCsv =
        MakeAction(window, "actExportReportCsv", "Export CSV...",
                   "Export the daily series of both models of the selected assessment as CSV");
    mnUserManual = MakeAction(window, "mnUserManual", "PARVELA User Manual");
    mnWebsite = MakeAction(window, "mnWebsite", "Vantiro website");
    AboutParvela = MakeAction(window, "AboutParvela", "About");
}

QWidget* TAssessmentActions::BuildToolBar(QWidget* parent) const {
    auto* panel = new QWidget(parent);
    panel->setObjectName("Panel1");
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(MakeToolButton(panel, "btnRun", actRun));
    layout->addWidget(MakeToolButton(panel, "btnProjects", actProjects));
    QToolButton* reports = MakeToolButton(panel, "btnReports", actReports);
    auto* reportMenu = new QMenu(reports);
    reportMenu->addAction(actExportReportCsv);
    reports->setMenu(reportMenu);
    reports->setPopupMode(QToolButton::MenuButtonPopup);
    layout->addWidget(reports);
    layout->addWidget(MakeToolButton(panel, "btnClose", actClose));
    QToolButton* help = MakeToolButton(panel, "btnHelp", actHelp);
    help->hide();
    layout->addWidget(help);
    layout->addStretch();
    return panel;
}

namespace {

void SetNavigatorKeys(const TNavigator& navigator, QWidget* browseGroup) {
    navigator.Save->setText("&Save");
    navigator.Save->setShortcut(QKeySequence::Save);
    // The button keeps its short caption.
    navigator.Cancel->setIconText(navigator.Cancel->text());
    navigator.Cancel->setText("&Cancel changes");
    navigator.Cancel->setShortcut(Qt::Key_Escape);
    navigator.Delete->setText("&Delete");
    navigator.Delete->setShortcut(QKeySequence::Delete);
    // Only in the grid and its navigator: in an edit Delete removes a character.
    navigator.Delete->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    browseGroup->addAction(navigator.Delete);
}

} // namespace

void TAssessmentActions::BuildMenus(QMainWindow* window, const TNavigator& navigator,
                                    QWidget* browseGroup) {
    SetNavigatorKeys(navigator, browseGroup);
    QMenu* file = window->menuBar()->addMenu("&File");
    file->addAction(navigator.Save);
    file->addSeparator();
    mnExit = file->addAction("E&xit");
    mnExit->setObjectName("mnExit");
    mnExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    QObject::connect(mnExit, &QAction::triggered, actClose, &QAction::trigger);

    QMenu* edit = window->menuBar()->addMenu("&Edit");
    edit->addAction(actEditSubstances);
    edit->addAction(actEditApplicationSchemes);
    edit->addSeparator();
    edit->addAction(navigator.Cancel);
    edit->addAction(navigator.Delete);
    edit->addSeparator();
    edit->addAction(actMarkForExecution);
    edit->addAction(actMarkAll);
    edit->addAction(actUnmarkAll);

    QMenu* view = window->menuBar()->addMenu("&View");
    view->addAction(actInputFiles);
    view->addAction(actSummaryFiles);
    view->addAction(actErrorFiles);
    view->addAction(actProjectSummary);
    view->addAction(actExportProjectSummaryCsv);
    view->addSeparator();
    view->addAction(actViewScenarios);
    view->addSeparator();
    view->addAction(actReload);

    QMenu* run = window->menuBar()->addMenu("Run");
    run->addAction(Continuemultiplerunsonerror);
    run->addAction(actParallelRuns);

    QMenu* help = window->menuBar()->addMenu("&Help");
    QAction* contents = help->addAction("Contents and Index");
    contents->setVisible(false);
    help->addSeparator();
    help->addAction(mnUserManual);
    help->addAction(mnWebsite);
    help->addSeparator();
    help->addAction(AboutParvela);
}

void TAssessmentActions::EnableForRun(bool usable, bool running) const {
    for (QAction* action :
         {actProjects, actEditSubstances, actEditApplicationSchemes, actViewScenarios,
          actInputFiles, actSummaryFiles, actErrorFiles, actReload})
        action->setEnabled(usable);
    for (QAction* action :
         {actClose, mnExit, actContinueOnError, Continuemultiplerunsonerror, actParallelRuns})
        action->setEnabled(!running);
    actStop->setEnabled(running && !RunStopRequested());
}

void TAssessmentActions::EnableForSelection(bool selected, bool projectShown) const {
    for (QAction* action :
         {actReports, actExportReportCsv, actRun, actMarkForExecution, actMarkAll, actUnmarkAll})
        action->setEnabled(selected);
    actProjectSummary->setEnabled(projectShown);
    actExportProjectSummaryCsv->setEnabled(projectShown);
}

} // namespace parvela
