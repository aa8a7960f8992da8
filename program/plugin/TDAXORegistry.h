#pragma once
// The registry access of the substance plug-in: one key path below SOFTWARE, read under the
// machine-wide root and read, written and deleted under the per-user root. No store is held
// between calls.

#include "framework/Singleton.h"

#include <string>

namespace parvela {

// Key path of the plug-in below SOFTWARE, and the value that names its library file.
inline constexpr const char* DAXORegistryPath = "Vantiro\\DAXO";
inline constexpr const char* DAXOLibraryValueName = "daxo_dll";

class TDAXORegistry : public TSingleton<TDAXORegistry> {
public:
    static constexpr const char* ClassName = "TDAXORegistry";

    // The path must not be blank.
    explicit TDAXORegistry(const std::string& registryPath);

    const std::string& RegistryPath() const { return registryPath_; }

    bool LocalMachineValueExists(const std::string& valueName, bool raiseIfMissing) const;
    std::string ReadLocalMachineString(const std::string& valueName) const;
    bool CurrentUserValueExists(const std::string& valueName, bool raiseIfMissing) const;
    std::string ReadCurrentUserString(const std::string& valueName) const;
    void WriteCurrentUserString(const std::string& valueName, const std::string& text);
    void DeleteCurrentUserValue(const std::string& valueName);

protected:
    ~TDAXORegistry() override = default;

private:
    // "SOFTWARE\" followed by the registry path.
    std::string KeyPath() const;
    void CheckOperation(const std::string& valueName) const;

    std::string registryPath_;
};

// The full path of the plug-in library: the per-user value when its file exists, else the
// machine-wide one when its file exists, else the library delivered with the program when it
// exists (see SetDeliveredLibraryPath), else what the user picks in the open-file dialog
// (stored per user, also when empty). A valid machine-wide path removes a per-user override.
// Empty when the user gives none. Needs the TDAXORegistry singleton.
std::string LocateLibraryPath();

// The plug-in library delivered with the program (plugins/libdaxo.so beside the executable),
// so that an installed or unpacked program finds its own plug-in even when the machine-wide
// value names another place; empty (the default) for none.
void SetDeliveredLibraryPath(const std::string& path);
inline constexpr const char* DeliveredLibraryBesideExecutable = "plugins/libdaxo.so";

} // namespace parvela
