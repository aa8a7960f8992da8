#pragma once
// Builds the SELECT statement of a record set from its parts; rebuilt at every open.

#include "framework/TDACFilter.h"

#include <string>
#include <vector>

namespace parvela {

class TDACSQLGenerator {
public:
    static constexpr const char* ClassName = "TDACSQLGenerator";

    // The array operations append their elements in order; an element without any
    // character fails, after the elements before it were added.
    void SelectFieldsAdd(const std::vector<std::string>& fields);
    void FromSet(const std::string& from);
    void WhereSet(const std::string& where);
    void FilterAdd(const std::string& format, const TVarRecArray& arguments);
    void GroupByAdd(const std::vector<std::string>& fields);
    void OrderByAdd(const std::vector<std::string>& fields);

    // The statement as lines.
    std::vector<std::string> SQLStrings() const;
    // The statement text passed to the database: every line followed by "\r\n".
    std::string SQLText() const;

    const TDACFilter& Filter() const { return filter_; }

private:
    std::vector<std::string> selectFields_;
    std::string from_;
    std::string where_;
    TDACFilter filter_;
    std::vector<std::string> groupFields_;
    std::vector<std::string> orderFields_;
};

// The lines, each followed by a carriage return and a line feed.
std::string JoinLinesCRLF(const std::vector<std::string>& lines);

} // namespace parvela
