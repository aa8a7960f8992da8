#pragma once
// The program's boxes and open-file dialog as Qt widgets. The boxes are built by factory
// functions so that their buttons, icons and texts can be inspected before they are shown.

#include "platform/Dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <memory>

namespace parvela {

// A message box with exactly the buttons asked for, the first one as default and Escape
// bound to Cancel (or No, when there is no Cancel). The text is shown as plain text;
// carriage returns break lines. An empty caption becomes the application title.
std::unique_ptr<QMessageBox> BuildMessageBox(const TMessageBox& box, QWidget* parent = nullptr);

// The answer that a pressed button of such a box stands for.
TDialogAnswer AnswerOfButton(const TMessageBox& box, QAbstractButton* clicked,
                             const QMessageBox& shown);

// The entries of a "Description|patterns|..." filter in Qt's form: "DLL files (*.dll)|*.DLL|
// All files (*.*)|*.*" gives "DLL files (*.dll) (*.DLL)" and "All files (*.*) (*)". Patterns
// separated by ";" are separated by blanks, and "*.*" matches every file.
QStringList ConvertFileFilter(const std::string& filter);

// A non-native open-file dialog for an existing file.
std::unique_ptr<QFileDialog> BuildOpenFileDialog(const TOpenFileRequest& request,
                                                 QWidget* parent = nullptr);

// The boxes and the dialog are modal, parented to the active window.
class TQtDialogs final : public IDialogs {
public:
    TQtDialogs() = default;
    // Uninstalls itself when still in force.
    ~TQtDialogs() override;
    TQtDialogs(const TQtDialogs&) = delete;
    TQtDialogs& operator=(const TQtDialogs&) = delete;

    TDialogAnswer ShowMessageBox(const TMessageBox& box) override;
    std::optional<std::string> OpenFile(const TOpenFileRequest& request) override;
};

} // namespace parvela
