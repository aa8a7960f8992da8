#pragma once
// Filter conditions of a record set: format texts with their own copies of the arguments,
// joined with AND.

#include "framework/VarRec.h"

#include <string>
#include <vector>

namespace parvela {

class TDACFilter {
public:
    static constexpr const char* ClassName = "TDACFilter";

    // Adds a condition, or replaces the arguments of a condition with the same format
    // (compared in upper case); the condition keeps its place.
    void FilterAdd(const std::string& format, const TVarRecArray& arguments);
    // The conditions in the order added, joined with " AND "; empty without conditions.
    std::string FilterText() const;

    std::size_t Count() const { return conditions_.size(); }

private:
    struct Condition {
        std::string format;     // upper case
        TVarRecArray arguments; // copied by value
    };
    Condition* FindCondition(const std::string& upperFormat);

    std::vector<Condition> conditions_;
};

// Letters a to z in upper case; every other character unchanged.
std::string AsciiUpperCase(std::string text);
// Letters A to Z in lower case; every other character unchanged.
std::string AsciiLowerCase(std::string text);
// The text without leading and trailing blanks and control characters.
std::string TrimText(const std::string& text);
bool SameTextIgnoringCase(const std::string& a, const std::string& b);

} // namespace parvela
