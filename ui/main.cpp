// The program's entry: answers --help and --version, refuses a second instance, creates the
// main window and the projects window, and runs the event loop.

#include "framework/Singleton.h"
#include "platform/Dialogs.h"
#include "platform/UiHooks.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtUiHooks.h"
#include "platform/qt/SingleInstance.h"
#include "program/connection/ProgramIdentity.h"
#include "ui/TParvelaApplication.h"
#include "ui/TfrmAssessments.h"
#include "ui/TfrmProjects.h"

#include <QMessageBox>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

namespace {

constexpr const char* HelpText =
    "Usage: parvela [--help | --version] [Qt options, such as -platform NAME]\n"
    "Exposure assessments of plant-protection substances in paddy rice: opens the assessments\n"
    "of the current project in a window. parvela-batch runs them without one.\n"
    "\n"
    "  --help     this text\n"
    "  --version  the program's version\n"
    "\n"
    "Exit status: 0 when the window was closed (also when a running instance was brought to\n"
    "the front), 1 when there is no display or no private directory of the user's own for\n"
    "the single-instance rule. See parvela(1).\n";

bool IsSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

// Qt ends a program that finds no display with an abort: say what is missing instead.
bool DisplayGiven(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "-platform" || std::string(argv[i]) == "--platform")
            return true;
    return IsSet("QT_QPA_PLATFORM") || IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char** argv) {
    using namespace parvela;
    if (const std::optional<int> answered = AnswerHelpOrVersion(argc, argv, "parvela", HelpText))
        return *answered;
    if (!DisplayGiven(argc, argv)) {
        std::cerr << "parvela: no display to show the window on (neither DISPLAY nor "
                     "WAYLAND_DISPLAY is set); start it on a desktop or under xvfb-run, or use "
                     "parvela-batch\n";
        return 1;
    }
    TParvelaApplication application(argc, argv);
    // The desktop entry parvela.desktop, for the window's icon and grouping on the desktop.
    TParvelaApplication::setDesktopFileName("parvela");
    std::unique_ptr<TSingleInstance> single;
    try {
        single = std::make_unique<TSingleInstance>(QString::fromStdString(ProgramTitle()));
    } catch (const std::exception& failure) {
        // No private directory for the single-instance socket: the reason and its fix.
        QMessageBox::critical(nullptr, QString::fromStdString(ProgramTitle()), failure.what());
        return 1;
    }
    TSingleInstance& instance = *single;
    if (!instance.Start())
        return 0;
    TQtDialogs dialogs;
    TQtUiHooks uiHooks;
    SetDialogs(&dialogs);
    SetUiHooks(&uiHooks);
    int result = 0;
    {
        auto mainWindow = std::make_unique<TfrmAssessments>();
        auto projectsWindow = std::make_unique<TfrmProjects>(mainWindow.get());
        mainWindow->SetProjectsWindow(projectsWindow.get());
        instance.SetMainWindow(mainWindow.get());
        mainWindow->show();
        result = application.exec();
    }
    SingletonCleanup::DestroyAll();
    SetUiHooks(nullptr);
    SetDialogs(nullptr);
    return result;
}
