#include "ui/QtConvert.h"

#include "framework/MissingValues.h"

namespace parvela {

QDateTime ToQDateTime(TDateTime value) {
    if (IsMissingReal(value))
        return QDateTime(QDate(1900, 1, 1), QTime(0, 0));
    const TDateParts parts = DecodeDateTime(value);
    return QDateTime(QDate(parts.Year, parts.Month, parts.Day),
                     QTime(parts.Hour, parts.Minute, parts.Second, parts.Millisecond));
}

TDateTime FromQDateTime(const QDateTime& value) {
    const QDate date = value.date();
    const QTime time = value.time();
    return EncodeDateTime(date.year(), date.month(), date.day(), time.hour(), time.minute(),
                          time.second(), time.msec());
}

} // namespace parvela
