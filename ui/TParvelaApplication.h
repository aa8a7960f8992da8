#pragma once
// The Qt application object with the program's general error report: a failure that reaches
// the event loop is shown in an error box with its text, and the program goes on.

#include <QApplication>

#include <exception>

namespace parvela {

class TParvelaApplication : public QApplication {
public:
    TParvelaApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows the failure's text in an error box.
void ReportGeneralError(const std::exception& failure);

} // namespace parvela
