#include "platform/core/Clock.h"
#include "platform/core/DateUtils.h"
#include "platform/core/Exceptions.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

class DateUtilsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vorta::setClock([] { return QDateTime(QDate(2026, 12, 10), QTime(9, 0)); });
    }
    void TearDown() override
    {
        vorta::setClock({});
        QLocale::setDefault(QLocale::system());
    }
};

TEST_F(DateUtilsTest, ReadsBrazilianDatesAndTimes)
{
    struct Case {
        const char* text;
        QDateTime value;
    };
    const Case cases[] = {
        {"29/02/2004", QDateTime(QDate(2004, 2, 29), QTime(0, 0))},
        {" 1/2/2004 ", QDateTime(QDate(2004, 2, 1), QTime(0, 0))},
        {"29/02/2004 13:45", QDateTime(QDate(2004, 2, 29), QTime(13, 45))},
        {"29/02/2004  13:45:07", QDateTime(QDate(2004, 2, 29), QTime(13, 45, 7))},
        {"29/02/2004 13:45:07.250", QDateTime(QDate(2004, 2, 29), QTime(13, 45, 7, 250))},
        {"05/03", QDateTime(QDate(2026, 3, 5), QTime(0, 0))},           // this year
        {"05/03/04", QDateTime(QDate(2004, 3, 5), QTime(0, 0))},        // two-digit year
        {"05/03/80", QDateTime(QDate(1980, 3, 5), QTime(0, 0))},
        {"08:30", QDateTime(QDate(1899, 12, 30), QTime(8, 30))},        // a time alone
    };
    for (const Case& c : cases)
        EXPECT_EQ(vorta::StrToDateTime(QString::fromUtf8(c.text)), c.value) << c.text;
}

TEST_F(DateUtilsTest, RefusesWhatIsNoDate)
{
    const char* bad[] = {"", "abc", "30/02/2004", "2004-02-29", "29/13/2004", "29/02/2004 25:00",
                         "29/02/2004 10", "29/02/2004x", "29.02.2004", "12/", "10:61"};
    for (const char* t : bad)
        EXPECT_FALSE(vorta::tryStrToDateTime(QString::fromUtf8(t))) << t;
    try {
        vorta::StrToDateTime(QStringLiteral("31/04/2004"));
        FAIL() << "no error";
    } catch (const vorta::EConvertError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'31/04/2004' is not a valid date and time"));
    }
}

TEST_F(DateUtilsTest, TheMachinesLocaleDoesNotCount)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(vorta::StrToDateTime(QStringLiteral("02/03/2004")), QDateTime(QDate(2004, 3, 2), QTime(0, 0)));
}

TEST(DateUtils, BiasCanBeFixed)
{
    vorta::setStandardBias(180);
    EXPECT_EQ(vorta::standardBiasMinutes(), 180);
    vorta::setStandardBias(std::nullopt);
}

} // namespace
