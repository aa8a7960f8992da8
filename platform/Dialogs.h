#pragma once
// The program's modal boxes and its open-file dialog, behind an interface so that the core
// never links the window system. The Qt program installs its own; tests install scripted
// ones (ScriptedDialogs.h).

#include <optional>
#include <string>

namespace parvela {

enum class TDialogIcon { None, Question, Warning, Error, Information };
enum class TDialogButtons { Ok, YesNo, YesNoCancel, YesCancel, OkCancel };
enum class TDialogAnswer { Yes, No, Ok, Cancel };

struct TMessageBox {
    TDialogIcon Icon = TDialogIcon::None;
    TDialogButtons Buttons = TDialogButtons::Ok;
    // Empty: the application title.
    std::string Caption;
    // Lines may be separated by carriage returns as well as line feeds.
    std::string Text;
};

struct TOpenFileRequest {
    // Entries "Description|pattern[;pattern...]" joined by "|":
    // "DLL files (*.dll)|*.DLL|All files (*.*)|*.*".
    std::string Filter;
    // Empty: the window system's default title.
    std::string Title;
    // Empty: the current directory.
    std::string InitialDirectory;
    // A dialog for saving: the file need not exist, and replacing one is confirmed; it
    // starts with `FileName` in `InitialDirectory`.
    bool Save = false;
    std::string FileName = {};
};

// "Yes/No", "OK/Cancel", ... for messages.
const char* ButtonsName(TDialogButtons buttons);
const char* AnswerName(TDialogAnswer answer);
// Whether the box offers the button that gives this answer.
bool Offers(TDialogButtons buttons, TDialogAnswer answer);

class IDialogs {
public:
    virtual ~IDialogs() = default;

    // Shows the box until the user presses one of its buttons and returns that button
    // (Ok for a box with only OK).
    virtual TDialogAnswer ShowMessageBox(const TMessageBox& box) = 0;
    // The chosen file's full path, or nothing when the user cancels.
    virtual std::optional<std::string> OpenFile(const TOpenFileRequest& request) = 0;

    // A question; `icon` is Question unless the caller warns.
    TDialogAnswer Ask(const std::string& text, TDialogButtons buttons,
                      TDialogIcon icon = TDialogIcon::Question, const std::string& caption = {}) {
        return ShowMessageBox(TMessageBox{icon, buttons, caption, text});
    }
    // A box with only OK: warning, error, information, or plain (TDialogIcon::None).
    void Show(TDialogIcon icon, const std::string& text, const std::string& caption = {}) {
        ShowMessageBox(TMessageBox{icon, TDialogButtons::Ok, caption, text});
    }
};

// The dialogs in force; never null. The default, for a program without a window system,
// writes boxes with only OK to the standard error stream and refuses questions and the
// open-file dialog with an Exception.
IDialogs& Dialogs();
// Installs dialogs (not owned); null restores the default.
void SetDialogs(IDialogs* dialogs);

} // namespace parvela

namespace parvela {

// Installs dialogs for its lifetime and then puts back the ones that were in force.
class TScopedDialogs {
public:
    explicit TScopedDialogs(IDialogs& dialogs) : previous_(&Dialogs()) { SetDialogs(&dialogs); }
    ~TScopedDialogs() { SetDialogs(previous_); }
    TScopedDialogs(const TScopedDialogs&) = delete;
    TScopedDialogs& operator=(const TScopedDialogs&) = delete;

private:
    IDialogs* previous_;
};

} // namespace parvela
