#pragma once
// Files and web addresses handed to the desktop's opener. No shell sees any text of ours.

#include <string>

namespace parvela {

// Asks the desktop to open the file with its default program (xdg-open, or the program named
// by PARVELA_OPENER), in `directory` (the file's own directory when empty; a trailing "/" is
// removed). The parameters follow the file as separate arguments, split as a command line
// ("a \"b c\"" gives a and b c); no shell sees them. True when the opener accepted the request.
bool StartProgram(const std::string& fileName, const std::string& parameters,
                  const std::string& directory);

// Opens a file or web address with the desktop's opener; a failure is shown as
// "Error executing %s (errorcode %d)".
void OpenDocument(const std::string& target);

} // namespace parvela
