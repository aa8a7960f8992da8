#pragma once
// Dialogs for tests: every box and open-file request is recorded, and the answers are
// played from queues filled beforehand. A question without a queued answer, or with an
// answer that its buttons do not offer, fails with EUnscriptedDialog naming the question.

#include "platform/Dialogs.h"
#include "platform/Exceptions.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace parvela {

PARVELA_EXCEPTION_CLASS(EUnscriptedDialog, Exception);

struct TShownBox {
    TMessageBox Box;
    // Empty when the box failed for want of a fitting answer.
    std::optional<TDialogAnswer> Answer;
};

class TScriptedDialogs final : public IDialogs {
public:
    TScriptedDialogs() = default;
    // Uninstalls itself when still in force, so that no dangling dialogs stay installed.
    ~TScriptedDialogs() override;
    TScriptedDialogs(const TScriptedDialogs&) = delete;
    TScriptedDialogs& operator=(const TScriptedDialogs&) = delete;

    // Answers for the questions, in the order they will be asked. Boxes with only OK take
    // no answer from the queue.
    TScriptedDialogs& QueueAnswer(TDialogAnswer answer);
    // Results of the open-file dialogs: a path, or nothing for a cancelled dialog.
    TScriptedDialogs& QueueOpenFile(std::optional<std::string> path);

    TDialogAnswer ShowMessageBox(const TMessageBox& box) override;
    std::optional<std::string> OpenFile(const TOpenFileRequest& request) override;

    const std::vector<TShownBox>& Boxes() const { return boxes_; }
    const std::vector<TOpenFileRequest>& OpenFileRequests() const { return openFileRequests_; }
    // The texts of all boxes shown, in order.
    std::vector<std::string> Texts() const;
    std::size_t PendingAnswers() const { return answers_.size(); }
    std::size_t PendingOpenFiles() const { return openFiles_.size(); }

private:
    std::deque<TDialogAnswer> answers_;
    std::deque<std::optional<std::string>> openFiles_;
    std::vector<TShownBox> boxes_;
    std::vector<TOpenFileRequest> openFileRequests_;
};

} // namespace parvela
