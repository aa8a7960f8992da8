#include "UnitsFromGenerator/TdciApplications.h"

#include "UnitsFromGenerator/TdcApplications.h"

#include <algorithm>

namespace parvela {

TDateTime InApplicationYear(TDateTime date) {
    if (IsMissingReal(date))
        return date;
    const TDateParts parts = DecodeDateTime(date);
    return EncodeDateTime(ApplicationYear, parts.Month,
                          std::min(parts.Day, DaysInMonth(ApplicationYear, parts.Month)),
                          parts.Hour, parts.Minute, parts.Second, parts.Millisecond);
}

PARVELA_ITEM_CONSTRUCTOR(Applications)

void TdciApplications::Validate() const {
    TDACDatabaseClassItem::Validate();
    if (DOSAGE_.Current() < 0)
        throw EDACStateValueError("Dosage cannot be less than 0.");
    if (SPRAYDRIFTPERC_.Current() < 0)
        throw EDACStateValueError("SprayDriftPerc cannot be less than 0.");
}

TdciApplications& TdciApplications::CopyItem() const {
    TdcApplications& list = OwnerItems();
    list.Insert();
    TdciApplications& copy = list.Item();
    copy.SetAPPLICATIONSCHEMEID(APPLICATIONSCHEMEID());
    copy.SetAPPLICATIONTYPEID(APPLICATIONTYPEID());
    copy.SetAPPLICATIONDATE(InApplicationYear(APPLICATIONDATE()));
    copy.SetDOSAGE(DOSAGE());
    copy.SetAPPLICATIONPARAMETER(APPLICATIONPARAMETER());
    copy.SetSPRAYDRIFTPERC(SPRAYDRIFTPERC());
    return copy;
}

} // namespace parvela
