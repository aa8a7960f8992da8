#include "ui/assessments/TAssessmentRunPanel.h"

#include "UnitsFromGenerator/TdcProjects.h"
#include "framework/Format.h"
#include "platform/UiHooks.h"
#include "program/system/Messages.h"
#include "program/system/RunStop.h"
#include "ui/QtConvert.h"
#include "ui/WindowSupport.h"

#include <QInputDialog>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <exception>
#include <utility>

namespace parvela {

namespace {

constexpr int MaxParallelRuns = 64;

// "Finished: 24 valid, 1 not valid": how the marked assessments of a run ended, counted by
// their verdicts; a verdict that no assessment had is left out.
std::string RunOutcomeText(const std::string& heading, const std::vector<TRunOutcome>& outcomes) {
    static constexpr std::pair<TRunVerdict, const char*> Names[] = {
        {TRunVerdict::Valid, "valid"},
        {TRunVerdict::NotValid, "not valid"},
        {TRunVerdict::Stopped, "stopped"},
        {TRunVerdict::NotRun, "not run"},
        {TRunVerdict::Claimed, "run by another program"}};
    std::string text = heading;
    const char* separator = ": ";
    for (const auto& [verdict, name] : Names) {
        const auto count =
            std::count_if(outcomes.begin(), outcomes.end(),
                          [&](const TRunOutcome& o) { return o.Verdict == verdict; });
        if (count == 0)
            continue;
        text += Format("%s%d %s", separator, static_cast<int>(count), name);
        separator = ", ";
    }
    return text;
}

} // namespace

TAssessmentRunPanel::TAssessmentRunPanel(QMainWindow* window, QAction* stop, TRunPanelHooks hooks)
    : QObject(window), window_(window), hooks_(std::move(hooks)) {
    lblStatus_ = new QLabel(window);
    lblStatus_->setObjectName("lblStatus");
    window->statusBar()->addWidget(lblStatus_, 1);
    pbRun_ = new QProgressBar(window);
    pbRun_->setObjectName("pbRun");
    pbRun_->setMinimumWidth(260);
    pbRun_->hide();
    window->statusBar()->addPermanentWidget(pbRun_);
    btnStop_ = MakeToolButton(window, "btnStop", stop);
    btnStop_->hide();
    window->statusBar()->addPermanentWidget(btnStop_);
    runClockTimer_ = new QTimer(window);
    runClockTimer_->setInterval(1000);
    connect(runClockTimer_, &QTimer::timeout, this, [this] { ShowRunClock(); });
}

void TAssessmentRunPanel::ShowStatus(const std::string& text) {
    statusText_ = text;
    lblStatus_->setText(QText(text));
    lblStatus_->repaint();
}

void TAssessmentRunPanel::Run(TdciProjects& project) {
    ResetRunStop();
    SetRunning(true);
    bool succeeded = false;
    std::exception_ptr failure;
    try {
        TWaitCursor wait;
        succeeded = TModelManager::GetSingleton().RunProject(&project);
    } catch (...) {
        failure = std::current_exception();
    }
    const bool stopped = RunStopRequested();
    ResetRunStop();
    SetRunning(false);
    ShowStatus("");
    hooks_.Refresh();
    if (failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const std::exception& error) {
            ShowError(std::string("The run could not go on: ") + error.what());
        }
        return;
    }
    ShowRunEnd(stopped, succeeded);
}

void TAssessmentRunPanel::SetRunning(bool running) {
    running_ = running;
    // The menus stay: their entries follow the actions.
    for (QWidget* panel : hooks_.Panels)
        panel->setEnabled(!running);
    pbRun_->setVisible(running);
    btnStop_->setVisible(running);
    if (running) {
        runStarted_ = 0;
        runTotal_ = 0;
        pbRun_->setRange(0, 1);
        pbRun_->setValue(0);
        runClock_.start();
        runClockTimer_->start();
        ShowRunClock();
    } else {
        runClockTimer_->stop();
    }
    hooks_.UpdateActions();
}

void TAssessmentRunPanel::ShowRunProgress(const TModelManager::TRunProgressState& state) {
    runStarted_ = state.Started;
    runTotal_ = state.Total;
    pbRun_->setRange(0, std::max(state.Total, 1));
    pbRun_->setValue(state.Finished);
    ShowRunClock();
    if (RunStopRequested())
        return;
    // A model is named only while it runs.
    if (state.Running.empty()) {
        ShowStatus("");
        return;
    }
    std::string text;
    for (const TModelManager::TRunningModel& running : state.Running)
        text += (text.empty() ? "" : "; ") +
                Format("Calculating assessment %s: running %s", running.Assessment, running.Model);
    ShowStatus(text);
}

void TAssessmentRunPanel::ShowRunClock() {
    const qint64 seconds = runClock_.isValid() ? runClock_.elapsed() / 1000 : 0;
    pbRun_->setFormat(
        QText(Format("Assessment %d of %d - %.2d:%.2d:%.2d", runStarted_, runTotal_,
                     static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                     static_cast<int>(seconds % 60))));
    pbRun_->repaint();
}

void TAssessmentRunPanel::StopRun() {
    if (!running_)
        return;
    RequestRunStop();
    ShowStatus("Stopping the calculation...");
    hooks_.UpdateActions();
}

void TAssessmentRunPanel::ShowRunEnd(bool stopped, bool succeeded) {
    const std::vector<TRunOutcome>& outcomes = TModelManager::GetSingleton().RunOutcomes();
    ShowStatus(RunOutcomeText(stopped ? "Stopped" : "Finished", outcomes));
    const bool failed = std::any_of(outcomes.begin(), outcomes.end(), [](const TRunOutcome& o) {
        return o.Verdict == TRunVerdict::NotValid || o.Verdict == TRunVerdict::Stopped;
    });
    if (stopped) {
        ShowInformation("Stopped");
    } else if (succeeded || !failed) {
        ShowInformation("Finished");
    } else {
        ShowWarning("Finished but one or more assessments caused an error.");
        hooks_.ShowFailures();
    }
    std::string leftAlone;
    for (const TRunOutcome& outcome : outcomes)
        if (outcome.Verdict == TRunVerdict::Claimed)
            leftAlone += "\n" + outcome.Caption + ": " + outcome.Message;
    if (!leftAlone.empty())
        ShowInformation("Another program runs these assessments; they were left alone:" +
                        leftAlone);
}

void TAssessmentRunPanel::ChooseParallelRuns() {
    TModelManager& manager = TModelManager::GetSingleton();
    bool chosen = false;
    const int jobs = QInputDialog::getInt(
        window_, "Parallel runs",
        "Assessments that run at once (1: one after the other; 0: one per core):", manager.Jobs(),
        0, MaxParallelRuns, 1, &chosen);
    if (!chosen)
        return;
    TModelManager::StoreParallelRuns(jobs);
    manager.SetJobs(jobs);
}

} // namespace parvela
