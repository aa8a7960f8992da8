#include "platform/qt/QtDialogs.h"

#include "tests/platform/QtTestApplication.h"
#include "tests/platform/TestDirectory.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QTimer>
#include <bit>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace parvela {
namespace {

using Buttons = TDialogButtons;

class QtDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::TestApplication();
        QGuiApplication::setApplicationDisplayName(QStringLiteral("Parvela_2.4.2_CN"));
    }

    // Runs `act` on the modal widget of type T as soon as it is shown. Any dialog still
    // open afterwards (such as a complaint of the dialog itself) fails the test and is
    // closed, so that a test never hangs in a modal loop.
    template <class T> static void WhenModalShown(std::function<void(T&)> act) {
        auto* timer = new QTimer;
        timer->setInterval(10);
        auto acted = std::make_shared<bool>(false);
        auto ticks = std::make_shared<int>(0);
        QObject::connect(timer, &QTimer::timeout, [timer, act, acted, ticks] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!*acted) {
                if (auto* widget = qobject_cast<T*>(modal)) {
                    *acted = true;
                    act(*widget);
                }
                return;
            }
            if (!modal) {
                timer->stop();
                timer->deleteLater();
            } else if (++*ticks > 300) {
                ADD_FAILURE() << "a dialog stayed open: " << modal->metaObject()->className() << " "
                              << DialogText(*modal);
                if (auto* dialog = qobject_cast<QDialog*>(modal))
                    dialog->reject();
                else
                    modal->close();
            }
        });
        timer->start();
    }

    static std::string DialogText(const QWidget& widget) {
        if (auto* box = qobject_cast<const QMessageBox*>(&widget))
            return box->text().toStdString();
        return widget.windowTitle().toStdString();
    }
};

TEST_F(QtDialogsTest, BoxesHaveExactlyTheirButtonsWithTheFirstAsDefault) {
    const struct {
        Buttons buttons;
        QMessageBox::StandardButtons standard;
        QMessageBox::StandardButton defaultButton;
        QMessageBox::StandardButton escapeButton;
    } cases[] = {
        {Buttons::Ok, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok},
        {Buttons::YesNo, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, QMessageBox::No},
        {Buttons::YesNoCancel, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
         QMessageBox::Yes, QMessageBox::Cancel},
        {Buttons::YesCancel, QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Yes,
         QMessageBox::Cancel},
        {Buttons::OkCancel, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok,
         QMessageBox::Cancel},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ButtonsName(c.buttons));
        const auto box = BuildMessageBox(TMessageBox{TDialogIcon::Question, c.buttons, "", "Q"});
        EXPECT_EQ(box->standardButtons(), c.standard);
        EXPECT_EQ(box->buttons().size(), qsizetype(std::popcount(unsigned(c.standard.toInt()))));
        EXPECT_EQ(box->defaultButton(), box->button(c.defaultButton));
        EXPECT_EQ(box->escapeButton(), box->button(c.escapeButton));
    }
}

TEST_F(QtDialogsTest, IconsFollowTheKindOfBox) {
    const std::pair<TDialogIcon, QMessageBox::Icon> cases[] = {
        {TDialogIcon::None, QMessageBox::NoIcon},
        {TDialogIcon::Question, QMessageBox::Question},
        {TDialogIcon::Warning, QMessageBox::Warning},
        {TDialogIcon::Error, QMessageBox::Critical},
        {TDialogIcon::Information, QMessageBox::Information},
    };
    for (const auto& [icon, expected] : cases) {
        SCOPED_TRACE(int(icon));
        const auto box = BuildMessageBox(TMessageBox{icon, Buttons::Ok, "", "text"});
        EXPECT_EQ(box->icon(), expected);
    }
}

TEST_F(QtDialogsTest, CaptionDefaultsToTheApplicationTitle) {
    EXPECT_EQ(BuildMessageBox(TMessageBox{TDialogIcon::None, Buttons::Ok, "", "x"})->windowTitle(),
              QStringLiteral("Parvela_2.4.2_CN"));
    EXPECT_EQ(
        BuildMessageBox(TMessageBox{TDialogIcon::Error, Buttons::Ok, "Error", "x"})->windowTitle(),
        QStringLiteral("Error"));
}

// A window manager cuts a title that is wider than its window: a short message ("Finished")
// still gets a box that shows its title whole beside the title bar's buttons.
TEST_F(QtDialogsTest, ABoxIsWideEnoughForItsTitle) {
    for (const char* caption : {"", "Parvela_2.4.2_CN - a longer caption of some box"}) {
        SCOPED_TRACE(caption);
        const auto box =
            BuildMessageBox(TMessageBox{TDialogIcon::Information, Buttons::Ok, caption, "OK"});
        box->show();
        QApplication::processEvents();
        QFont titleFont = box->font();
        titleFont.setBold(true);
        const QFontMetrics metrics(titleFont);
        EXPECT_GE(box->width(),
                  metrics.horizontalAdvance(box->windowTitle()) + 3 * metrics.height());
        box->hide();
    }
}

TEST_F(QtDialogsTest, TextIsPlainWithCarriageReturnsAsLineBreaks) {
    const auto box = BuildMessageBox(
        TMessageBox{TDialogIcon::Error, Buttons::Ok, "",
                    "Could not connect to database.\rPlease verify.\r\r(ErrorMessage = <no value "
                    "given>, ErrorClass = EDatabaseError)\r\nend"});
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->text(), QStringLiteral("Could not connect to database.\nPlease verify.\n\n"
                                          "(ErrorMessage = <no value given>, ErrorClass = "
                                          "EDatabaseError)\nend"));
}

TEST_F(QtDialogsTest, ShownBoxAnswersWithThePressedButton) {
    const struct {
        Buttons buttons;
        QMessageBox::StandardButton press;
        TDialogAnswer expected;
    } cases[] = {
        {Buttons::YesNo, QMessageBox::No, TDialogAnswer::No},
        {Buttons::YesNoCancel, QMessageBox::Cancel, TDialogAnswer::Cancel},
        {Buttons::YesCancel, QMessageBox::Yes, TDialogAnswer::Yes},
        {Buttons::OkCancel, QMessageBox::Ok, TDialogAnswer::Ok},
        {Buttons::Ok, QMessageBox::Ok, TDialogAnswer::Ok},
    };
    TQtDialogs dialogs;
    for (const auto& c : cases) {
        SCOPED_TRACE(ButtonsName(c.buttons));
        QString shownText;
        WhenModalShown<QMessageBox>([&shownText, press = c.press](QMessageBox& box) {
            shownText = box.text();
            box.button(press)->click();
        });
        EXPECT_EQ(dialogs.Ask("Save the item ?", c.buttons), c.expected);
        EXPECT_EQ(shownText, QStringLiteral("Save the item ?"));
    }
}

TEST_F(QtDialogsTest, ClosingABoxWithoutAButtonGivesItsEscapeAnswer) {
    const std::pair<Buttons, TDialogAnswer> cases[] = {
        {Buttons::YesNo, TDialogAnswer::No},
        {Buttons::YesNoCancel, TDialogAnswer::Cancel},
        {Buttons::OkCancel, TDialogAnswer::Cancel},
        {Buttons::Ok, TDialogAnswer::Ok},
    };
    TQtDialogs dialogs;
    for (const auto& [buttons, expected] : cases) {
        SCOPED_TRACE(ButtonsName(buttons));
        WhenModalShown<QMessageBox>([](QMessageBox& box) { box.close(); });
        EXPECT_EQ(dialogs.Ask("Q", buttons), expected);
    }
}

TEST_F(QtDialogsTest, InstalledQtDialogsServeTheProgramAndUninstallThemselves) {
    IDialogs* standard = &Dialogs();
    {
        TQtDialogs dialogs;
        SetDialogs(&dialogs);
        QString shown;
        WhenModalShown<QMessageBox>([&shown](QMessageBox& box) {
            shown = box.windowTitle() + QLatin1Char('|') + box.text();
            box.button(QMessageBox::Ok)->click();
        });
        Dialogs().Show(TDialogIcon::None, "Results of next assessments are invalid");
        EXPECT_EQ(shown,
                  QStringLiteral("Parvela_2.4.2_CN|Results of next assessments are invalid"));
    }
    EXPECT_EQ(&Dialogs(), standard);
}

TEST_F(QtDialogsTest, FileFiltersBecomeQtNameFilters) {
    const struct {
        const char* filter;
        QStringList expected;
    } cases[] = {
        {"DLL files (*.dll)|*.DLL|All files (*.*)|*.*",
         {"DLL files (*.dll) (*.DLL)", "All files (*.*) (*)"}},
        {"Libraries|*.so;*.so.*", {"Libraries (*.so *.so.*)"}},
        {"Text files|*.txt; *.csv|", {"Text files (*.txt *.csv)"}},
        {"", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filter);
        EXPECT_EQ(ConvertFileFilter(c.filter), c.expected);
    }
}

TEST_F(QtDialogsTest, OpenFileDialogIsBuiltFromTheRequest) {
    test::TTestDirectory dir;
    const auto dialog = BuildOpenFileDialog(TOpenFileRequest{
        "DLL files (*.dll)|*.DLL|All files (*.*)|*.*", "Locate the plug-in", dir.Path().string()});
    EXPECT_EQ(dialog->nameFilters(),
              (QStringList{"DLL files (*.dll) (*.DLL)", "All files (*.*) (*)"}));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Locate the plug-in"));
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(QFileInfo(dialog->directory().absolutePath()).canonicalFilePath(),
              QFileInfo(QString::fromStdString(dir.Path().string())).canonicalFilePath());
}

TEST_F(QtDialogsTest, ASaveRequestBuildsASaveDialogWithTheSuggestedName) {
    test::TTestDirectory dir;
    TOpenFileRequest request{"CSV files (*.csv)|*.csv", "Export CSV", dir.Path().string()};
    request.Save = true;
    request.FileName = "Project summary - Rice.csv";
    const auto dialog = BuildOpenFileDialog(request);
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog->fileMode(), QFileDialog::AnyFile);
    ASSERT_EQ(dialog->selectedFiles().size(), 1);
    EXPECT_EQ(QFileInfo(dialog->selectedFiles().front()).fileName(),
              QStringLiteral("Project summary - Rice.csv"));
}

TEST_F(QtDialogsTest, OpenFileReturnsTheChosenFileOrNothing) {
    test::TTestDirectory dir;
    const std::string library = dir / "libdaxo.so";
    test::WriteText(library, "not really a library");
    TQtDialogs dialogs;
    const TOpenFileRequest request{"All files (*.*)|*.*", "", dir.Path().string()};

    WhenModalShown<QFileDialog>([&dir](QFileDialog& dialog) {
        dialog.setDirectory(QString::fromStdString(dir.Path().string()));
        // selectFile leaves the name edit alone while it has the focus.
        if (QWidget* focus = dialog.focusWidget())
            focus->clearFocus();
        dialog.selectFile(QStringLiteral("libdaxo.so"));
        static_cast<QDialog&>(dialog).accept(); // public there, virtual
    });
    const std::optional<std::string> chosen = dialogs.OpenFile(request);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(std::filesystem::canonical(*chosen), std::filesystem::canonical(library));

    WhenModalShown<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(dialogs.OpenFile(request), std::nullopt);
}

} // namespace
} // namespace parvela
