#pragma once
// The stand-in's windows: the modal substance editor and its message box. They need a Qt
// widget application; the library makes a short-lived one when its host has none.

#include "plugins/daxo/SubstanceStore.h"

#include <string>

namespace daxo {

// Shows the editor on the store's substances, `selectedGuid` (may be empty) selected first,
// and returns when the user closes it; saved changes are in the store by then.
void RunSubstanceEditor(SubstanceStore& store, const std::string& selectedGuid);

// A modal information box with an OK button.
void ShowSubstanceMessage(const std::string& caption, const std::string& text);

} // namespace daxo
