#include "ProgramIdentity.h"

#include "framework/Format.h"

namespace parvela {

std::string ProgramTitle() {
    return Format("%s_%s", ProgramName, ProgramVersion);
}

} // namespace parvela
