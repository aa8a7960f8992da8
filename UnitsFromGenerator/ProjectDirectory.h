#pragma once
// The directory of a project's runs comes from the model manager, which sits above the
// entities; it installs itself here.

#include <functional>
#include <string>

namespace parvela {

// The project directory for a project key, with or without the trailing "/".
using TProjectDirectoryProvider = std::function<std::string(int projectID, bool withDelimiter)>;

// An empty function removes the provider.
void SetProjectDirectoryProvider(TProjectDirectoryProvider provider);
bool HasProjectDirectoryProvider();
// Fails when no provider is installed.
std::string ProjectDirectory(int projectID, bool withDelimiter);

} // namespace parvela
