#include "program/batch/BatchDialogs.h"

#include <algorithm>

namespace parvela {

namespace {

const char* IconPrefix(TDialogIcon icon) {
    switch (icon) {
    case TDialogIcon::Warning:
        return "Warning: ";
    case TDialogIcon::Error:
        return "Error: ";
    case TDialogIcon::Information:
        return "Information: ";
    case TDialogIcon::Question:
        return "Question: ";
    case TDialogIcon::None:
        break;
    }
    return "";
}

// Line breaks of the box as blanks: one box, one printed line.
std::string OneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return text;
}

} // namespace

TDialogAnswer TBatchDialogs::ShowMessageBox(const TMessageBox& box) {
    out_ << IconPrefix(box.Icon) << OneLine(box.Text);
    if (box.Buttons == TDialogButtons::Ok) {
        out_ << "\n";
        return TDialogAnswer::Ok;
    }
    const TDialogAnswer refusal =
        Offers(box.Buttons, TDialogAnswer::No) ? TDialogAnswer::No : TDialogAnswer::Cancel;
    out_ << " -> " << AnswerName(refusal) << "\n";
    return refusal;
}

std::optional<std::string> TBatchDialogs::OpenFile(const TOpenFileRequest& request) {
    out_ << "Open file refused: " << (request.Title.empty() ? request.Filter : request.Title)
         << "\n";
    return std::nullopt;
}

} // namespace parvela
