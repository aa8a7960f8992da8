#pragma once
// One-line message boxes and questions, through the program's dialogs (scripted in tests).

#include <string>

namespace parvela {

void ShowWarning(const std::string& text);
void ShowError(const std::string& text);
void ShowInformation(const std::string& text);
bool AskYesNo(const std::string& text);
bool AskOkCancel(const std::string& text);

} // namespace parvela
