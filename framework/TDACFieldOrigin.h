#pragma once
// Where a column of a record set comes from.

namespace parvela {

// Ordinal values 0 to 4. foExpression is set only by AddExpressionField.
enum class TDACFieldOrigin { foPersistent, foView, foExpression, foInternalID, foClientCalculated };

} // namespace parvela
