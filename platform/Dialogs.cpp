#include "platform/Dialogs.h"

#include "platform/Exceptions.h"

#include <iostream>

namespace parvela {

namespace {

class StandardErrorDialogs final : public IDialogs {
public:
    TDialogAnswer ShowMessageBox(const TMessageBox& box) override {
        if (box.Buttons != TDialogButtons::Ok)
            throw Exception("No dialogs available to ask: " + box.Text);
        std::cerr << (box.Caption.empty() ? "" : box.Caption + ": ") << box.Text << std::endl;
        return TDialogAnswer::Ok;
    }
    std::optional<std::string> OpenFile(const TOpenFileRequest& request) override {
        throw Exception("No dialogs available to choose a file (" + request.Filter + ")");
    }
};

StandardErrorDialogs standardErrorDialogs;
IDialogs* current = &standardErrorDialogs;

} // namespace

const char* ButtonsName(TDialogButtons buttons) {
    switch (buttons) {
    case TDialogButtons::Ok:
        return "OK";
    case TDialogButtons::YesNo:
        return "Yes/No";
    case TDialogButtons::YesNoCancel:
        return "Yes/No/Cancel";
    case TDialogButtons::YesCancel:
        return "Yes/Cancel";
    case TDialogButtons::OkCancel:
        return "OK/Cancel";
    }
    return "?";
}

const char* AnswerName(TDialogAnswer answer) {
    switch (answer) {
    case TDialogAnswer::Yes:
        return "Yes";
    case TDialogAnswer::No:
        return "No";
    case TDialogAnswer::Ok:
        return "OK";
    case TDialogAnswer::Cancel:
        return "Cancel";
    }
    return "?";
}

bool Offers(TDialogButtons buttons, TDialogAnswer answer) {
    switch (answer) {
    case TDialogAnswer::Yes:
        return buttons == TDialogButtons::YesNo || buttons == TDialogButtons::YesNoCancel ||
               buttons == TDialogButtons::YesCancel;
    case TDialogAnswer::No:
        return buttons == TDialogButtons::YesNo || buttons == TDialogButtons::YesNoCancel;
    case TDialogAnswer::Ok:
        return buttons == TDialogButtons::Ok || buttons == TDialogButtons::OkCancel;
    case TDialogAnswer::Cancel:
        return buttons == TDialogButtons::YesNoCancel || buttons == TDialogButtons::YesCancel ||
               buttons == TDialogButtons::OkCancel;
    }
    return false;
}

IDialogs& Dialogs() {
    return *current;
}
void SetDialogs(IDialogs* dialogs) {
    current = dialogs ? dialogs : &standardErrorDialogs;
}

} // namespace parvela
