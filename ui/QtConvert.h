#pragma once
// Conversions between the program's values and Qt's.

#include "framework/DateTime.h"

#include <QDateTime>
#include <QString>

#include <string>

namespace parvela {

// Days since 30 December 1899 with the time as the fraction; a missing value gives
// 1 January 1900.
QDateTime ToQDateTime(TDateTime value);
TDateTime FromQDateTime(const QDateTime& value);

inline QString QText(const std::string& text) {
    return QString::fromStdString(text);
}
inline std::string StdText(const QString& text) {
    return text.toStdString();
}

} // namespace parvela
