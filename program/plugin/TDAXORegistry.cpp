#include "program/plugin/TDAXORegistry.h"

#include "framework/Format.h"
#include "platform/Dialogs.h"
#include "platform/Registry.h"
#include "program/plugin/DAXOTextList.h"

#include <filesystem>

namespace parvela {

namespace {

constexpr const char* SoftwareKey = "SOFTWARE\\";

bool ValueExists(TRegistryRoot root, const std::string& key, const std::string& valueName,
                 bool raiseIfMissing, const std::string& registryPath) {
    bool exists = TRegistry(root).ValueExists(key, valueName);
    if (!exists && raiseIfMissing)
        throw Exception(Format("Key\\Variable: %s\\%s%s\\%s not found", RegistryRootName(root),
                               SoftwareKey, registryPath, valueName));
    return exists;
}

bool FileExists(const std::string& path) {
    std::error_code ignored;
    return !path.empty() && std::filesystem::is_regular_file(path, ignored);
}

std::string& DeliveredLibrary() {
    static std::string path;
    return path;
}

std::string AskForLibraryPath() {
    Dialogs().Show(TDialogIcon::Warning,
                   Format("Cannot find the file %s.so, it has possibly been moved to another "
                          "location.",
                          DAXOLibraryValueName) +
                       "\r\r" + "Please use the open dialog to locate this file yourself.");
    TOpenFileRequest request;
    request.Filter = "Shared libraries (*.so)|*.so|All files (*.*)|*.*";
    return Dialogs().OpenFile(request).value_or(std::string());
}

} // namespace

TDAXORegistry::TDAXORegistry(const std::string& registryPath) : registryPath_(registryPath) {
    Assert(!TrimText(registryPath).empty());
}

std::string TDAXORegistry::KeyPath() const {
    return SoftwareKey + registryPath_;
}

void TDAXORegistry::CheckOperation(const std::string& valueName) const {
    CheckSingletonExists();
    Assert(!TrimText(valueName).empty());
}

bool TDAXORegistry::LocalMachineValueExists(const std::string& valueName,
                                            bool raiseIfMissing) const {
    CheckOperation(valueName);
    return ValueExists(HKEY_LOCAL_MACHINE, KeyPath(), valueName, raiseIfMissing, registryPath_);
}

std::string TDAXORegistry::ReadLocalMachineString(const std::string& valueName) const {
    LocalMachineValueExists(valueName, true);
    return TRegistry(HKEY_LOCAL_MACHINE).ReadString(KeyPath(), valueName);
}

bool TDAXORegistry::CurrentUserValueExists(const std::string& valueName,
                                           bool raiseIfMissing) const {
    CheckOperation(valueName);
    return ValueExists(HKEY_CURRENT_USER, KeyPath(), valueName, raiseIfMissing, registryPath_);
}

std::string TDAXORegistry::ReadCurrentUserString(const std::string& valueName) const {
    CurrentUserValueExists(valueName, true);
    return TRegistry(HKEY_CURRENT_USER).ReadString(KeyPath(), valueName);
}

void TDAXORegistry::WriteCurrentUserString(const std::string& valueName, const std::string& text) {
    CheckOperation(valueName);
    TRegistry(HKEY_CURRENT_USER).WriteString(KeyPath(), valueName, text);
}

void TDAXORegistry::DeleteCurrentUserValue(const std::string& valueName) {
    CheckOperation(valueName);
    TRegistry registry(HKEY_CURRENT_USER);
    registry.OpenOrCreateKey(KeyPath());
    registry.DeleteValue(KeyPath(), valueName);
}

void SetDeliveredLibraryPath(const std::string& path) {
    DeliveredLibrary() = path;
}

std::string LocateLibraryPath() {
    TDAXORegistry& registry = TDAXORegistry::GetSingleton();
    const std::string name = DAXOLibraryValueName;
    std::string result;
    // A valid machine-wide path makes a per-user override stale.
    if (registry.LocalMachineValueExists(name, false)) {
        result = registry.ReadLocalMachineString(name);
        if (FileExists(result) && registry.CurrentUserValueExists(name, false))
            registry.DeleteCurrentUserValue(name);
    }
    bool found = false;
    if (registry.CurrentUserValueExists(name, false)) {
        result = registry.ReadCurrentUserString(name);
        found = FileExists(result);
    } else if (registry.LocalMachineValueExists(name, false)) {
        result = registry.ReadLocalMachineString(name);
        found = FileExists(result);
    }
    if (found)
        return result;
    // The library that came with the program, before the user is troubled.
    if (FileExists(DeliveredLibrary()))
        return DeliveredLibrary();
    result = AskForLibraryPath();
    registry.WriteCurrentUserString(name, result);
    return result;
}

} // namespace parvela
