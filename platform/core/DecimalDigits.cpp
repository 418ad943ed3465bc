#include "platform/core/DecimalDigits.h"

namespace vorta {

QChar digitAt(const DecimalDigits& d, int i)
{
    return i >= 0 && i < d.digits.size() ? d.digits.at(i) : QLatin1Char('0');
}

void roundDigits(DecimalDigits& d, int keep)
{
    if (keep >= d.digits.size())
        return;
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    const bool up = d.digits.at(keep) >= QLatin1Char('5');
    d.digits.truncate(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits.at(i) == QLatin1Char('9')) {
            d.digits[i] = QLatin1Char('0');
            --i;
        }
        if (i < 0) {
            d.digits.prepend(QLatin1Char('1'));
            ++d.point;
        } else {
            d.digits[i] = QChar(d.digits.at(i).unicode() + 1);
        }
    }
    while (d.digits.endsWith(QLatin1Char('0')))
        d.digits.chop(1);
}

} // namespace vorta
