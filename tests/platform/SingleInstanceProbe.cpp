// A stand-in for the program in the single-instance tests. Usage:
//   single_instance_probe <title> [--minimized]
// Reports on standard output, one line each:
//   "ready minimized=<0|1> active=<0|1>"        the first instance, its window shown
//   "activated minimized=<0|1> visible=<0|1> active=<0|1>"   after a later start's request
//   "secondary windows=<n>"                     a later start, which then ends with code 3
// The first instance ends with code 0 when it reads "quit" on standard input.

#include "platform/qt/SingleInstance.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <unistd.h>

namespace {

void Report(const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

QString StateOf(const QWidget& window) {
    return QStringLiteral("minimized=%1 visible=%2 active=%3")
        .arg(int(window.isMinimized()))
        .arg(int(window.isVisible()))
        .arg(int(window.isActiveWindow()));
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc < 2)
        return 2;
    const QString title = QString::fromLocal8Bit(argv[1]);
    const bool minimized = argc > 2 && QByteArray(argv[2]) == "--minimized";

    parvela::TSingleInstance instance(title);
    if (!instance.Start()) {
        Report(QStringLiteral("secondary windows=%1").arg(QApplication::topLevelWidgets().size()));
        return 3;
    }

    QWidget mainWindow;
    mainWindow.setWindowTitle(title);
    instance.SetMainWindow(&mainWindow);
    // Another window holds the focus, so that an activation is visible.
    QWidget otherWindow;
    otherWindow.setWindowTitle(QStringLiteral("other"));
    mainWindow.show();
    otherWindow.show();
    otherWindow.activateWindow();
    if (minimized)
        mainWindow.showMinimized();

    QObject::connect(&instance, &parvela::TSingleInstance::ActivationRequested, [&mainWindow] {
        QTimer::singleShot(
            200, [&mainWindow] { Report(QStringLiteral("activated ") + StateOf(mainWindow)); });
    });
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&application, &input] {
        char buffer[64];
        const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (count <= 0 || QByteArray(buffer, int(count)).contains("quit")) {
            input.setEnabled(false);
            application.quit();
        }
    });
    QTimer::singleShot(200,
                       [&mainWindow] { Report(QStringLiteral("ready ") + StateOf(mainWindow)); });
    return application.exec();
}
