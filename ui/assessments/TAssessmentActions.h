#pragma once
// The main window's actions, its menus, its tool bar (Panel1) and the rules that enable them.
//
// Rules for callers: every action is a child of the window and keeps the object name that the
// window tests look for. The actions are made first (the check item of the run menu gives the
// model manager its first state); the menus after the browse group, whose navigator keys they
// name. The window connects the actions to its handlers.

#include "ui/WindowSupport.h"

class QAction;
class QMainWindow;
class QWidget;

namespace parvela {

struct TAssessmentActions {
    explicit TAssessmentActions(QMainWindow* window);

    // Panel1 with Calculate, Projects, the report (its export in a drop-down menu), Close and
    // the hidden Help.
    QWidget* BuildToolBar(QWidget* parent) const;
    // The menu bar; Save, Cancel and Delete of the navigator get their keys and their names in
    // the menus, Delete only within `browseGroup` (in an edit it removes a character).
    void BuildMenus(QMainWindow* window, const TNavigator& navigator, QWidget* browseGroup);
    // Without the services (`usable` false) only Close, About and the help entries can work;
    // during a run only Stop, which stays enabled until it was used, About and the help entries.
    void EnableForRun(bool usable, bool running) const;
    // The actions on the selected assessment, and those on the shown project.
    void EnableForSelection(bool selected, bool projectShown) const;

    QAction* actClose = nullptr;
    QAction* mnExit = nullptr;
    QAction* actHelp = nullptr;
    QAction* actEditApplicationSchemes = nullptr;
    QAction* actEditSubstances = nullptr;
    QAction* actViewScenarios = nullptr;
    QAction* actShowAbout = nullptr;
    QAction* actReports = nullptr;
    QAction* actContinueOnError = nullptr;
    // The run menu's check item; actContinueOnError inverts its check.
    QAction* Continuemultiplerunsonerror = nullptr;
    QAction* actParallelRuns = nullptr;
    QAction* actMarkForExecution = nullptr;
    QAction* actMarkAll = nullptr;
    QAction* actUnmarkAll = nullptr;
    QAction* actReload = nullptr;
    QAction* actStop = nullptr;
    QAction* actRun = nullptr;
    QAction* actProjects = nullptr;
    QAction* actInputFiles = nullptr;
    QAction* actSummaryFiles = nullptr;
    QAction* actErrorFiles = nullptr;
    QAction* actProjectSummary = nullptr;
    QAction* actExportProjectSummaryCsv = nullptr;
    QAction* actExportReportCsv = nullptr;
    QAction* mnUserManual = nullptr;
    QAction* mnWebsite = nullptr;
    QAction* AboutParvela = nullptr;
};

} // namespace parvela
