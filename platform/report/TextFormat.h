#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

namespace vorta::report {

// Number with a display format of the class library ("###,###,##0.00", "0.00",
// "#,##0"): '.' groups thousands and ',' marks decimals whatever the machine's
// locale; halves round away from zero. A second section ("pos;neg") formats
// negative values without their sign.
QString formatFloat(const QString& format, double value);

// Date-time with the class library's format letters (dd, mm, yyyy, yy, hh, nn, ss;
// "mm" right after "hh" means minutes).
QString formatDateTime(const QString& format, const QDateTime& value);

// An edit mask applied to a value ("99.999.999-9;0;_"): when the mask's second
// section is 0 the value holds no literals and they are put in; value characters
// left over are dropped, missing ones print as the blank character.
QString formatMaskText(const QString& mask, const QString& value);

// A field value as a report prints it: display format for numbers and dates,
// else the edit mask, else the text as it is.
QString formatFieldValue(const QVariant& value, const QString& mask, const QString& displayFormat);

} // namespace vorta::report
