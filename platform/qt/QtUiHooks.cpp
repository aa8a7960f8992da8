#include "platform/qt/QtUiHooks.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>

namespace parvela {

TQtUiHooks::~TQtUiHooks() {
    if (&UiHooks() == this)
        SetUiHooks(nullptr);
    if (QCoreApplication::instance())
        while (depth_ > 0)
            EndWaitCursor();
}

void TQtUiHooks::BeginWaitCursor() {
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    ++depth_;
}

void TQtUiHooks::EndWaitCursor() {
    if (depth_ == 0)
        return;
    --depth_;
    QApplication::restoreOverrideCursor();
}

void TQtUiHooks::ProcessPendingEvents() {
    QCoreApplication::processEvents();
}

} // namespace parvela
