#pragma once
// The run side of the main window: the status text, and in the status bar while "Calculate"
// runs the progress bar with its clock ("Assessment k of n - hh:nn:ss") and the Stop button;
// the run of a project's marked assessments, its stop, the choice of how many assessments run
// at once, and the texts that tell how a run ended.
//
// Rules for callers: one run at a time; Run returns when the run has ended, and the window's
// event processing goes on meanwhile (the model manager's waits), so every handler asks
// Running before it starts anything that edits, writes files or closes the window.

#include "program/runs/TModelManager.h"

#include <QElapsedTimer>
#include <QObject>

#include <functional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMainWindow;
class QProgressBar;
class QTimer;
class QToolButton;
class QWidget;

namespace parvela {

class TdciProjects;

// What a run asks of its window.
struct TRunPanelHooks {
    // Disabled while a run is in progress.
    std::vector<QWidget*> Panels;
    // After the run state changed: the actions follow it.
    std::function<void()> UpdateActions;
    // After a run, also one that could not go on: the grid shows what the run stored.
    std::function<void()> Refresh;
    // After a run in which an assessment failed: the page that shows its error.
    std::function<void()> ShowFailures;
};

class TAssessmentRunPanel : public QObject {
public:
    // The controls go into the window's status bar; `stop` drives the Stop button.
    TAssessmentRunPanel(QMainWindow* window, QAction* stop, TRunPanelHooks hooks);

    bool Running() const { return running_; }
    const std::string& StatusText() const { return statusText_; }
    void ShowStatus(const std::string& text);

    // Runs the project's marked assessments; a failure that ends the run is shown as an error.
    void Run(TdciProjects& project);
    // Stops a run in progress: its model processes are terminated.
    void StopRun();
    void ShowRunProgress(const TModelManager::TRunProgressState& state);
    // Asks how many assessments run at once and keeps the answer for the user.
    void ChooseParallelRuns();

private:
    // The one switch of a run in progress: the panels, the actions and the close request
    // follow it.
    void SetRunning(bool running);
    void ShowRunClock();
    // "Stopped", "Finished" or the warning, and the assessments left to other programs.
    void ShowRunEnd(bool stopped, bool succeeded);

    QWidget* window_;
    TRunPanelHooks hooks_;
    bool running_ = false;
    std::string statusText_;
    QLabel* lblStatus_ = nullptr;
    QProgressBar* pbRun_ = nullptr;
    QToolButton* btnStop_ = nullptr;
    QTimer* runClockTimer_ = nullptr;
    QElapsedTimer runClock_;
    int runStarted_ = 0;
    int runTotal_ = 0;
};

} // namespace parvela
