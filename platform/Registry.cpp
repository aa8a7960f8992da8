#include "platform/Registry.h"

#include "platform/AtomicFile.h"
#include "platform/RegistryDocument.h"
#include "platform/UserDirectories.h"

#include <cstdlib>

namespace parvela {

namespace {

constexpr const char* MachineStoreVariable = "PARVELA_MACHINE_REGISTRY";
constexpr const char* UserStoreVariable = "PARVELA_USER_REGISTRY";
constexpr const char* DefaultMachineStore = "/etc/parvela/registry.ini";
constexpr const char* StoreFileName = "registry.ini";

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

TRegistryDocument Load(const std::string& path) {
    std::string text;
    if (!ReadWholeFile(path, text))
        return {};
    TRegistryDocument document = TRegistryDocument::Parse(text);
    if (const auto& error = document.SyntaxError())
        throw ERegistryError("Registry file \"" + path + "\", line " + std::to_string(error->Line) +
                             " cannot be read: " + error->Text);
    return document;
}

// The per-user store is the user's own: no one else reads or locks it.
TFileAccess StoreAccess(TRegistryRoot root) {
    return root == TRegistryRoot::HKEY_CURRENT_USER ? TFileAccess::OwnerOnly
                                                    : TFileAccess::Everyone;
}

void CheckKey(const std::string& key) {
    if (!TRegistryDocument::CanHoldKey(key))
        throw ERegistryError("Invalid registry key \"" + key + "\"");
}

// Read, change and write back under the store's update lock, so that simultaneous writers
// in several processes do not lose each other's values. `change` returns whether it changed
// the document; only then is the store written.
template <class Change> bool Update(const std::string& path, TFileAccess access, Change change) {
    TFileUpdateLock lock(path, access);
    TRegistryDocument document = Load(path);
    if (!change(document))
        return false;
    WriteFileAtomically(path, document.Text(), access);
    return true;
}

void SetValue(const std::string& path, TFileAccess access, const std::string& key,
              const std::string& name, const TRegistryValue& value) {
    CheckKey(key);
    Update(path, access, [&](TRegistryDocument& document) {
        document.Set(key, name, value);
        return true;
    });
}

} // namespace

const char* RegistryRootName(TRegistryRoot root) {
    return root == TRegistryRoot::HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

std::string RegistryStorePath(TRegistryRoot root) {
    if (root == TRegistryRoot::HKEY_LOCAL_MACHINE) {
        const std::string path = Environment(MachineStoreVariable);
        return path.empty() ? DefaultMachineStore : path;
    }
    const std::string path = Environment(UserStoreVariable);
    return path.empty() ? UserConfigDirectory() + StoreFileName : path;
}

TRegistry::TRegistry(TRegistryRoot root) : TRegistry(root, RegistryStorePath(root)) {}

TRegistry::TRegistry(TRegistryRoot root, std::string storePath)
    : root_(root), storePath_(std::move(storePath)) {}

std::string TRegistry::FullName(const std::string& key, const std::string& name) const {
    return std::string(RegistryRootName(root_)) + "\\" + key + "\\" + name;
}

bool TRegistry::KeyExists(const std::string& key) const {
    return Load(storePath_).HasKey(key);
}

void TRegistry::OpenOrCreateKey(const std::string& key) {
    CheckKey(key);
    if (KeyExists(key))
        return;
    Update(storePath_, StoreAccess(root_),
           [&key](TRegistryDocument& document) { return document.AddKey(key); });
}

bool TRegistry::ValueExists(const std::string& key, const std::string& name) const {
    return Load(storePath_).Find(key, name) != nullptr;
}

template <class T>
T TRegistry::ReadTyped(const std::string& key, const std::string& name,
                       const char* typeName) const {
    const TRegistryDocument document = Load(storePath_);
    const TRegistryValue* value = document.Find(key, name);
    if (!value)
        throw ERegistryError("Registry value " + FullName(key, name) + " not found");
    if (const T* typed = std::get_if<T>(value))
        return *typed;
    throw ERegistryError("Registry value " + FullName(key, name) + " is not " + typeName);
}

std::string TRegistry::ReadString(const std::string& key, const std::string& name) const {
    return ReadTyped<std::string>(key, name, "a string");
}

std::int32_t TRegistry::ReadInteger(const std::string& key, const std::string& name) const {
    return ReadTyped<std::int32_t>(key, name, "an integer");
}

void TRegistry::WriteString(const std::string& key, const std::string& name,
                            const std::string& value) {
    SetValue(storePath_, StoreAccess(root_), key, name, value);
}

void TRegistry::WriteInteger(const std::string& key, const std::string& name, std::int32_t value) {
    SetValue(storePath_, StoreAccess(root_), key, name, value);
}

bool TRegistry::DeleteValue(const std::string& key, const std::string& name) {
    // Without the value there is nothing to lock for, and nothing to create.
    if (!ValueExists(key, name))
        return false;
    return Update(storePath_, StoreAccess(root_),
                  [&](TRegistryDocument& document) { return document.Remove(key, name); });
}

} // namespace parvela
