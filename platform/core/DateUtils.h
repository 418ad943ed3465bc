#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace vorta {

// The class library's date-time conversion with the Brazilian short formats, whatever
// the machine's locale: "d/m/y", "d/m" (this year), an optional time "h:n", "h:n:s"
// or "h:n:s.z" after blanks, or a time alone (on 30/12/1899, the library's day 0).
// Blanks around are allowed; a year of one or two digits falls in the 100 years that
// end 50 years after today's (the clock's) year.
std::optional<QDateTime> tryStrToDateTime(const QString& text);
// Raises EConvertError "'<text>' is not a valid date and time".
QDateTime StrToDateTime(const QString& text);

// The system's standard time-zone bias in minutes (UTC minus local standard time,
// daylight saving left out), as the suite's UTC conversions use it.
int standardBiasMinutes();
// Fixes the bias (tests); an empty value goes back to the system's.
void setStandardBias(std::optional<int> minutes);

} // namespace vorta
