#pragma once
// Where the running program lies (the settings file and the model programs are found beside
// it), and the path texts built from it.

#include <string>

namespace parvela {

// The full path of the running executable, symbolic links resolved. Raises EOSError when
// the system cannot tell.
std::string ExecutablePath();

// The executable's directory, ending in "/".
std::string ExecutableDirectory();

// The path with the extension of its file name replaced by `extension` (which includes the
// dot), or `extension` appended when the name has none: "parvela" and "parvela.bin" both
// give "parvela.ini". Dots in directory names do not count.
std::string ChangeFileExtension(const std::string& path, const std::string& extension);

// ChangeFileExtension of the executable's path.
std::string ExecutablePathWithExtension(const std::string& extension);

// The directory text ending in "/": one is added when it is missing (an empty text gives "/").
std::string WithTrailingSlash(std::string directory);

} // namespace parvela
