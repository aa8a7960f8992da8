#pragma once
// One application of a scheme: type, date, dosage, parameter and spray drift.

#include "UnitsFromGenerator/TrsApplications.h"
#include "framework/ValueRange.h"

namespace parvela {

class TdcApplications;

// Application dates mean a day and a month only; every one is stored in this year, so that
// they sort in calendar order.
inline constexpr int ApplicationYear = 2001;
// The date with its year replaced by ApplicationYear (29 February becomes 28 February); a
// missing date stays missing.
TDateTime InApplicationYear(TDateTime date);

// The ranges that keep each value's column of the model input files intact: the dosage fills
// "%9.4f" with at most "9999.0000"; the parameter, a fraction or a depth in metres, fills
// "%9f" and must keep the blanks that part it from the dosage before it.
inline constexpr TValueRange DosageRange{0, 9999};            // kg ha-1
inline constexpr TValueRange ApplicationParameterRange{0, 1}; // fraction (-) or depth (m)
inline constexpr TValueRange SprayDriftPercRange{0, 100};     // percent

class TdciApplications : public TDACDatabaseClassItem {
public:
    PARVELA_ITEM_PATTERN(Applications)

    // The value checks below, after the state check of every item.
    void Validate() const override;
    // Raises EDACStateValueError for the first of dosage, spray drift and parameter that lies
    // outside its range; a missing value passes.
    void CheckValueRanges() const;
    // A new, unsaved copy in the same list, made current; its date in ApplicationYear.
    TdciApplications& CopyItem() const;

private:
    PARVELA_ITEM_STORAGE(Applications)
};

} // namespace parvela
