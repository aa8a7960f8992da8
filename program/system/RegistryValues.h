#pragma once
// Single registry values read and written in one call, with the messages the program gives
// for a missing one.

#include "platform/Registry.h"

#include <cstdint>
#include <string>

namespace parvela {

// Empty when the key or the value is missing. A store that cannot be read (or holds a line
// that cannot be read) and a value that is no string raise ERegistryError or EOSError: a
// value never silently reads as empty.
std::string ReadRegistryString(TRegistryRoot root, const std::string& key, const std::string& name);
// Raises "Registry key nog found %s\%s" when the key or the value is missing or no integer.
std::int32_t ReadRegistryInteger(TRegistryRoot root, const std::string& key,
                                 const std::string& name);
// Creates the key when missing; a store that cannot be written loses the value silently.
void WriteRegistryInteger(TRegistryRoot root, const std::string& key, const std::string& name,
                          std::int32_t value);

} // namespace parvela
