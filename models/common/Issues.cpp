#include "models/common/Issues.h"

namespace parvela::models {

void Issues::AddAt(const std::string& file, int line, const std::string& message) {
    Add(file + " line " + std::to_string(line) + ": " + message);
}

} // namespace parvela::models
