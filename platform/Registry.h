#pragma once
// The registry's two roots as two text stores (see RegistryDocument.h for the format):
//
//   HKEY_LOCAL_MACHINE  machine-wide, /etc/parvela/registry.ini
//   HKEY_CURRENT_USER   per user, $XDG_CONFIG_HOME/parvela/registry.ini (~/.config/...)
//
// The environment variables PARVELA_MACHINE_REGISTRY and PARVELA_USER_REGISTRY name other
// files, so that tests and special set-ups never touch the real ones. Every operation reads
// the store anew and every write replaces the file atomically: no handle is held between
// calls, and a write keeps every other key and value as it was.

#include "platform/Exceptions.h"

#include <cstdint>
#include <string>

namespace parvela {

enum class TRegistryRoot { HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER };

inline constexpr TRegistryRoot HKEY_LOCAL_MACHINE = TRegistryRoot::HKEY_LOCAL_MACHINE;
inline constexpr TRegistryRoot HKEY_CURRENT_USER = TRegistryRoot::HKEY_CURRENT_USER;

// A value that is missing or not of the type asked for, a key path that cannot be stored, or
// a store with a line that cannot be read (named by file and line; no operation uses such a
// store, so that nothing is read wrongly and nothing in it is overwritten).
PARVELA_EXCEPTION_CLASS(ERegistryError, Exception);

// "HKEY_LOCAL_MACHINE" or "HKEY_CURRENT_USER".
const char* RegistryRootName(TRegistryRoot root);

// The file that holds the root, after the environment overrides.
std::string RegistryStorePath(TRegistryRoot root);

// Key paths use "\" between their parts ("SOFTWARE\Vantiro\DAXO"). A store that exists but
// cannot be read, and a write that cannot be done, raise EOSError naming the file.
class TRegistry {
public:
    explicit TRegistry(TRegistryRoot root);
    TRegistry(TRegistryRoot root, std::string storePath);

    TRegistryRoot Root() const { return root_; }
    const std::string& StorePath() const { return storePath_; }

    // True also for a parent of an existing key ("SOFTWARE" when "SOFTWARE\X" exists).
    bool KeyExists(const std::string& key) const;
    // Creates the key unless it exists; the store is written only when it was missing.
    void OpenOrCreateKey(const std::string& key);

    // True for a value of either type.
    bool ValueExists(const std::string& key, const std::string& name) const;
    // Raise ERegistryError when the value is missing or of another type.
    std::string ReadString(const std::string& key, const std::string& name) const;
    std::int32_t ReadInteger(const std::string& key, const std::string& name) const;

    // Create the key when it is missing.
    void WriteString(const std::string& key, const std::string& name, const std::string& value);
    void WriteInteger(const std::string& key, const std::string& name, std::int32_t value);
    // Returns whether there was such a value; the store is written only then.
    bool DeleteValue(const std::string& key, const std::string& name);

private:
    std::string FullName(const std::string& key, const std::string& name) const;
    template <class T>
    T ReadTyped(const std::string& key, const std::string& name, const char* typeName) const;

    TRegistryRoot root_;
    std::string storePath_;
};

} // namespace parvela
