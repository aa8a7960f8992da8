#pragma once
// Program-wide number and date notation. Set once at start, before any service starts;
// every number text of the program follows it, whatever the C locale says.

#include <string>

namespace parvela {

struct TFormatSettings {
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
    char DateSeparator = '-';
    std::string ShortDatePattern = "yyyy-mm-dd";
    std::string LongTimePattern = "hh:nn:ss";
};

// The one program-wide instance.
TFormatSettings& FormatSettings();

} // namespace parvela
