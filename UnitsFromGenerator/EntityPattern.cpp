#include "UnitsFromGenerator/EntityPattern.h"

#include "framework/Format.h"

namespace parvela {

std::function<bool(const TDACDatabaseClassItem&, const TDACDatabaseClassItem&)>
EntityColumnOrder(int fieldIndex, bool ascending, std::span<const int> sortColumns,
                  std::int32_t (*key)(const TDACDatabaseClassItem&)) {
    if (fieldIndex < 0 || fieldIndex >= static_cast<int>(sortColumns.size()))
        throw Exception("internal error");
    // The item's column pairs are the definition's columns after the key.
    const int column = sortColumns[static_cast<std::size_t>(fieldIndex)] - 1;
    return [=](const TDACDatabaseClassItem& a, const TDACDatabaseClassItem& b) {
        const int order = column < 0 ? CompareForSort(key(a), key(b))
                                     : a.Columns()[column]->CompareCurrent(*b.Columns()[column]);
        return ascending ? order < 0 : order > 0;
    };
}

void CheckTextLength(const TDACColumnPair<ftString>& column, const char* label) {
    if (!column.IsUnchanged() &&
        CharacterCount(column.Current()) > static_cast<std::size_t>(MaxTextLength))
        throw EDACStateValueError(
            Format("%s should not be longer than %d characters", label, MaxTextLength));
}

} // namespace parvela
