#pragma once
// The attributes every substance of the stand-in carries, with their units and the values a
// new substance starts with. The editor shows the units; the completeness check requires
// every attribute of the catalogue.

#include <string_view>
#include <vector>

namespace daxo {

enum class AttributeKind { Text, Number, Option, Boolean };

struct AttributeDefinition {
    std::string_view name;
    std::string_view unit;
    std::string_view defaultValue;
    AttributeKind kind;
    // For options: the codes 1 .. highestOption are valid.
    int highestOption = 0;
};

const std::vector<AttributeDefinition>& AttributeCatalogue();
const AttributeDefinition* FindAttributeDefinition(std::string_view name);

} // namespace daxo
