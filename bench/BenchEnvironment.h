#pragma once
// The surroundings of a benchmark program that runs models: a fresh work directory with a
// data path, registry stores and a plug-in database of its own, and the plug-in library
// registered machine-wide.

#include "platform/Registry.h"
#include "program/TModelManager.h"

#include <cstdlib>
#include <filesystem>
#include <string>

namespace parvela::bench {

inline void PrepareRunEnvironment(const std::string& work, const std::string& daxoLibrary) {
    std::filesystem::remove_all(work);
    std::filesystem::create_directories(work + "/data");
    setenv("PARVELA_MACHINE_REGISTRY", (work + "/machine.ini").c_str(), 1);
    setenv("PARVELA_USER_REGISTRY", (work + "/user.ini").c_str(), 1);
    setenv("PARVELA_DAXO_DATABASE", (work + "/daxo.sqlite").c_str(), 1);
    setenv("PARVELA_DAXO_MESSAGE_LOG", (work + "/daxo.log").c_str(), 1);
    TRegistry machine(HKEY_LOCAL_MACHINE);
    machine.WriteString("SOFTWARE\\Vantiro\\DAXO", "daxo_dll", daxoLibrary);
    machine.WriteString(RegistryKey(), "DataPath", work + "/data/");
}

} // namespace parvela::bench
