#pragma once
// One application of a scheme: type, date, dosage, parameter and spray drift.

#include "UnitsFromGenerator/TrsApplications.h"

namespace parvela {

class TdcApplications;

class TdciApplications : public TDACDatabaseClassItem {
public:
    PARVELA_ITEM_PATTERN(Applications)

    void Validate() const override;
    // A new, unsaved copy in the same list, made current.
    TdciApplications& CopyItem() const;

private:
    PARVELA_ITEM_STORAGE(Applications)
};

} // namespace parvela
