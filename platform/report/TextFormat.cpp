#include "platform/report/TextFormat.h"

#include "platform/core/EditMask.h"

#include <cmath>

namespace vorta::report {

namespace {

QString groupThousands(const QString& digits)
{
    QString out;
    const int n = static_cast<int>(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += QLatin1Char('.');
        out += digits[i];
    }
    return out;
}

} // namespace

QString formatFloat(const QString& format, double value)
{
    if (!std::isfinite(value))
        return QString::number(value);
    QString section = format.section(QLatin1Char(';'), 0, 0);
    const QString negative = format.section(QLatin1Char(';'), 1, 1);
    bool signInFormat = false;
    if (value < 0 && !negative.isEmpty()) {
        section = negative;
        signInFormat = true;
    }
    // Literal text before the first and after the last placeholder stays as it is.
    int firstPh = -1, lastPh = -1;
    for (int i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == QLatin1Char('0') || c == QLatin1Char('#') || c == QLatin1Char('.') || c == QLatin1Char(',')) {
            if (firstPh < 0)
                firstPh = i;
            lastPh = i;
        }
    }
    if (firstPh < 0)
        return section;
    const QString prefix = section.left(firstPh);
    const QString suffix = section.mid(lastPh + 1);
    const QString body = section.mid(firstPh, lastPh - firstPh + 1);

    const int point = static_cast<int>(body.indexOf(QLatin1Char('.')));
    const QString intPart = point < 0 ? body : body.left(point);
    const QString fracPart = point < 0 ? QString() : body.mid(point + 1);
    const bool thousands = intPart.contains(QLatin1Char(','));
    const int minInt = static_cast<int>(intPart.count(QLatin1Char('0')));
    const int minFrac = static_cast<int>(fracPart.count(QLatin1Char('0')));
    const int maxFrac = minFrac + static_cast<int>(fracPart.count(QLatin1Char('#')));

    // Round half away from zero on the decimal text, not on the binary value.
    const double scale = std::pow(10.0, maxFrac);
    double scaled = std::fabs(value) * scale;
    scaled = std::floor(scaled + 0.5 + 1e-9 * std::max(1.0, scaled));
    QString digits = QString::number(scaled, 'f', 0);
    while (digits.size() <= maxFrac)
        digits.prepend(QLatin1Char('0'));
    QString intDigits = digits.left(digits.size() - maxFrac);
    QString fracDigits = digits.right(maxFrac);
    while (fracDigits.size() > minFrac && fracDigits.endsWith(QLatin1Char('0')))
        fracDigits.chop(1);
    while (intDigits.size() > 1 && intDigits.startsWith(QLatin1Char('0')))
        intDigits.remove(0, 1);
    if (intDigits == QLatin1String("0") && minInt == 0)
        intDigits.clear();
    while (intDigits.size() < minInt)
        intDigits.prepend(QLatin1Char('0'));
    QString text = thousands ? groupThousands(intDigits) : intDigits;
    if (!fracDigits.isEmpty())
        text += QLatin1Char(',') + fracDigits;
    const bool isZero = scaled == 0.0;
    if (value < 0 && !isZero && !signInFormat)
        text.prepend(QLatin1Char('-'));
    return prefix + text + suffix;
}

QString formatDateTime(const QString& format, const QDateTime& value)
{
    QString out;
    bool afterHour = false;
    int i = 0;
    const int n = static_cast<int>(format.size());
    auto run = [&](QChar c) {
        int k = i;
        while (k < n && format[k].toLower() == c)
            ++k;
        return k - i;
    };
    while (i < n) {
        const QChar c = format[i].toLower();
        const int len = run(c);
        if (c == QLatin1Char('d')) {
            out += len >= 2 ? value.toString(QStringLiteral("dd")) : QString::number(value.date().day());
        } else if (c == QLatin1Char('m')) {
            if (afterHour)
                out += len >= 2 ? value.toString(QStringLiteral("mm")) : QString::number(value.time().minute());
            else
                out += len >= 2 ? value.toString(QStringLiteral("MM")) : QString::number(value.date().month());
            afterHour = false;
        } else if (c == QLatin1Char('y')) {
            out += len >= 3 ? value.toString(QStringLiteral("yyyy")) : value.toString(QStringLiteral("yy"));
        } else if (c == QLatin1Char('h')) {
            out += len >= 2 ? value.toString(QStringLiteral("HH")) : QString::number(value.time().hour());
            afterHour = true;
            i += len;
            continue;
        } else if (c == QLatin1Char('n')) {
            out += len >= 2 ? value.toString(QStringLiteral("mm")) : QString::number(value.time().minute());
        } else if (c == QLatin1Char('s')) {
            out += len >= 2 ? value.toString(QStringLiteral("ss")) : QString::number(value.time().second());
        } else {
            out += format.mid(i, len);
            i += len;
            continue; // separators keep "hh:mm" meaning minutes
        }
        i += len;
    }
    return out;
}

QString formatMaskText(const QString& mask, const QString& value)
{
    // Masks have one converter, shared with fields and widgets.
    if (mask.isEmpty())
        return QString();
    return EditMask(mask).format(value);
}

QString formatFieldValue(const QVariant& value, const QString& mask, const QString& displayFormat)
{
    if (value.isNull())
        return QString();
    const int type = value.typeId();
    if (!displayFormat.isEmpty()) {
        if (type == QMetaType::Double || type == QMetaType::Float || type == QMetaType::Int
            || type == QMetaType::LongLong || type == QMetaType::UInt || type == QMetaType::ULongLong)
            return formatFloat(displayFormat, value.toDouble());
        if (type == QMetaType::QDateTime)
            return formatDateTime(displayFormat, value.toDateTime());
        if (type == QMetaType::QDate)
            return formatDateTime(displayFormat, value.toDate().startOfDay());
    }
    const QString text = value.toString();
    if (!mask.isEmpty())
        return formatMaskText(mask, text);
    return text;
}

} // namespace vorta::report
