#include "UnitsFromGenerator/TdciApplications.h"

#include "UnitsFromGenerator/TdcApplications.h"
#include "framework/Format.h"
#include "platform/Exceptions.h"

#include <algorithm>
#include <cmath>

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

namespace {

void CheckRange(const char* name, double value, TValueRange range) {
    if (std::isnan(value))
        throw EDACStateValueError(Format("%s is not a number.", name));
    if (value < range.Low)
        throw EDACStateValueError(
            Format("%s cannot be less than %s.", name, FloatToStrGeneral(range.Low)));
    if (value > range.High)
        throw EDACStateValueError(
            Format("%s cannot be more than %s.", name, FloatToStrGeneral(range.High)));
}

} // namespace

void TdciApplications::Validate() const {
    TDACDatabaseClassItem::Validate();
    CheckValueRanges();
}

void TdciApplications::CheckValueRanges() const {
    CheckRange("Dosage", DOSAGE_.Current(), DosageRange);
    CheckRange("SprayDriftPerc", SPRAYDRIFTPERC_.Current(), SprayDriftPercRange);
    CheckRange("ApplicationParameter", APPLICATIONPARAMETER_.Current(), ApplicationParameterRange);
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
