#include "program/system/Messages.h"

#include "platform/Dialogs.h"

namespace parvela {

void ShowWarning(const std::string& text) {
    Dialogs().Show(TDialogIcon::Warning, text);
}
void ShowError(const std::string& text) {
    Dialogs().Show(TDialogIcon::Error, text);
}
void ShowInformation(const std::string& text) {
    Dialogs().Show(TDialogIcon::Information, text);
}

bool AskYesNo(const std::string& text) {
    return Dialogs().Ask(text, TDialogButtons::YesNo) == TDialogAnswer::Yes;
}

bool AskOkCancel(const std::string& text) {
    return Dialogs().Ask(text, TDialogButtons::OkCancel) == TDialogAnswer::Ok;
}

} // namespace parvela
