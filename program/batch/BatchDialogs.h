#pragma once
// The boxes of an unattended run: boxes with only OK are printed as plain lines, every
// question is refused (No, else Cancel) and printed with the refusal, and the open-file
// dialog is cancelled.

#include "platform/Dialogs.h"

#include <ostream>

namespace parvela {

class TBatchDialogs final : public IDialogs {
public:
    explicit TBatchDialogs(std::ostream& out) : out_(out) {}

    TDialogAnswer ShowMessageBox(const TMessageBox& box) override;
    std::optional<std::string> OpenFile(const TOpenFileRequest& request) override;

private:
    std::ostream& out_;
};

} // namespace parvela
