#pragma once
// One application of a scheme: type, date, dosage, parameter and spray drift.

#include "UnitsFromGenerator/TrsApplications.h"

namespace parvela {

class TdcApplications;

// Application dates mean a day and a month only; every one is stored in this year, so that
// they sort in calendar order.
inline constexpr int ApplicationYear = 2001;
// The date with its year replaced by ApplicationYear (29 February becomes 28 February); a
// missing date stays missing.
TDateTime InApplicationYear(TDateTime date);

class TdciApplications : public TDACDatabaseClassItem {
public:
    PARVELA_ITEM_PATTERN(Applications)

    void Validate() const override;
    // A new, unsaved copy in the same list, made current; its date in ApplicationYear.
    TdciApplications& CopyItem() const;

private:
    PARVELA_ITEM_STORAGE(Applications)
};

} // namespace parvela
