#pragma once

#include <QString>

namespace vorta {

// A number as its decimal digits: value = 0.digits x 10^point, with the sign apart.
// Formatting and fixed-point texts round on these digits, never on binary floats.
struct DecimalDigits {
    bool negative = false;
    QString digits; // no leading zeros; empty for zero
    int point = 0;
};

// The digit at position i, "0" past either end.
QChar digitAt(const DecimalDigits& d, int i);

// Keeps the digits before position keep, rounding half away from zero.
void roundDigits(DecimalDigits& d, int keep);

} // namespace vorta
