#include "UnitsFromGenerator/EntityPattern.h"

namespace parvela {

std::function<bool(const TDACDatabaseClassItem&, const TDACDatabaseClassItem&)>
EntityColumnOrder(int fieldIndex, bool ascending, int sortableColumns,
                  std::int32_t (*key)(const TDACDatabaseClassItem&)) {
    if (fieldIndex < 0 || fieldIndex >= sortableColumns)
        throw Exception("internal error");
    return [=](const TDACDatabaseClassItem& a, const TDACDatabaseClassItem& b) {
        const int order =
            fieldIndex == 0
                ? CompareForSort(key(a), key(b))
                : a.Columns()[fieldIndex - 1]->CompareCurrent(*b.Columns()[fieldIndex - 1]);
        return ascending ? order < 0 : order > 0;
    };
}

} // namespace parvela
