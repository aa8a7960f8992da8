#include "ui/TParvelaApplication.h"

#include "platform/Dialogs.h"

namespace parvela {

TParvelaApplication::TParvelaApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TParvelaApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& failure) {
        ReportGeneralError(failure);
    }
    return false;
}

void ReportGeneralError(const std::exception& failure) {
    Dialogs().Show(TDialogIcon::Error, failure.what());
}

} // namespace parvela
