#include "program/system/RegistryValues.h"

#include "framework/Format.h"
#include "platform/Exceptions.h"

namespace parvela {

std::string ReadRegistryString(TRegistryRoot root, const std::string& key,
                               const std::string& name) {
    TRegistry registry(root);
    if (!registry.ValueExists(key, name))
        return {};
    return registry.ReadString(key, name);
}

std::int32_t ReadRegistryInteger(TRegistryRoot root, const std::string& key,
                                 const std::string& name) {
    try {
        return TRegistry(root).ReadInteger(key, name);
    } catch (const Exception&) {
        throw Exception(Format("Registry key nog found %s\\%s", key, name));
    }
}

void WriteRegistryInteger(TRegistryRoot root, const std::string& key, const std::string& name,
                          std::int32_t value) {
    try {
        TRegistry(root).WriteInteger(key, name, value);
    } catch (const Exception&) {
        // A store the system refuses loses the value without a message.
    }
}

} // namespace parvela
