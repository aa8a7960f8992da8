#include "platform/qt/QtDialogs.h"

#include <QApplication>
#include <QGridLayout>
#include <QGuiApplication>
#include <QSpacerItem>
#include <QStringList>
#include <vector>

namespace parvela {

namespace {

QMessageBox::Icon QtIcon(TDialogIcon icon) {
    switch (icon) {
    case TDialogIcon::None:
        return QMessageBox::NoIcon;
    case TDialogIcon::Question:
        return QMessageBox::Question;
    case TDialogIcon::Warning:
        return QMessageBox::Warning;
    case TDialogIcon::Error:
        return QMessageBox::Critical;
    case TDialogIcon::Information:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton QtButton(TDialogAnswer answer) {
    switch (answer) {
    case TDialogAnswer::Yes:
        return QMessageBox::Yes;
    case TDialogAnswer::No:
        return QMessageBox::No;
    case TDialogAnswer::Ok:
        return QMessageBox::Ok;
    case TDialogAnswer::Cancel:
        return QMessageBox::Cancel;
    }
    return QMessageBox::NoButton;
}

// In the order they appear; the first is the default.
std::vector<TDialogAnswer> AnswersOf(TDialogButtons buttons) {
    using A = TDialogAnswer;
    switch (buttons) {
    case TDialogButtons::Ok:
        return {A::Ok};
    case TDialogButtons::YesNo:
        return {A::Yes, A::No};
    case TDialogButtons::YesNoCancel:
        return {A::Yes, A::No, A::Cancel};
    case TDialogButtons::YesCancel:
        return {A::Yes, A::Cancel};
    case TDialogButtons::OkCancel:
        return {A::Ok, A::Cancel};
    }
    return {A::Ok};
}

// The answer of closing the box without pressing a button.
TDialogAnswer EscapeAnswer(TDialogButtons buttons) {
    if (Offers(buttons, TDialogAnswer::Cancel))
        return TDialogAnswer::Cancel;
    if (Offers(buttons, TDialogAnswer::No))
        return TDialogAnswer::No;
    return TDialogAnswer::Ok;
}

QString WithLineFeeds(const std::string& text) {
    QString result = QString::fromStdString(text);
    result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

QString CaptionOf(const std::string& caption) {
    return caption.empty() ? QGuiApplication::applicationDisplayName()
                           : QString::fromStdString(caption);
}

// A window manager cuts a title that is wider than its window, and a short message makes a
// narrow box: it gets room for its title (in the usual bold title font) beside the title bar's
// buttons. Called when the box is built: a later change of its contents rebuilds its layout.
void MakeRoomForTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const QFontMetrics metrics(titleFont);
    const int width = metrics.horizontalAdvance(box.windowTitle()) + 6 * metrics.height();
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

// "*.*" means every file, also those without an extension.
QString QtPattern(const QString& pattern) {
    return pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern;
}

} // namespace

std::unique_ptr<QMessageBox> BuildMessageBox(const TMessageBox& box, QWidget* parent) {
    auto messageBox = std::make_unique<QMessageBox>(parent);
    messageBox->setIcon(QtIcon(box.Icon));
    messageBox->setWindowTitle(CaptionOf(box.Caption));
    messageBox->setTextFormat(Qt::PlainText);
    messageBox->setText(WithLineFeeds(box.Text));
    QMessageBox::StandardButtons buttons;
    for (const TDialogAnswer answer : AnswersOf(box.Buttons))
        buttons |= QtButton(answer);
    messageBox->setStandardButtons(buttons);
    messageBox->setDefaultButton(QtButton(AnswersOf(box.Buttons).front()));
    messageBox->setEscapeButton(QtButton(EscapeAnswer(box.Buttons)));
    MakeRoomForTitle(*messageBox);
    return messageBox;
}

TDialogAnswer AnswerOfButton(const TMessageBox& box, QAbstractButton* clicked,
                             const QMessageBox& shown) {
    for (const TDialogAnswer answer : AnswersOf(box.Buttons))
        if (clicked && shown.button(QtButton(answer)) == clicked)
            return answer;
    return EscapeAnswer(box.Buttons);
}

QStringList ConvertFileFilter(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
            patterns << QtPattern(pattern.trimmed());
        entries << parts[i].trimmed() + QLatin1String(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return entries;
}

std::unique_ptr<QFileDialog> BuildOpenFileDialog(const TOpenFileRequest& request, QWidget* parent) {
    auto dialog = std::make_unique<QFileDialog>(parent);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(request.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(request.Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.Title.empty())
        dialog->setWindowTitle(QString::fromStdString(request.Title));
    if (!request.InitialDirectory.empty())
        dialog->setDirectory(QString::fromStdString(request.InitialDirectory));
    if (!request.Filter.empty())
        dialog->setNameFilters(ConvertFileFilter(request.Filter));
    if (!request.FileName.empty())
        dialog->selectFile(QString::fromStdString(request.FileName));
    return dialog;
}

TQtDialogs::~TQtDialogs() {
    if (&Dialogs() == this)
        SetDialogs(nullptr);
}

TDialogAnswer TQtDialogs::ShowMessageBox(const TMessageBox& box) {
    const auto messageBox = BuildMessageBox(box, QApplication::activeWindow());
    messageBox->exec();
    return AnswerOfButton(box, messageBox->clickedButton(), *messageBox);
}

std::optional<std::string> TQtDialogs::OpenFile(const TOpenFileRequest& request) {
    const auto dialog = BuildOpenFileDialog(request, QApplication::activeWindow());
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    return dialog->selectedFiles().front().toStdString();
}

} // namespace parvela
