#include "platform/qt/QtUiHooks.h"

#include "tests/platform/QtTestApplication.h"

#include <QCursor>
#include <QTimer>
#include <gtest/gtest.h>

namespace parvela {
namespace {

std::optional<Qt::CursorShape> OverrideShape() {
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor ? std::optional(cursor->shape()) : std::nullopt;
}

class QtUiHooksTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::TestApplication();
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }
};

TEST_F(QtUiHooksTest, WaitCursorNestsUntilTheOutermostEnd) {
    TQtUiHooks hooks;
    hooks.BeginWaitCursor();
    hooks.BeginWaitCursor();
    EXPECT_EQ(OverrideShape(), Qt::WaitCursor);
    hooks.EndWaitCursor();
    EXPECT_EQ(OverrideShape(), Qt::WaitCursor);
    hooks.EndWaitCursor();
    EXPECT_EQ(OverrideShape(), std::nullopt);
    EXPECT_EQ(hooks.WaitCursorDepth(), 0);
}

TEST_F(QtUiHooksTest, UnbalancedEndLeavesOtherOverrideCursorsAlone) {
    QApplication::setOverrideCursor(QCursor(Qt::IBeamCursor));
    TQtUiHooks hooks;
    hooks.EndWaitCursor();
    EXPECT_EQ(OverrideShape(), Qt::IBeamCursor);
    hooks.BeginWaitCursor();
    EXPECT_EQ(OverrideShape(), Qt::WaitCursor);
    hooks.EndWaitCursor();
    hooks.EndWaitCursor();
    EXPECT_EQ(OverrideShape(), Qt::IBeamCursor);
    QApplication::restoreOverrideCursor();
}

TEST_F(QtUiHooksTest, InstalledHooksServeTheWaitCursorGuard) {
    {
        TQtUiHooks hooks;
        SetUiHooks(&hooks);
        {
            TWaitCursor outer;
            {
                TWaitCursor inner;
                EXPECT_EQ(hooks.WaitCursorDepth(), 2);
            }
            EXPECT_EQ(OverrideShape(), Qt::WaitCursor);
        }
        EXPECT_EQ(OverrideShape(), std::nullopt);
        // Ending with a wait cursor still shown restores it and uninstalls the hooks.
        UiHooks().BeginWaitCursor();
    }
    EXPECT_EQ(OverrideShape(), std::nullopt);
    UiHooks().BeginWaitCursor(); // the default hooks do nothing
    EXPECT_EQ(OverrideShape(), std::nullopt);
}

TEST_F(QtUiHooksTest, ProcessPendingEventsDeliversQueuedEvents) {
    TQtUiHooks hooks;
    int delivered = 0;
    QTimer::singleShot(0, [&delivered] { ++delivered; });
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&delivered] { ++delivered; }, Qt::QueuedConnection);
    EXPECT_EQ(delivered, 0);
    hooks.ProcessPendingEvents();
    EXPECT_EQ(delivered, 2);
}

} // namespace
} // namespace parvela
