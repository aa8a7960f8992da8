// Built instead of the editor when the program is built without its Qt user interface.
#include "plugins/daxo/UserInterface.h"

#include <stdexcept>

namespace daxo {

void RunSubstanceEditor(SubstanceStore&, const std::string&) {
    throw std::runtime_error("The substance editor is not part of this build.");
}

void ShowSubstanceMessage(const std::string&, const std::string&) {
    throw std::runtime_error("The DAXO message boxes are not part of this build.");
}

} // namespace daxo
