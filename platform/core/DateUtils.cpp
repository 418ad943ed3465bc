#include "platform/core/DateUtils.h"

#include "platform/core/Clock.h"
#include "platform/core/Exceptions.h"
#include "platform/core/TextNumbers.h"

#include <QTimeZone>

namespace vorta {

namespace {

std::optional<int> s_bias;

// Reads a run of ASCII digits; false when there is none.
bool readNumber(const QString& t, qsizetype& i, int& value, int* length = nullptr)
{
    const qsizetype start = i;
    value = 0;
    while (i < t.size() && t.at(i).unicode() >= '0' && t.at(i).unicode() <= '9') {
        if (value < 100000)
            value = value * 10 + (t.at(i).unicode() - '0');
        ++i;
    }
    if (length)
        *length = int(i - start);
    return i > start;
}

bool skipChar(const QString& t, qsizetype& i, QChar c)
{
    if (i < t.size() && t.at(i) == c) {
        ++i;
        return true;
    }
    return false;
}

void skipBlanks(const QString& t, qsizetype& i)
{
    while (i < t.size() && t.at(i) == QLatin1Char(' '))
        ++i;
}

std::optional<QDate> scanDate(const QString& t, qsizetype& i)
{
    const qsizetype start = i;
    int day = 0, month = 0, year = 0, yearLength = 0;
    if (!readNumber(t, i, day) || !skipChar(t, i, QLatin1Char('/')) || !readNumber(t, i, month)) {
        i = start;
        return std::nullopt;
    }
    if (skipChar(t, i, QLatin1Char('/'))) {
        if (!readNumber(t, i, year, &yearLength)) {
            i = start;
            return std::nullopt;
        }
        if (yearLength <= 2 && year <= 99) {
            const int centuryBase = today().year() - 50;
            year += centuryBase / 100 * 100;
            if (year < centuryBase)
                year += 100;
        }
    } else {
        year = today().year();
    }
    const QDate date(year, month, day);
    if (year < 1 || year > 9999 || !date.isValid()) {
        i = start;
        return std::nullopt;
    }
    return date;
}

std::optional<QTime> scanTime(const QString& t, qsizetype& i)
{
    const qsizetype start = i;
    int hour = 0, minute = 0, second = 0, msec = 0;
    if (!readNumber(t, i, hour) || !skipChar(t, i, QLatin1Char(':')) || !readNumber(t, i, minute)) {
        i = start;
        return std::nullopt;
    }
    if (skipChar(t, i, QLatin1Char(':'))) {
        if (!readNumber(t, i, second)) {
            i = start;
            return std::nullopt;
        }
        if (skipChar(t, i, QLatin1Char('.')) && !readNumber(t, i, msec)) {
            i = start;
            return std::nullopt;
        }
    }
    if (hour > 23 || minute > 59 || second > 59 || msec > 999) {
        i = start;
        return std::nullopt;
    }
    return QTime(hour, minute, second, msec);
}

} // namespace

std::optional<QDateTime> tryStrToDateTime(const QString& text)
{
    const QString t = Trim(text);
    qsizetype i = 0;
    const auto date = scanDate(t, i);
    std::optional<QTime> time;
    if (date) {
        if (i < t.size()) {
            skipBlanks(t, i);
            time = scanTime(t, i);
            if (!time)
                return std::nullopt;
        }
    } else {
        time = scanTime(t, i);
        if (!time)
            return std::nullopt;
    }
    if (i != t.size())
        return std::nullopt;
    return QDateTime(date.value_or(QDate(1899, 12, 30)), time.value_or(QTime(0, 0)));
}

QDateTime StrToDateTime(const QString& text)
{
    if (const auto v = tryStrToDateTime(text))
        return *v;
    throw EConvertError(QStringLiteral("'%1' is not a valid date and time").arg(text));
}

int standardBiasMinutes()
{
    if (s_bias)
        return *s_bias;
    const QTimeZone zone = QTimeZone::systemTimeZone();
    return -zone.standardTimeOffset(QDateTime::currentDateTimeUtc()) / 60;
}

void setStandardBias(std::optional<int> minutes)
{
    s_bias = minutes;
}

} // namespace vorta
