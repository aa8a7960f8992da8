#include "platform/ScriptedDialogs.h"

namespace parvela {

TScriptedDialogs::~TScriptedDialogs() {
    if (&Dialogs() == this)
        SetDialogs(nullptr);
}

TScriptedDialogs& TScriptedDialogs::QueueAnswer(TDialogAnswer answer) {
    answers_.push_back(answer);
    return *this;
}

TScriptedDialogs& TScriptedDialogs::QueueOpenFile(std::optional<std::string> path) {
    openFiles_.push_back(std::move(path));
    return *this;
}

TDialogAnswer TScriptedDialogs::ShowMessageBox(const TMessageBox& box) {
    boxes_.push_back(TShownBox{box, std::nullopt});
    if (box.Buttons == TDialogButtons::Ok)
        return *(boxes_.back().Answer = TDialogAnswer::Ok);
    const std::string question = "\"" + box.Text + "\" (" + ButtonsName(box.Buttons) + ")";
    if (answers_.empty())
        throw EUnscriptedDialog("No answer queued for the question " + question);
    const TDialogAnswer answer = answers_.front();
    if (!Offers(box.Buttons, answer))
        throw EUnscriptedDialog(std::string("Queued answer ") + AnswerName(answer) +
                                " is not offered by the question " + question);
    answers_.pop_front();
    return *(boxes_.back().Answer = answer);
}

std::optional<std::string> TScriptedDialogs::OpenFile(const TOpenFileRequest& request) {
    openFileRequests_.push_back(request);
    if (openFiles_.empty())
        throw EUnscriptedDialog("No result queued for the open-file dialog with the filter \"" +
                                request.Filter + "\"");
    std::optional<std::string> path = std::move(openFiles_.front());
    openFiles_.pop_front();
    return path;
}

std::vector<std::string> TScriptedDialogs::Texts() const {
    std::vector<std::string> texts;
    for (const TShownBox& shown : boxes_)
        texts.push_back(shown.Box.Text);
    return texts;
}

} // namespace parvela
