#include "program/system/FileNameCharacters.h"

namespace parvela {

bool ContainsFileNameSpecialChar(const std::string& text) {
    return text.find_first_of(" /\\()><*:\"|,.+=?") != std::string::npos;
}

} // namespace parvela
