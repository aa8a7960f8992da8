// The program's entry: refuses a second instance, creates the main window and the projects
// window, and runs the event loop.

#include "TParvelaApplication.h"
#include "TfrmAssessments.h"
#include "TfrmProjects.h"
#include "framework/Singleton.h"
#include "platform/Dialogs.h"
#include "platform/UiHooks.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtUiHooks.h"
#include "platform/qt/SingleInstance.h"
#include "program/ProgramIdentity.h"

#include <QMessageBox>
#include <memory>

int main(int argc, char** argv) {
    using namespace parvela;
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
