#include "UnitsFromGenerator/ProjectDirectory.h"

#include "platform/Exceptions.h"

namespace parvela {

namespace {

TProjectDirectoryProvider& Provider() {
    static TProjectDirectoryProvider provider;
    return provider;
}

} // namespace

void SetProjectDirectoryProvider(TProjectDirectoryProvider provider) {
    Provider() = std::move(provider);
}

bool HasProjectDirectoryProvider() {
    return static_cast<bool>(Provider());
}

std::string ProjectDirectory(int projectID, bool withDelimiter) {
    if (!Provider())
        throw Exception("ProjectDirectory: no project directory provider is installed (the "
                        "model manager installs it)");
    return Provider()(projectID, withDelimiter);
}

} // namespace parvela
